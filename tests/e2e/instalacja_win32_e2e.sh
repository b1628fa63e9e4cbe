#!/usr/bin/env bash
# The Windows installer as a user drives it: the real instalator.exe under
# Wine on Xvfb, clicked with xdotool at the places of its controls, against
# the nginx server kit, in a throw-away Wine prefix.
#
#   tests/e2e/instalacja_win32_e2e.sh INSTALATOR_EXE SOURCE_DIR OUT_DIR SERVER_URL [LINUX_SHOTS_DIR]
#
# INSTALATOR_EXE   the built instalator.exe (its Program\_Aktualizacja.exe beside it)
# SOURCE_DIR       the source tree (server kit, demonstration program)
# OUT_DIR          where the screenshots, the side-by-side pictures and the
#                  server's logs are kept
# SERVER_URL       the base address the program was built with (http://HOST:PORT/)
# LINUX_SHOTS_DIR  the screenshots of the Linux build's end-to-end test
#                  (build/native/e2e); with it, one picture per state shows
#                  the Linux build on the left and the Windows build on the right
#
# What it shows: the presentation's pointer path; "Akceptuję" and the glide
# to the program's name; "Instaluj" storing the program byte for byte after
# one authenticated GET, the updater copied, both links (lnkinfo, show
# command and hot key); the completion view; "Uruchom" starting the program;
# "Usunięcie instalacji" leaving the prefix as it was; the window drag (left
# moves, right does not); and the failure path: an older program file and a
# server error give the standard dialog titled "Instalator", then
# "Instalacja przerwana.", and the old file stays.
set -euo pipefail

INSTALATOR=$(realpath "$1")
ZRODLA=$(realpath "$2")
WYNIKI=$3
ADRES_URL=$4
LINUX=${5:-}
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")
rm -f "$WYNIKI"/*.png
: >"$WYNIKI/instalator.log"

hostport=${ADRES_URL#http://}
hostport=${hostport%/}

blad() { echo "E2E FAILURE: $*" >&2; exit 1; }
krok() { echo "== $*"; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/wine.sh"

for program in Xvfb xdotool import convert lnkinfo nginx openssl python3 wine x86_64-w64-mingw32-g++; do
  command -v "$program" >/dev/null || blad "$program is missing (bash scripts/zaleznosci.sh)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kv-e2e-win.XXXXXX")
chmod 0755 "$tmp"  # run as root, the server kit's workers ("nobody") read the tree below it
pid_x=""
pid_inst=""
sprzataj() {
  [ -n "$pid_inst" ] && kill "$pid_inst" 2>/dev/null || true
  wine_zakoncz
  bash "$ZRODLA/server/serwer.sh" -w "$tmp/serwer" -l "$hostport" stop >/dev/null 2>&1 || true
  cp "$tmp/serwer/access.log" "$tmp/serwer/error.log" "$WYNIKI/" 2>/dev/null || true
  xvfb_zatrzymaj
  rm -rf "$tmp"
}
trap sprzataj EXIT

# ------------------------------------------------------------------ display and prefix
xvfb_uruchom "$tmp/xvfb.log" ${KV_E2E_EKRAN:-} 24 $(seq 240 249) || blad "no X server of our own"
krok "Wine prefix"
wine_prefiks "$tmp" || blad "wineboot"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

# The user's folders as the prefix has them (the installer asks the shell).
winapi_folder() {  # the Unix path of a shell folder, by its environment name
  local w
  w=$(wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')
  winepath -u "$w" 2>/dev/null
}
PROFIL=$(winapi_folder USERPROFILE)
[ -d "$PROFIL" ] || blad "no user profile in the prefix"
PULPIT="$PROFIL/Desktop"
PROGRAMY="$(winapi_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$PULPIT" "$PROGRAMY"
FOLDER="$WINEPREFIX/drive_c/KV-Tek/Kavrostel8"
PROGRAM="$FOLDER/_Kavrostel.exe"
SKROT_PULPIT="$PULPIT/_Kavrostel 8.lnk"
SKROT_MENU="$PROGRAMY/Orveliane/_Kavrostel 8.lnk"
# What the user can see on drive C:, without Wine's own housekeeping.
stan_dysku() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path '*/Temp' -prune \
     -o -path '*/AppData/Local' -prune -o -print | sort)
}

