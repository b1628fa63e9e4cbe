#!/usr/bin/env bash
# The whole installer as a user drives it: the real instalator binary under
# Xvfb, clicked with xdotool at the places of its controls, against the nginx
# server kit and a Wine prefix of its own.
#
#   tests/e2e/instalacja_e2e.sh INSTALATOR SOURCE_DIR OUT_DIR SERVER_URL
#
# INSTALATOR  the built binary (its Program/_Aktualizacja.exe lies next to it)
# SOURCE_DIR  the source tree (server kit, demonstration program)
# OUT_DIR     where screenshots and the server's logs are kept
# SERVER_URL  the base address the binary was built with (http://HOST:PORT/)
#
# Accepts the licence, installs, checks the program file byte for byte, the
# updater and both shortcut files (read by lnkinfo), removes the installation
# and checks that the prefix is as it was before; then, on a fresh start with
# only a stale shortcut, removes right after acceptance and checks that files
# of someone else on drive C: stay. Screenshots go to OUT_DIR.
set -euo pipefail

INSTALATOR=$(realpath "$1")
ZRODLA=$(realpath "$2")
WYNIKI=$3
ADRES_URL=$4
mkdir -p "$WYNIKI"
: >"$WYNIKI/instalator.log"
WYNIKI=$(realpath "$WYNIKI")

hostport=${ADRES_URL#http://}
hostport=${hostport%/}

blad() { echo "E2E FAILURE: $*" >&2; exit 1; }
krok() { echo "== $*"; }
. "$ZRODLA/tests/support/xvfb.sh"

for program in Xvfb xdotool import lnkinfo nginx openssl python3 x86_64-w64-mingw32-g++; do
  command -v "$program" >/dev/null || blad "$program is missing (bash scripts/zaleznosci.sh)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kv-e2e.XXXXXX")
chmod 0755 "$tmp"  # run as root, the server kit's workers ("nobody") read the tree below it
pid_x=""
pid_inst=""
sprzataj() {
  [ -n "$pid_inst" ] && kill "$pid_inst" 2>/dev/null || true
  bash "$ZRODLA/server/serwer.sh" -w "$tmp/serwer" -l "$hostport" stop >/dev/null 2>&1 || true
  cp "$tmp/serwer/access.log" "$tmp/serwer/error.log" "$WYNIKI/" 2>/dev/null || true
  xvfb_zatrzymaj
  rm -rf "$tmp"
}
trap sprzataj EXIT

# ------------------------------------------------------------------ display
# A display of our own; an occupied number is skipped.
xvfb_uruchom "$tmp/xvfb.log" ${KV_E2E_EKRAN:-} 14 $(seq 140 149) || blad "no X server of our own"

