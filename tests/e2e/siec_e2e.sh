#!/usr/bin/env bash
# The installer behind a proxy, as a user meets it: the real instalator binary
# under Xvfb, started with the system's proxy set (http_proxy, as a desktop
# session sets it), clicked through acceptance and "Instaluj". Where the only
# way out is the proxy, the installation works as at home: the program file
# arrives byte for byte, the GET went through the proxy (its log) and reached
# the kit; nothing is asked of the user.
# A build for an https:// address meets the kit over TLS with a throw-away
# certificate, through the proxy by CONNECT (https_proxy). The test CA is
# trusted by the installer alone: it runs in a private mount namespace where
# the system's CA bundle path shows the test CA (as root; skipped otherwise),
# so the client's checks stay as shipped and the machine's store untouched.
#
#   tests/e2e/siec_e2e.sh INSTALATOR SOURCE_DIR OUT_DIR SERVER_URL
set -euo pipefail

INSTALATOR=$(realpath "$1")
ZRODLA=$(realpath "$2")
WYNIKI=$3
ADRES_URL=$4
mkdir -p "$WYNIKI"
: >"$WYNIKI/instalator.log"
WYNIKI=$(realpath "$WYNIKI")

blad() { echo "E2E FAILURE: $*" >&2; exit 1; }
krok() { echo "== $*"; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/sterowanie.sh"
. "$ZRODLA/tests/e2e/wspolne.sh"

wymagaj Xvfb xdotool import nginx openssl python3 tinyproxy x86_64-w64-mingw32-g++
if [[ $ADRES_URL == https://* ]] && { [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; }; then
  echo "SKIP: the test CA is given to the installer in a private mount namespace (root)"
  exit 77
fi
pid_proxy=""
zatrzymaj_posrednika() { [ -n "$pid_proxy" ] && kill "$pid_proxy" 2>/dev/null || true; }
przebieg kv-e2e-siec "$WYNIKI" zatrzymaj_posrednika

xvfb_uruchom "$tmp/xvfb.log" ${KV_E2E_EKRAN:-} $(seq 150 159) || blad "no X server of our own"

krok "server and proxy"
if [[ $ADRES_URL == https://* ]]; then
  hostport=${ADRES_URL#https://}
  hostport=${hostport%%/*}
  certyfikaty_testowe "$tmp/ca" "${hostport%:*}"
  serwer_uruchom "$ADRES_URL" "$WYNIKI/demo" 2m "$tmp/ca/srv.pem" "$tmp/ca/srv.key"
  POSREDNIK_WIDZIAL="CONNECT $hostport "
  ZMIENNA_POSREDNIKA=https_proxy
  # libcurl's CA bundle path shows the test CA, for the installer alone.
  URUCHOM=(unshare -m sh -c 'mount --bind "$1" /etc/ssl/certs/ca-certificates.crt && shift && exec "$@"' -
           "$tmp/ca/ca.pem")
else
  serwer_uruchom "$ADRES_URL" "$WYNIKI/demo" 2m
  POSREDNIK_WIDZIAL="GET http://${ADRES_URL#http://}programy/wersja8/aktualne/_Kavrostel._exe"
  ZMIENNA_POSREDNIKA=http_proxy
  URUCHOM=()
fi
# On 127.0.0.2, so that its log tells its requests from the kit's.
posrednik_testowy "$tmp/proxy" "${hostport##*:}"

prefiks_bez_wine "$tmp/wine"
miejsca_instalacji

krok "installer behind the proxy"
"${URUCHOM[@]}" env -u http_proxy -u https_proxy -u HTTPS_PROXY -u all_proxy -u ALL_PROXY -u no_proxy -u NO_PROXY \
  "$ZMIENNA_POSREDNIKA=http://127.0.0.2:$PORT_PROXY" "$INSTALATOR" >>"$WYNIKI/instalator.log" 2>&1 &
pid_inst=$!
okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" || blad "the installer's window"
czekaj_na_wskaznik 58 318 120 "the presentation did not end"
sleep 0.3
kliknij 50 307
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
sleep 0.5
zainstaluj
cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the program file differs from the server's"
grep -qF "$POSREDNIK_WIDZIAL" "$tmp/proxy/log" ||
  blad "the proxy saw no '$POSREDNIK_WIDZIAL': $(cat "$tmp/proxy/log")"
grep -q 'GET /programy/wersja8/aktualne/_Kavrostel._exe HTTP/1.1" 200' "$tmp/serwer/access.log" ||
  blad "the kit served no program file"
zdjecie przez_posrednika
zamknij_instalator 673 338
echo "E2E OK"
