#!/usr/bin/env bash
# The Windows installer behind a proxy, as a user meets it: the real
# instalator.exe under Wine on Xvfb, in a throw-away prefix whose user has a
# proxy in the Internet settings (as Windows keeps them), clicked through
# acceptance and "Instaluj". The program file arrives byte for byte, and the
# GET went through the proxy (its log) to the kit; nothing is asked.
# A build for an https:// address meets the kit over TLS with a throw-away
# certificate whose CA is trusted in the prefix's own Root store (kv_zaufaj.exe
# beside the build's tests), through the proxy by CONNECT.
#
#   tests/e2e/siec_win32_e2e.sh INSTALATOR_EXE SOURCE_DIR OUT_DIR SERVER_URL
set -euo pipefail

INSTALATOR=$(realpath "$1")
ZRODLA=$(realpath "$2")
WYNIKI=$3
ADRES_URL=$4
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")
: >"$WYNIKI/instalator.log"

blad() { echo "E2E FAILURE: $*" >&2; exit 1; }
krok() { echo "== $*"; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/wine.sh"
. "$ZRODLA/tests/support/sterowanie.sh"
. "$ZRODLA/tests/support/posrednik.sh"
. "$ZRODLA/tests/e2e/wspolne.sh"
FOKUS=wine_fokus

wymagaj Xvfb xdotool import nginx openssl python3 wine tinyproxy x86_64-w64-mingw32-g++
pid_proxy=""
koniec() { [ -n "$pid_proxy" ] && kill "$pid_proxy" 2>/dev/null; wine_zakoncz; }
przebieg kv-e2e-win-siec "$WYNIKI" koniec

xvfb_uruchom "$tmp/xvfb.log" ${KV_E2E_EKRAN:-} $(seq 250 259) || blad "no X server of our own"
krok "Wine prefix"
wine_prefiks "$tmp" || blad "wineboot"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
winapi_folder() {
  local w
  w=$(wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')
  winepath -u "$w" 2>/dev/null
}
PROFIL=$(winapi_folder USERPROFILE)
PULPIT="$PROFIL/Desktop"
PROGRAMY="$(winapi_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$PULPIT" "$PROGRAMY"
miejsca_instalacji

krok "server and proxy"
if [[ $ADRES_URL == https://* ]]; then
  # The kit over TLS, with a certificate of a CA made here.
  hostport=${ADRES_URL#https://}
  hostport=${hostport%/}
  C="$tmp/ca"
  certyfikaty_testowe "$C" "${hostport%:*}"
  wine "$(dirname "$INSTALATOR")/../tests/kv_zaufaj.exe" "$(winepath -w "$C/ca.pem")" >/dev/null ||
    blad "the test CA was not added to the prefix's Root store"
  bash "$ZRODLA/scripts/demo.sh" "$WYNIKI/demo" 8 >/dev/null
  mkdir -p "$tmp/wydanie"
  cp "$WYNIKI/demo/_Kavrostel.exe" "$tmp/wydanie/"
  klucz_podpisu
  bash "$ZRODLA/server/pakuj.sh" -k "$KV_KLUCZ_PRYWATNY" -i "$KV_KLUCZ_ID" "$tmp/wydanie" "$tmp/drzewo" >/dev/null
  bash "$ZRODLA/server/serwer.sh" -t "$tmp/drzewo" -l "$hostport" -w "$tmp/serwer" -r 2m \
    -c "$C/srv.pem" -k "$C/srv.key" start
  PRZEZ_POSREDNIKA="CONNECT $hostport "
else
  serwer_uruchom "$ADRES_URL" "$WYNIKI/demo" 2m
  PRZEZ_POSREDNIKA="GET http://${ADRES_URL#http://}programy/wersja8/aktualne/_Kavrostel._exe"
fi
# On 127.0.0.2: Wine's WinHTTP sends the absolute form only when the proxy's
# host differs from the server's.
posrednik_testowy "$tmp/proxy" "${hostport##*:}"
wine_posrednik "127.0.0.2:$PORT_PROXY" "<local>"

krok "installer behind the proxy"
xdotool mousemove 100 100
(cd "$(dirname "$INSTALATOR")" && exec wine "$INSTALATOR") >>"$WYNIKI/instalator.log" 2>&1 &
pid_inst=$!
OKNO=$(okno_o_tytule "Warunki licencji" 30) || blad "no window titled \"Warunki licencji\""
eval "$(xdotool getwindowgeometry --shell "$OKNO")"
L=$X
T=$Y
czekaj_na_wskaznik 58 318 120 "the presentation did not end"
sleep 0.3
kliknij 50 308
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
sleep 0.5
zainstaluj
cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the program file differs from the server's"
grep -qF "$PRZEZ_POSREDNIKA" "$tmp/proxy/log" ||
  blad "the proxy saw no '$PRZEZ_POSREDNIKA': $(cat "$tmp/proxy/log")"
# Inside the tunnel Wine's WinHTTP still writes the request as to a proxy
# (absolute form, HTTP/1.0); nginx serves it alike.
grep -qE '"GET (https://[^/]*)?/programy/wersja8/aktualne/_Kavrostel._exe HTTP/1\.[01]" 200' "$tmp/serwer/access.log" ||
  blad "the kit served no program file"
zdjecie przez_posrednika
zamknij_instalator 673 338
echo "E2E OK"