# ------------------------------------------------------------------ server
krok "server on $hostport"
port=${hostport##*:}
if (exec 3<>"/dev/tcp/${hostport%:*}/$port") 2>/dev/null; then
  blad "port $port is taken: the binary was built for $ADRES_URL; stop what listens there"
fi
bash "$ZRODLA/scripts/demo.sh" "$WYNIKI/demo" 8 >/dev/null
mkdir -p "$tmp/wydanie"
cp "$WYNIKI/demo/_Kavrostel.exe" "$tmp/wydanie/"
bash "$ZRODLA/server/pakuj.sh" "$tmp/wydanie" "$tmp/drzewo" >/dev/null
# 8 MiB at 2 MiB/s: the bar is seen moving for about four seconds.
bash "$ZRODLA/server/serwer.sh" -t "$tmp/drzewo" -l "$hostport" -w "$tmp/serwer" -r 2m start

# ------------------------------------------------------------------ prefix
# Drive C: and the user's folders, laid out as Wine lays them out.
export WINEPREFIX="$tmp/wine"
login=$(id -un)
PROFIL="$WINEPREFIX/drive_c/users/$login"
PULPIT="$PROFIL/Desktop"
PROGRAMY="$PROFIL/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$WINEPREFIX/dosdevices" "$PULPIT" "$PROGRAMY"
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
stan_dysku() { (cd "$WINEPREFIX/drive_c" && find . | sort); }
przed=$(stan_dysku)

FOLDER="$WINEPREFIX/drive_c/KV-Tek/Kavrostel8"
PROGRAM="$FOLDER/_Kavrostel.exe"
SKROT_PULPIT="$PULPIT/_Kavrostel 8.lnk"
SKROT_MENU="$PROGRAMY/Orveliane/_Kavrostel 8.lnk"

# ------------------------------------------------------------------ installer
# Starts the installer and finds its window: sets pid_inst, L and T.
uruchom_instalator() {
  "$INSTALATOR" >>"$WYNIKI/instalator.log" 2>&1 &
  pid_inst=$!
  okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" || blad "the installer's window"
  [ "$L" -eq 275 ] && [ "$T" -eq 220 ] || blad "the window is not centred on the 1280x800 screen"
}

kliknij() { xdotool mousemove $((L + $1)) $((T + $2)) click 1; }
zdjecie() { import -window root "$WYNIKI/$1.png"; echo "screenshot $WYNIKI/$1.png"; }
# Waits until the pointer stands at a window point: the end of a glide.
czekaj_na_wskaznik() {
  local x=$((L + $1)) y=$((T + $2)) limit=$3
  for _ in $(seq 1 $((limit * 10))); do
    if xdotool getmouselocation | grep -q "^x:$x y:$y "; then return 0; fi
    sleep 0.1
  done
  blad "the pointer did not reach $x,$y within $limit s ($(xdotool getmouselocation)); $4"
}
czekaj_na() {  # limit, description, test...
  local limit=$1 opis=$2
  shift 2
  for _ in $(seq 1 $((limit * 10))); do
    if "$@"; then return 0; fi
    kill -0 "$pid_inst" 2>/dev/null || blad "the installer ended while waiting for: $opis"
    sleep 0.1
  done
  blad "$opis: not within $limit s"
}

akceptuj() {
  # The presentation ends with the pointer on the acceptance group, which is
  # enabled only then.
  czekaj_na_wskaznik 58 318 120 "the presentation did not end"
  sleep 0.3
  # "Akceptuję": the first item of RGAkceptacja (8,246 on PanelLic at 0,32).
  kliknij 50 307
  # The acceptance glides the pointer onto the program's name.
  czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
  sleep 0.5
}
zamknij() {
  # "Zamknij": BBClose at 633,289 (80x30).
  kliknij 673 338
  for _ in $(seq 1 50); do kill -0 "$pid_inst" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid_inst" 2>/dev/null && blad "\"Zamknij\" did not end the installer"
  wait "$pid_inst" || blad "the installer ended with status $?"
  pid_inst=""
}

krok "installer"
uruchom_instalator
# The presentation while the agreement is typed, and once it has ended (the
# same states are shot of the Windows build, to be seen side by side).
czekaj_na_wskaznik 50 72 30 "no glide onto the agreement list"
sleep 0.15
zdjecie licencja_pisanie
czekaj_na_wskaznik 58 318 120 "the presentation did not end"
sleep 0.5
zdjecie licencja
krok "accept"
akceptuj
zdjecie strona

krok "install"
# "Instaluj": BBInstal at 243,289 (204x30) on PanelInstalacji at 0,34.
kliknij 345 338
sleep 1.5
zdjecie pobieranie
[ -e "$SKROT_MENU" ] && blad "the shortcuts exist before the download has ended"
plik_gotowy() { [ -e "$SKROT_PULPIT" ] && [ -e "$SKROT_MENU" ]; }
czekaj_na 60 "the shortcuts after the download" plik_gotowy
sleep 1
zdjecie koniec

krok "check the installed files"
cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the program file differs from the server's"
cmp "$FOLDER/_Aktualizacja.exe" "$(dirname "$INSTALATOR")/Program/_Aktualizacja.exe" \
  || blad "the updater copy differs from the installer's medium"
zawartosc=$(cd "$FOLDER" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$zawartosc" = "./_Aktualizacja.exe ./_Kavrostel.exe " ] \
  || blad "the installation folder holds: $zawartosc"
dostep=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe HTTP/1.1" 200' "$tmp/serwer/access.log" || true)
[ "$dostep" -eq 1 ] || blad "expected one successful GET of the program file, saw $dostep"
grep -q '^127.0.0.1 - tamrix4 ' "$tmp/serwer/access.log" || blad "the request carried no Basic credentials of tamrix4"

sprawdz_skrot() {
  local plik=$1 opis
  opis=$(lnkinfo "$plik") || blad "lnkinfo cannot read $plik"
  for pole in "Local path			: C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe" \
              "Working directory		: C:\\KV-Tek\\Kavrostel8" \
              "Description			: Skrót do programu Vestra _Kavrostel 8.0" \
              "Drive type			: Fixed (3)"; do
    grep -qF "$pole" <<<"$opis" || blad "$plik: no '$pole' in lnkinfo's output:
$opis"
  done
  # Show command 1 and the hot key Ctrl+Alt+K, at their offsets in the header.
  [ "$(od -An -tx1 -j60 -N4 "$plik" | tr -d ' ')" = "01000000" ] || blad "$plik: show command"
  [ "$(od -An -tx1 -j64 -N2 "$plik" | tr -d ' ')" = "4b06" ] || blad "$plik: hot key"
}
sprawdz_skrot "$SKROT_PULPIT"
sprawdz_skrot "$SKROT_MENU"

krok "remove the installation"
# "Usunięcie instalacji": BBDeinstal at 450,289 (162x30), below the completion view.
kliknij 531 338
usuniete() { [ ! -e "$WINEPREFIX/drive_c/KV-Tek" ] && [ ! -e "$SKROT_PULPIT" ]; }
czekaj_na 10 "the removal" usuniete
sleep 1
zdjecie usuniete
po=$(stan_dysku)
[ "$przed" = "$po" ] || blad "the removal left something behind:
$(diff <(echo "$przed") <(echo "$po"))"

krok "close"
zamknij

# ------------------------------------------------------------------ removal without installation
# A stale desktop shortcut on a fresh start enables the removal while the
# installation folder is still the bare drive: files of someone else on the
# drive that bear the installation's names must stay.
krok "removal right after acceptance"
printf 'stary skrot' >"$SKROT_PULPIT"
mkdir -p "$WINEPREFIX/drive_c/Sterowniki/BDE"
printf 'cudzy program' >"$WINEPREFIX/drive_c/_Kavrostel.exe"
printf 'cudzy setup' >"$WINEPREFIX/drive_c/Sterowniki/BDE/setup.exe"
uruchom_instalator
akceptuj
# "Usunięcie instalacji", enabled by the shortcut found.
kliknij 531 338
nie_ma_skrotu() { [ ! -e "$SKROT_PULPIT" ]; }
czekaj_na 10 "the removal of the stale shortcut" nie_ma_skrotu
sleep 1
zdjecie usuniete_po_akceptacji
[ "$(cat "$WINEPREFIX/drive_c/_Kavrostel.exe")" = "cudzy program" ] || blad "C:\\_Kavrostel.exe was touched"
[ "$(cat "$WINEPREFIX/drive_c/Sterowniki/BDE/setup.exe")" = "cudzy setup" ] \
  || blad "C:\\Sterowniki\\BDE\\setup.exe was touched"
zamknij

# ------------------------------------------------------------------ a damaged file on the server
# An installed program, and a server whose copy no longer matches the
# digest it sends (a broken mirror): the download fails with its own
# notice, then "Instalacja przerwana.", and the installed program stays as
# it was, with nothing beside it.
krok "a damaged file on the server"
for program in tesseract; do
  command -v "$program" >/dev/null || blad "$program is missing (bash scripts/zaleznosci.sh)"
done
mkdir -p "$FOLDER"
cp "$WYNIKI/demo/_Kavrostel.exe" "$PROGRAM"
python3 - "$tmp/drzewo/programy/wersja8/aktualne/_Kavrostel._exe" <<'PY'
import sys
with open(sys.argv[1], "r+b") as plik:
    plik.seek(4 << 20)
    bajt = plik.read(1)
    plik.seek(4 << 20)
    plik.write(bytes([bajt[0] ^ 0x5A]))
PY
zadania_przed=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe' "$tmp/serwer/access.log" || true)

# The installer's dialogs, found by their titles: the notice box carries its
# caption, the standard message dialog the application's title.
okno_o_tytule() { xdotool search --all --onlyvisible --pid "$pid_inst" --name "^$1\$" 2>/dev/null | head -n 1 || true; }
czekaj_na_okno() {  # title, limit in s; sets OKNO
  OKNO=""
  for _ in $(seq 1 $(($2 * 10))); do
    OKNO=$(okno_o_tytule "$1")
    [ -n "$OKNO" ] && return 0
    kill -0 "$pid_inst" 2>/dev/null || blad "the installer ended while waiting for the window \"$1\""
    sleep 0.1
  done
  blad "no window \"$1\" within $2 s"
}
# The text of a dialog as read from its picture, three times enlarged.
tekst_okna() {  # window, picture name
  import -window "$1" "$WYNIKI/$2.png"
  echo "screenshot $WYNIKI/$2.png" >&2
  convert "$WYNIKI/$2.png" -resize 300% "$tmp/ocr.png"
  tesseract "$tmp/ocr.png" - 2>/dev/null | tr '\n' ' '
}
zamknij_okno() {
  xdotool windowfocus --sync "$1" key Return
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --pid "$pid_inst" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  blad "the dialog $1 did not close on Enter"
}

uruchom_instalator
akceptuj
kliknij 345 338
czekaj_na_okno "Uwaga!" 10
napis=$(tekst_okna "$OKNO" uszkodzony_zastapienie)
grep -q "zostanie" <<<"$napis" || blad "the replace notice reads: $napis"
zamknij_okno "$OKNO"
sleep 1.5
zdjecie uszkodzony_pobieranie
czekaj_na_okno "Instalator" 60
napis=$(tekst_okna "$OKNO" uszkodzony_blad)
grep -q "Nieudane pobranie pliku" <<<"$napis" && grep -q "damaged" <<<"$napis" ||
  blad "the failure dialog reads: $napis"
zamknij_okno "$OKNO"
czekaj_na_okno "Uwaga!" 10
napis=$(tekst_okna "$OKNO" uszkodzony_przerwana)
grep -q "Instalacja przerwana" <<<"$napis" || blad "the notice after the failure reads: $napis"
zamknij_okno "$OKNO"
sleep 0.5
zdjecie uszkodzony_koniec

cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the installed program changed"
zawartosc=$(cd "$FOLDER" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$zawartosc" = "./_Kavrostel.exe " ] || blad "the installation folder holds: $zawartosc"
[ ! -e "$SKROT_PULPIT" ] && [ ! -e "$SKROT_MENU" ] || blad "shortcuts were made after a failed download"
zadania=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe' "$tmp/serwer/access.log" || true)
[ "$zadania" -eq $((zadania_przed + 1)) ] || blad "expected one more request of the program file, saw $((zadania - zadania_przed))"
zamknij
echo "E2E OK"
