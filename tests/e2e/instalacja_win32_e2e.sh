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
# "Usunięcie instalacji" leaving the prefix as it was; the whole road again
# with keys alone (klawiatura_droga); the window drag (left
# moves, right does not); and the failure path: an older program file and a
# server error give the standard dialog titled "Instalator", then
# "Instalacja przerwana.", and the old file stays; a man in the middle who
# replaces the program and its digest is refused the same way.
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

blad() { echo "E2E FAILURE: $*" >&2; exit 1; }
krok() { echo "== $*"; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/wine.sh"
. "$ZRODLA/tests/support/sterowanie.sh"
. "$ZRODLA/tests/e2e/wspolne.sh"
# A key reaches a Wine window once the pointer is over it too.
FOKUS=wine_fokus

wymagaj Xvfb xdotool import convert tesseract lnkinfo nginx openssl python3 wine x86_64-w64-mingw32-g++
# The scratch folder; at the end Wine's programs are ended and the server's
# logs kept in WYNIKI.
przebieg kv-e2e-win "$WYNIKI" wine_zakoncz

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
miejsca_instalacji
# What the user can see on drive C:, without Wine's own housekeeping.
pomijane=(./windows '*/Temp' '*/AppData/Local')

# ------------------------------------------------------------------ server
krok "server"
# 8 MiB at 2 MiB/s: the bar is seen moving for about four seconds.
serwer_uruchom "$ADRES_URL" "$WYNIKI/demo" 2m

# ------------------------------------------------------------------ helpers
uruchom_instalator() {  # starts the installer, finds its window: pid_inst, OKNO, L, T
  (cd "$(dirname "$INSTALATOR")" && exec wine "$INSTALATOR") >>"$WYNIKI/instalator.log" 2>&1 &
  pid_inst=$!
  OKNO=$(okno_o_tytule "Warunki licencji" 30) || blad "no window titled \"Warunki licencji\""
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$OKNO")"
  [ "$WIDTH" -eq 730 ] && [ "$HEIGHT" -eq 360 ] || blad "the window is ${WIDTH}x$HEIGHT, not 730x360"
  L=$X
  T=$Y
  [ "$L" -eq 275 ] && [ "$T" -eq 220 ] || blad "the window at $L,$T is not centred on the 1280x800 screen"
}
# Presses a mouse BUTTON at the window's point X0, Y0, moves to each further
# point, releases it there; then sets X and Y to the window's corner.
przeciagnij() {  # button, x0, y0, x, y...
  local przycisk=$1
  xdotool mousemove "$2" "$3" mousedown "$przycisk"
  shift 3
  while [ $# -ge 2 ]; do
    sleep 0.2
    xdotool mousemove "$1" "$2"
    shift 2
  done
  sleep 0.2
  xdotool mouseup "$przycisk"
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$OKNO" | grep -E '^(X|Y)=')"
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
przed=$(stan_dysku "${pomijane[@]}")
krok "installer"
xdotool mousemove 100 100
uruchom_instalator
krok "presentation"
prezentacja licencja_pisanie
sleep 0.5
zdjecie licencja

krok "the window drag: left moves, right does not"
przeciagnij 1 $((L + 400)) $((T + 12)) $((L + 420)) $((T + 22)) $((L + 450)) $((T + 42))
[ "$X" -eq $((L + 50)) ] && [ "$Y" -eq $((T + 30)) ] || blad "a left drag by +50,+30 moved the window to $X,$Y from $L,$T"
przeciagnij 3 $((X + 400)) $((Y + 12)) $((X + 300)) $((Y + 100))
[ "$X" -eq $((L + 50)) ] && [ "$Y" -eq $((T + 30)) ] || blad "a right drag moved the window"
# Back to the centre, where the other steps expect it.
przeciagnij 1 $((X + 400)) $((Y + 12)) $((L + 420)) $((T + 2)) $((L + 400)) $((T + 12))
[ "$X" -eq "$L" ] && [ "$Y" -eq "$T" ] || blad "the window did not come back to $L,$T ($X,$Y)"

krok "accept"
# "Akceptuję": the first item of RGAkceptacja (8,246 on PanelLic at 0,32).
kliknij 50 308
# The acceptance glides the pointer onto the program's name.
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
sleep 0.5
zdjecie strona

krok "install"
zainstaluj

krok "check the installed files"
sprawdz_instalacje

krok "run the program"
# "Uruchom": the same button.
kliknij 345 338
program_okno=$(okno_o_tytule "Kavrostel 8.0" 60) || blad "\"Uruchom\" started no program"
sleep 0.3
zdjecie uruchomiony
wine_fokus "$program_okno"
xdotool key Return
czekaj_na 20 "the demonstration program's end" bash -c "! xdotool search --onlyvisible --name '^Kavrostel 8.0\$' >/dev/null 2>&1"

krok "remove the installation"
usun_instalacje "$przed" "${pomijane[@]}"
zamknij_instalator 673 338

# ------------------------------------------------------------------ the keyboard alone
# The whole road again with keys only; the program "Uruchom" starts is
# ended by Enter.
krok "the keyboard alone"
program_przez_klawisz() {
  local okno
  okno=$(okno_o_tytule "Kavrostel 8.0" 60) || blad "Alt+R started no program"
  sleep 0.3
  zdjecie klawiatura_uruchomiony
  xdotool windowfocus "$okno" 2>/dev/null || true
  sleep 0.1
  xdotool key Return
  czekaj_na 20 "the demonstration program's end" bash -c "! xdotool search --onlyvisible --name '^Kavrostel 8.0\$' >/dev/null 2>&1"
}
uruchom_instalator
prezentacja ""
sleep 0.3
klawiatura_droga "$przed" program_przez_klawisz "${pomijane[@]}"

# The failure path starts on the installation page.
uruchom_instalator
prezentacja ""
sleep 0.3
kliknij 50 308
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
sleep 0.5

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

# ------------------------------------------------------------------ a man in the middle
# The release packed again whole; on the installer's address a proxy that
# puts another program in the reply with that program's own digest (the
# maker's signature no longer covers it): refused, the installed program
# kept.
krok "a man in the middle"
cp "$WYNIKI/demo/_Kavrostel.exe" "$PROGRAM"
klucz_podpisu
bash "$ZRODLA/server/pakuj.sh" -k "$KV_KLUCZ_PRYWATNY" -i "$KV_KLUCZ_ID" -b "$baza" "$tmp/wydanie" "$tmp/drzewo" >/dev/null
mitm_uruchom "$(dirname "$INSTALATOR")/Program/_Aktualizacja.exe"
sprawdz_odmowe_mitm mitm

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
  obok uszkodzony_zastapienie_okno zastapienie_okno notka_zastapienie ""
  obok uszkodzony_blad_okno blad_pobrania_okno dialog_standardowy ""
  obok uszkodzony_przerwana_okno przerwana_okno notka_przerwana ""
fi
echo "E2E OK"
