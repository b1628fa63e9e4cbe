#!/usr/bin/env bash
# Screenshots of the installer's views under Xvfb, for looking at them and for
# comparing two builds: the licence page after the presentation, the notice
# shown on acceptance, the installation page after acceptance, the download
# and the completion view. The installer is driven with xdotool against the
# server kit and a Wine prefix of its own, in which C:\Orveliane\Vestra exists
# so that accepting the licence shows a notice.
#
#   scripts/zrzuty.sh INSTALATOR OUT_DIR SERVER_URL
#
# OUT_DIR gets licencja.png, komunikat.png, strona.png, pobieranie.png and
# koniec.png (the screen cut to the installer's window).
set -euo pipefail

INSTALATOR=$(realpath "$1")
WYNIKI=$2
ADRES_URL=$3
ZRODLA=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")
: >"$WYNIKI/instalator.log"

blad() { echo "SCREENSHOTS: $*" >&2; exit 1; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/sterowanie.sh"

wymagaj Xvfb xdotool import nginx openssl x86_64-w64-mingw32-g++
przebieg kv-zrzuty

xvfb_uruchom "$tmp/xvfb.log" ${KV_ZRZUTY_EKRAN:-} 16 $(seq 160 169) || blad "no X server of our own"

# 8 MiB at 1 MiB/s: the download is on screen for eight seconds.
serwer_uruchom "$ADRES_URL" "$tmp/demo" 1m >/dev/null

prefiks_bez_wine "$tmp/wine"
mkdir -p "$WINEPREFIX/drive_c/Orveliane/Vestra"

"$INSTALATOR" >>"$WYNIKI/instalator.log" 2>&1 &
pid_inst=$!
okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" >/dev/null || blad "the installer's window"

# The window's rectangle of the screen; the pointer is not in the picture.
zdjecie_okna() {
  import -window root -crop "730x360+$L+$T" +repage "$WYNIKI/$1.png"
  echo "$WYNIKI/$1.png"
}

# The licence page once the presentation has ended on the acceptance group.
czekaj_na_wskaznik 58 318 60 "the presentation did not end"
sleep 0.5
zdjecie_okna licencja

# "Akceptuję": the notice about the old default folder comes first.
kliknij 50 307
sleep 1
zdjecie_okna komunikat
# "&Ok": B1 at 190,69 (80x27) in the box's client area, 3 px inside the box,
# which lies at L + 129, T + 138.
kliknij $((129 + 3 + 190 + 40)) $((138 + 3 + 69 + 13))
# The pointer glides on to the program's name (only while the installer is
# the active application, which without a window manager depends on the
# build), then the page is ready.
sleep 2
zdjecie_okna strona

# "Instaluj"; the pointer goes away from the buttons so that no hover shows.
kliknij 345 338
xdotool mousemove $((L + 700)) $((T + 200))
sleep 2
zdjecie_okna pobieranie
for _ in $(seq 1 300); do
  [ -e "$PULPIT/_Kavrostel 8.lnk" ] && break
  sleep 0.1
done
sleep 1
zdjecie_okna koniec