# ------------------------------------------------------------------ server
krok "server on $hostport"
port=${hostport##*:}
if (exec 3<>"/dev/tcp/${hostport%:*}/$port") 2>/dev/null; then
  blad "port $port is taken: the program was built for $ADRES_URL; stop what listens there"
fi
bash "$ZRODLA/scripts/demo.sh" "$WYNIKI/demo" 8 >/dev/null
mkdir -p "$tmp/wydanie"
cp "$WYNIKI/demo/_Kavrostel.exe" "$tmp/wydanie/"
bash "$ZRODLA/server/pakuj.sh" "$tmp/wydanie" "$tmp/drzewo" >/dev/null
# 8 MiB at 2 MiB/s: the bar is seen moving for about four seconds.
bash "$ZRODLA/server/serwer.sh" -t "$tmp/drzewo" -l "$hostport" -w "$tmp/serwer" -r 2m start

# ------------------------------------------------------------------ helpers
uruchom_instalator() {  # starts the installer, finds its window: pid_inst, OKNO, L, T
  (cd "$(dirname "$INSTALATOR")" && exec wine "$INSTALATOR") >>"$WYNIKI/instalator.log" 2>&1 &
  pid_inst=$!
  OKNO=$(wine_okno "Warunki licencji" 30) || blad "no window titled \"Warunki licencji\""
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$OKNO")"
  [ "$WIDTH" -eq 730 ] && [ "$HEIGHT" -eq 360 ] || blad "the window is ${WIDTH}x$HEIGHT, not 730x360"
  L=$X
  T=$Y
  [ "$L" -eq 275 ] && [ "$T" -eq 220 ] || blad "the window at $L,$T is not centred on the 1280x800 screen"
}
kliknij() { xdotool mousemove $((L + $1)) $((T + $2)) click 1; }
zdjecie() { import -window root "$WYNIKI/$1.png"; echo "screenshot $WYNIKI/$1.png"; }
wskaznik() { xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\) .*/\1 \2/p'; }
czekaj_na_wskaznik() {  # x, y (window), seconds, what
  local x=$((L + $1)) y=$((T + $2))
  for _ in $(seq 1 $(($3 * 20))); do
    [ "$(wskaznik)" = "$x $y" ] && return 0
    sleep 0.05
  done
  blad "the pointer did not reach $x,$y within $3 s ($(wskaznik)); $4"
}
czekaj_na() {  # seconds, description, test...
  local limit=$1 opis=$2
  shift 2
  for _ in $(seq 1 $((limit * 10))); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  blad "$opis: not within $limit s"
}
# A notice or dialog: waits for its window, shoots the screen and the window
# alone, reads the window's text (three times enlarged, tesseract) and
# checks it, closes it with Enter. Without a window manager the key reaches
# it once it has the X focus.
zamknij_okno() {  # title, screenshot name, a text the window must show
  local w napis
  w=$(wine_okno "$1" 30) || blad "no window titled \"$1\""
  sleep 0.3
  zdjecie "$2"
  import -window "$w" "$WYNIKI/${2}_okno.png"
  convert "$WYNIKI/${2}_okno.png" -resize 300% "$tmp/ocr.png"
  napis=$(tesseract "$tmp/ocr.png" - 2>/dev/null | tr '\n' ' ')
  grep -q "$3" <<<"$napis" || blad "the window \"$1\" reads: $napis"
  wine_fokus "$w"
  xdotool key Return
  for _ in $(seq 1 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0; sleep 0.1; done
  blad "the window \"$1\" did not close on Enter"
}
zamknij_instalator() {
  # "Zamknij": BBClose at 633,289 (80x30) on the page, BitBtn1 at 655,295
  # (65x25) on the licence page; both end the installer at once.
  kliknij "$1" "$2"
  for _ in $(seq 1 100); do kill -0 "$pid_inst" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid_inst" 2>/dev/null && blad "\"Zamknij\" did not end the installer"
  wait "$pid_inst" || blad "the installer ended with status $?"
  pid_inst=""
}

# The presentation: the pointer glides to L+50, T+72 inside the list, the
# agreement is typed, and the pointer ends at L+58, T+318 on the acceptance
# group. The pointer is sampled all the while.
prezentacja() {  # screenshot of the typing: name, or empty
  local x1=$((L + 50)) y1=$((T + 72)) x2=$((L + 58)) y2=$((T + 318)) byl=0 ujecie=$1
  for _ in $(seq 1 1200); do
    case "$(wskaznik)" in
      "$x1 $y1")
        if [ "$byl" -eq 0 ] && [ -n "$ujecie" ]; then sleep 0.15; zdjecie "$ujecie"; fi
        byl=1 ;;
      "$x2 $y2")
        [ "$byl" -eq 1 ] || blad "the pointer reached $x2,$y2 without passing $x1,$y1"
        return 0 ;;
    esac
    sleep 0.02
  done
  blad "the presentation did not end at $x2,$y2 ($(wskaznik))"
}

