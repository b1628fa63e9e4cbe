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

hostport=${ADRES_URL#http://}
hostport=${hostport%/}

blad() { echo "SCREENSHOTS: $*" >&2; exit 1; }
. "$ZRODLA/tests/support/xvfb.sh"

for program in Xvfb xdotool import nginx openssl x86_64-w64-mingw32-g++; do
  command -v "$program" >/dev/null || blad "$program is missing (bash scripts/zaleznosci.sh)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kv-zrzuty.XXXXXX")
pid_x=""
pid_inst=""
sprzataj() {
  [ -n "$pid_inst" ] && kill "$pid_inst" 2>/dev/null || true
  bash "$ZRODLA/server/serwer.sh" -w "$tmp/serwer" -l "$hostport" stop >/dev/null 2>&1 || true
  xvfb_zatrzymaj
  rm -rf "$tmp"
}
trap sprzataj EXIT

xvfb_uruchom "$tmp/xvfb.log" ${KV_ZRZUTY_EKRAN:-} 16 $(seq 160 169) || blad "no X server of our own"

port=${hostport##*:}
if (exec 3<>"/dev/tcp/${hostport%:*}/$port") 2>/dev/null; then
  blad "port $port is taken; stop what listens there"
fi
bash "$ZRODLA/scripts/demo.sh" "$tmp/demo" 8 >/dev/null
mkdir -p "$tmp/wydanie"
cp "$tmp/demo/_Kavrostel.exe" "$tmp/wydanie/"
bash "$ZRODLA/server/pakuj.sh" "$tmp/wydanie" "$tmp/drzewo" >/dev/null
# 8 MiB at 1 MiB/s: the download is on screen for eight seconds.
bash "$ZRODLA/server/serwer.sh" -t "$tmp/drzewo" -l "$hostport" -w "$tmp/serwer" -r 1m start >/dev/null

export WINEPREFIX="$tmp/wine"
PROFIL="$WINEPREFIX/drive_c/users/$(id -un)"
mkdir -p "$WINEPREFIX/dosdevices" "$PROFIL/Desktop" \
         "$PROFIL/AppData/Roaming/Microsoft/Windows/Start Menu/Programs" \
         "$WINEPREFIX/drive_c/Orveliane/Vestra"
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"

"$INSTALATOR" >>"$WYNIKI/instalator.log" 2>&1 &
pid_inst=$!
okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" >/dev/null || blad "the installer's window"

kliknij() { xdotool mousemove $((L + $1)) $((T + $2)) click 1; }
# The window's rectangle of the screen; the pointer is not in the picture.
zdjecie() {
  import -window root -crop "730x360+$L+$T" +repage "$WYNIKI/$1.png"
  echo "$WYNIKI/$1.png"
}
czekaj_na_wskaznik() {
  local x=$((L + $1)) y=$((T + $2))
  for _ in $(seq 1 $(($3 * 10))); do
    xdotool getmouselocation | grep -q "^x:$x y:$y " && return 0
    sleep 0.1
  done
  blad "the pointer did not reach $x,$y: $(xdotool getmouselocation)"
}

# The licence page once the presentation has ended on the acceptance group.
czekaj_na_wskaznik 58 318 60
sleep 0.5
zdjecie licencja

# "Akceptuję": the notice about the old default folder comes first.
kliknij 50 307
sleep 1
zdjecie komunikat
# "&Ok": B1 at 190,69 (80x27) in the box's client area, 3 px inside the box,
# which lies at L + 129, T + 138.
kliknij $((129 + 3 + 190 + 40)) $((138 + 3 + 69 + 13))
# The pointer glides on to the program's name (only while the installer is
# the active application, which without a window manager depends on the
# build), then the page is ready.
sleep 2
zdjecie strona

# "Instaluj"; the pointer goes away from the buttons so that no hover shows.
kliknij 345 338
xdotool mousemove $((L + 700)) $((T + 200))
sleep 2
zdjecie pobieranie
for _ in $(seq 1 300); do
  [ -e "$PROFIL/Desktop/_Kavrostel 8.lnk" ] && break
  sleep 0.1
done
sleep 1
zdjecie koniec
