#!/usr/bin/env bash
# The real instalator.exe under Wine, with C:\KV-Tek already there and owned
# by another user (a Unix folder of "nobody", open to everyone: Wine reports
# its owner as another account and Everyone allowed to write). "Instaluj"
# must refuse the folder with the notice under "Uwaga!" before anything is
# fetched or written, then say the program needs to be fetched; the folder
# stays as it was. Needs root (to give the folder away); skipped otherwise.
#
#   folder_obcy_win32_test.sh INSTALATOR SOURCE_DIR RESULTS_DIR SERVER_URL
set -euo pipefail
INSTALATOR=$(realpath "$1")
ZRODLA=$(realpath "$2")
WYNIKI=$3
ADRES_URL=$4
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")
blad() { echo "FAIL: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: only root can give a folder to another user"
  exit 77
fi
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/wine.sh"
. "$ZRODLA/tests/support/sterowanie.sh"
FOKUS=wine_fokus
wymagaj Xvfb xdotool import convert tesseract nginx wine
przebieg kv-obcy-win "$WYNIKI" wine_zakoncz
xvfb_uruchom "$tmp/xvfb.log" $(seq 250 259) || blad "no X server of our own"
wine_prefiks "$tmp" || blad "wineboot"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
serwer_uruchom "$ADRES_URL" "$WYNIKI/demo" 0

OBCY="$WINEPREFIX/drive_c/KV-Tek"
mkdir -p "$OBCY"
chown 65534:65534 "$OBCY"
chmod 0777 "$OBCY"

(cd "$(dirname "$INSTALATOR")" && exec wine "$INSTALATOR") >"$WYNIKI/instalator.log" 2>&1 &
pid_inst=$!
okno=$(okno_o_tytule "Warunki licencji" 30) || blad "no window titled \"Warunki licencji\""
eval "$(xdotool getwindowgeometry --shell "$okno" | grep -E '^(X|Y)=')"
L=$X
T=$Y
czekaj_na_wskaznik 58 318 60 "the presentation did not end"
sleep 1
# "Akceptuję", then "Instaluj" once the pointer has glided to the program.
kliknij 50 308
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
kliknij 345 338
zamknij_okno "Uwaga!" folder_obcy "KV-Tek" "innego" "Wybierz inny folder"
zamknij_okno "Uwaga!" folder_obcy_brak "Wymagane jest pobranie"

[ -z "$(ls -A "$OBCY")" ] || blad "something was written into the refused folder: $(ls -A "$OBCY")"
[ "$(stat -c '%u %a' "$OBCY")" = "65534 777" ] || blad "the refused folder was changed: $(stat -c '%u %a' "$OBCY")"
! grep -q '_Kavrostel._exe' "$tmp/serwer/access.log" || blad "the program was fetched for a refused folder"
zamknij_instalator 673 338
echo "another user's C:\\KV-Tek refused before anything was fetched or written"