# ------------------------------------------------------------------ the installation
przed=$(stan_dysku)
krok "installer"
xdotool mousemove 100 100
uruchom_instalator
krok "presentation"
prezentacja licencja_pisanie
sleep 0.5
zdjecie licencja

krok "the window drag: left moves, right does not"
xdotool mousemove $((L + 400)) $((T + 12)) mousedown 1
sleep 0.2
xdotool mousemove $((L + 420)) $((T + 22))
sleep 0.1
xdotool mousemove $((L + 450)) $((T + 42))
sleep 0.2
xdotool mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$OKNO" | grep -E '^(X|Y)=')"
[ "$X" -eq $((L + 50)) ] && [ "$Y" -eq $((T + 30)) ] || blad "a left drag by +50,+30 moved the window to $X,$Y from $L,$T"
xdotool mousemove $((X + 400)) $((Y + 12)) mousedown 3
sleep 0.2
xdotool mousemove $((X + 300)) $((Y + 100))
sleep 0.2
xdotool mouseup 3
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$OKNO" | grep -E '^(X|Y)=')"
[ "$X" -eq $((L + 50)) ] && [ "$Y" -eq $((T + 30)) ] || blad "a right drag moved the window"
# Back to the centre, where the other steps expect it.
xdotool mousemove $((X + 400)) $((Y + 12)) mousedown 1
sleep 0.2
xdotool mousemove $((L + 420)) $((T + 2))
sleep 0.1
xdotool mousemove $((L + 400)) $((T + 12))
sleep 0.2
xdotool mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$OKNO" | grep -E '^(X|Y)=')"
[ "$X" -eq "$L" ] && [ "$Y" -eq "$T" ] || blad "the window did not come back to $L,$T ($X,$Y)"

krok "accept"
# "Akceptuję": the first item of RGAkceptacja (8,246 on PanelLic at 0,32).
kliknij 50 308
# The acceptance glides the pointer onto the program's name.
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
sleep 0.5
zdjecie strona

krok "install"
# "Instaluj": BBInstal at 243,289 (204x30) on PanelInstalacji at 0,34.
kliknij 345 338
sleep 1.5
zdjecie pobieranie
[ -e "$SKROT_MENU" ] && blad "the shortcuts exist before the download has ended"
skroty_gotowe() { [ -e "$SKROT_PULPIT" ] && [ -e "$SKROT_MENU" ]; }
czekaj_na 60 "the shortcuts after the download" skroty_gotowe
sleep 1
zdjecie koniec

krok "check the installed files"
cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the program file differs from the server's"
cmp "$FOLDER/_Aktualizacja.exe" "$(dirname "$INSTALATOR")/Program/_Aktualizacja.exe" \
  || blad "the updater copy differs from the installer's medium"
zawartosc=$(cd "$FOLDER" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$zawartosc" = "./_Aktualizacja.exe ./_Kavrostel.exe " ] || blad "the installation folder holds: $zawartosc"
dostep=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe HTTP/1.1" 200' "$tmp/serwer/access.log" || true)
[ "$dostep" -eq 1 ] || blad "expected one successful GET of the program file, saw $dostep"
grep -q '^127.0.0.1 - tamrix4 ' "$tmp/serwer/access.log" || blad "the request carried no Basic credentials of tamrix4"

sprawdz_skrot() {
  local plik=$1 opis
  opis=$(lnkinfo "$plik") || blad "lnkinfo cannot read $plik"
  for pole in "Local path			: C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe" \
              "Working directory		: C:\\KV-Tek\\Kavrostel8" \
              "Description			: Skrót do programu Vestra _Kavrostel 8.0"; do
    grep -qF "$pole" <<<"$opis" || blad "$plik: no '$pole' in lnkinfo's output:
$opis"
  done
  # lnkinfo 20181227 prints 0 for both whatever the file holds: the show
  # command (1) and the hot key (Ctrl+Alt+K) are read at their offsets.
  [ "$(od -An -tx1 -j60 -N4 "$plik" | tr -d ' ')" = "01000000" ] || blad "$plik: show command"
  [ "$(od -An -tx1 -j64 -N2 "$plik" | tr -d ' ')" = "4b06" ] || blad "$plik: hot key"
}
sprawdz_skrot "$SKROT_PULPIT"
sprawdz_skrot "$SKROT_MENU"

krok "run the program"
# "Uruchom": the same button.
kliknij 345 338
program_okno=$(wine_okno "Kavrostel 8.0" 60) || blad "\"Uruchom\" started no program"
sleep 0.3
zdjecie uruchomiony
wine_fokus "$program_okno"
xdotool key Return
czekaj_na 20 "the demonstration program's end" bash -c "! xdotool search --onlyvisible --name '^Kavrostel 8.0\$' >/dev/null 2>&1"

krok "remove the installation"
# "Usunięcie instalacji": BBDeinstal at 450,289 (162x30), below the completion view.
kliknij 531 338
usuniete() { [ ! -e "$WINEPREFIX/drive_c/KV-Tek" ] && [ ! -e "$SKROT_PULPIT" ] && [ ! -e "$SKROT_MENU" ]; }
czekaj_na 20 "the removal" usuniete
sleep 1
zdjecie usuniete
po=$(stan_dysku)
[ "$przed" = "$po" ] || blad "the removal left the prefix changed:
$(diff <(echo "$przed") <(echo "$po"))"

# ------------------------------------------------------------------ the failure path
krok "an older program file and a server error"
mkdir -p "$FOLDER"
printf 'starsza wersja programu' >"$PROGRAM"
# The server loses the program file: a 404 reply.
rm -f "$tmp/drzewo/programy/wersja8/aktualne/_Kavrostel._exe"
kliknij 345 338
# First the notice that the file will be replaced, then the transfer fails.
zamknij_okno "Uwaga!" zastapienie "zostanie"
zamknij_okno "Instalator" blad_pobrania "Nieudane pobranie pliku.*404"
zamknij_okno "Uwaga!" przerwana "Instalacja przerwana"
[ "$(cat "$PROGRAM")" = "starsza wersja programu" ] || blad "the older program file was touched"
[ -e "$SKROT_PULPIT" ] && blad "a shortcut was made after a failed download"
grep -q 'GET /programy/wersja8/aktualne/_Kavrostel._exe HTTP/1.1" 404' "$tmp/serwer/access.log" \
  || blad "no failed GET in the server's log"

krok "close"
zamknij_instalator 673 338

# ------------------------------------------------------------------ side by side
if [ -n "$LINUX" ]; then
  krok "side by side with the Linux build ($LINUX)"
  # Each picture: the Linux build on the left, the Windows build on the
  # right. Whole-screen shots are cut to the window and its surroundings
  # (both windows stand at 275,220); the notices are shot alone. The Linux
  # test's failure path is a damaged file, this one's a missing file: the
  # standard dialog's text differs, its look can be compared.
  obok() {  # Linux picture, Windows picture, result, crop (or empty)
    [ -f "$LINUX/$1.png" ] || { echo "no Linux screenshot $1"; return 0; }
    [ -f "$WYNIKI/$2.png" ] || blad "no Windows screenshot $2"
    if [ -n "$4" ]; then
      convert \( "$LINUX/$1.png" -crop "$4" +repage \) \( "$WYNIKI/$2.png" -crop "$4" +repage \) \
              -background black -splice 8x0 +append "$WYNIKI/obok_$3.png"
    else
      convert "$LINUX/$1.png" "$WYNIKI/$2.png" -background black -gravity west -splice 8x0 +append \
              "$WYNIKI/obok_$3.png"
    fi
    echo "side by side $WYNIKI/obok_$3.png"
  }
  for stan in licencja_pisanie licencja strona pobieranie koniec usuniete; do
    obok "$stan" "$stan" "$stan" 760x400+260+200
  done
  obok uszkodzony_zastapienie zastapienie_okno notka_zastapienie ""
  obok uszkodzony_blad blad_pobrania_okno dialog_standardowy ""
  obok uszkodzony_przerwana przerwana_okno notka_przerwana ""
fi
echo "E2E OK"
