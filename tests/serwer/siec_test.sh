#!/usr/bin/env bash
# The download over every road the system may offer, for the libcurl client
# and, given KV_WINDOWS (the cross build folder), the WinHTTP client under
# Wine: through a proxy (tinyproxy on loopback, with and without Basic
# credentials), past it (no_proxy / the bypass list), to a proxy that is not
# there, over HTTPS against the kit with a throw-away CA (a right
# certificate, one for another name, an expired one, an untrusted one), and
# HTTPS through the proxy (CONNECT). Each case checks the result and the
# notice the user sees, the installed file (byte for byte the release, or
# the old one unchanged), and the proxy's log (the GET or CONNECT went
# through it, or did not).
#
# The proxy is set the system's way: on Linux http_proxy, https_proxy and
# no_proxy; under Wine the prefix's per-user Internet settings. The test CA
# is trusted without touching this machine's trust store: on Linux inside a
# private mount namespace in which libcurl's CA bundle path shows a bundle
# of the test CA alone (unshare -m, as root), under Wine in the throw-away
# prefix's own Root store. Without root the Linux HTTPS cases are skipped.
#
#   siec_test.sh SOURCE_DIR KV_POBIERZ
set -euo pipefail
ZRODLA=$1
POBIERZ=$2
WINDOWS=${KV_WINDOWS:-}
T=$(mktemp -d "${TMPDIR:-/tmp}/kv-siec.XXXXXX")
chmod 0755 "$T"  # run as root, nginx's workers and tinyproxy ("nobody") read and write here
wolny_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
KIT="$ZRODLA/server/serwer.sh"
PIDY=()
KITY=()
sprzatnij() {
  local k
  for k in "${KITY[@]}"; do "$KIT" -w "$T/praca-$k" -l "127.0.0.1:${PORT[$k]}" stop >/dev/null 2>&1 || true; done
  for p in "${PIDY[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "$WINDOWS" ] && { . "$ZRODLA/tests/support/wine.sh"; wine_zakoncz; }
  rm -rf "$T"
}
trap sprzatnij EXIT
BLEDY=0
blad() { echo "FAIL: $*" >&2; BLEDY=$((BLEDY + 1)); }

# ---------------------------------------------------------------- release, CA, certificates
mkdir -p "$T/wydanie"
head -c 3000000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
# Signed with the key the clients under test trust: the build's (both
# builds share it, scripts/testy-windows.sh).
KLUCZ=${KV_KLUCZ_PRYWATNY:-$(dirname "$(dirname "$POBIERZ")")/klucze/kavrostel-test.key}
"$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i "${KV_KLUCZ_ID:-kavrostel-test}" "$T/wydanie" "$T/drzewo" >/dev/null

C="$T/ca"
mkdir -p "$C/nowe"
: >"$C/index.txt"
echo 1000 >"$C/serial"
cat >"$C/ca.cnf" <<EOF
[ ca ]
default_ca = ca_testu
[ ca_testu ]
database = $C/index.txt
new_certs_dir = $C/nowe
serial = $C/serial
default_md = sha256
default_days = 2
policy = dowolna
unique_subject = no
[ dowolna ]
commonName = supplied
EOF
nowy_klucz() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1" 2>/dev/null; chmod 600 "$1"; }
ca() {  # NAME: a self-signed CA
  nowy_klucz "$C/$1.key"
  openssl req -x509 -new -key "$C/$1.key" -out "$C/$1.pem" -days 2 -subj "/CN=Kavrostel test $1" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
certyfikat() {  # NAME CA SAN [openssl ca options...]: a server certificate
  local nazwa=$1 wystawca=$2 san=$3
  shift 3
  nowy_klucz "$C/$nazwa.key"
  local cn=${san#*:}
  openssl req -new -key "$C/$nazwa.key" -out "$C/$nazwa.csr" -subj "/CN=${cn%%,*}" 2>/dev/null
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature\nextendedKeyUsage=serverAuth\n' \
    "$san" >"$C/$nazwa.ext"
  openssl ca -batch -notext -config "$C/ca.cnf" -cert "$C/$wystawca.pem" -keyfile "$C/$wystawca.key" \
    -in "$C/$nazwa.csr" -out "$C/$nazwa.pem" -extfile "$C/$nazwa.ext" "$@" >/dev/null 2>&1
}
ca zaufany
ca obcy
# The address is also named as a DNS name: Wine's certificate check compares
# the host with DNS names only (Windows and OpenSSL use the IP address).
NAZWY="IP:127.0.0.1,DNS:127.0.0.1"
certyfikat dobry zaufany "$NAZWY"
certyfikat inna_nazwa zaufany "DNS:inny.example"
certyfikat przeterminowany zaufany "$NAZWY" -startdate 20200101000000Z -enddate 20200102000000Z
certyfikat nieznany obcy "$NAZWY"
cp "$C/zaufany.pem" "$T/paczka-ca.crt"

# ---------------------------------------------------------------- kits and proxies
declare -A PORT
kit() {  # NAME [serwer.sh options]
  local nazwa=$1
  shift
  PORT[$nazwa]=$(wolny_port)
  KITY+=("$nazwa")
  "$KIT" -t "$T/drzewo" -w "$T/praca-$nazwa" -l "127.0.0.1:${PORT[$nazwa]}" "$@" start >/dev/null
}
kit http
for c in dobry inna_nazwa przeterminowany nieznany; do kit "$c" -c "$C/$c.pem" -k "$C/$c.key"; done

# The proxies listen on 127.0.0.2: Wine's WinHTTP sends a request in
# absolute form only when the proxy's host name differs from the server's.
# The kit's own TLS: 1.2 and 1.3 only; a key others may read is refused.
for wersja in 1.2 1.3; do
  curl -sf -o /dev/null --cacert "$C/zaufany.pem" --tlsv$wersja --tls-max $wersja -u tamrix4:lorven905 \
    "https://127.0.0.1:${PORT[dobry]}/programy/wersja8/aktualne/_Kavrostel._exe" || blad "the kit refused TLS $wersja"
done
for wersja in 1 1.1; do
  ! curl -s -o /dev/null --cacert "$C/zaufany.pem" --tlsv$wersja --tls-max $wersja \
    "https://127.0.0.1:${PORT[dobry]}/" 2>/dev/null || blad "the kit accepted TLS $wersja"
done
cp "$C/dobry.key" "$C/czytelny.key"
chmod 644 "$C/czytelny.key"
if odmowa=$("$KIT" -t "$T/drzewo" -w "$T/praca-odmowa" -l "127.0.0.1:$(wolny_port)" -c "$C/dobry.pem" \
              -k "$C/czytelny.key" start 2>&1); then
  blad "the kit started with a key file others may read"
fi
grep -q "refusing the TLS key: .*mode 644" <<<"$odmowa" || blad "no reason for refusing the key: $odmowa"
! "$KIT" -l "127.0.0.1:$(wolny_port)" -c "$C/dobry.pem" status >/dev/null 2>&1 || blad "-c without -k was accepted"

mkdir -p "$T/proxy"
[ "$(id -u)" -eq 0 ] && chown nobody "$T/proxy"
posrednik() {  # NAME [more configuration lines]
  local nazwa=$1
  shift
  PORT[$nazwa]=$(wolny_port)
  {
    echo "Port ${PORT[$nazwa]}"
    echo "Listen 127.0.0.2"
    echo "Timeout 30"
    echo "MaxClients 20"
    echo "Allow 127.0.0.0/8"
    echo "LogLevel Info"
    echo "LogFile \"$T/proxy/$nazwa.log\""
    echo "PidFile \"$T/proxy/$nazwa.pid\""
    echo "ViaProxyName \"kvproxy\""
    echo "ConnectPort ${PORT[dobry]}"
    echo "ConnectPort ${PORT[http]}"
    [ "$(id -u)" -eq 0 ] && { echo "User nobody"; echo "Group $(id -gn nobody)"; }
    for linia in "$@"; do echo "$linia"; done
  } >"$T/proxy/$nazwa.conf"
  tinyproxy -d -c "$T/proxy/$nazwa.conf" >"$T/proxy/$nazwa.out" 2>&1 &
  PIDY+=($!)
  for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.2/${PORT[$nazwa]}") 2>/dev/null && return 0; sleep 0.05; done
  echo "tinyproxy $nazwa did not start: $(cat "$T/proxy/$nazwa.out")" >&2
  exit 1
}
posrednik otwarty
posrednik z_haslem "BasicAuth kvproxy tajne-haslo"
PORT[martwy]=$(wolny_port)  # nothing listens there
HTTP="http://127.0.0.1:${PORT[http]}/"
https() { echo "https://127.0.0.1:${PORT[$1]}/"; }

# ---------------------------------------------------------------- the cases
# name | proxy (-, otwarty, z_haslem, martwy) | bypass list? | base address |
# expected: "stored" or a part of the notice | the proxy log must show (GET, CONNECT, -: nothing new)
POLACZENIE="Błąd połączenia z internetem"
LOGOWANIE="Nieudane pobranie pliku: Serwer pośredniczący wymaga zalogowania."
PRZYPADKI=(
  "bez pośrednika|-|nie|$HTTP|stored|-"
  "przez pośrednika|otwarty|nie|$HTTP|stored|GET"
  "pominięty przez listę wyjątków|otwarty|tak|$HTTP|stored|-"
  "pośrednik chce Basic|z_haslem|nie|$HTTP|$LOGOWANIE|GET"
  "pośrednika nie ma|martwy|nie|$HTTP|$POLACZENIE|-"
  "https|-|nie|$(https dobry)|stored|-"
  "https przez pośrednika|otwarty|nie|$(https dobry)|stored|CONNECT"
  "https, pośrednik chce Basic|z_haslem|nie|$(https dobry)|Serwer pośredniczący wymaga zalogowania|CONNECT"
  "https, certyfikat innej nazwy|-|nie|$(https inna_nazwa)|Nieudane pobranie pliku: |-"
  "https, certyfikat przeterminowany|-|nie|$(https przeterminowany)|Nieudane pobranie pliku: |-"
  "https, certyfikat nieznanego wystawcy|-|nie|$(https nieznany)|Nieudane pobranie pliku: |-"
)

STARY="stara wersja programu"
# klient_* PROXY BYPASS ADDRESS: runs one download with the old file in
# place; prints what kv_pobierz printed. TARGET is the installed file.
linux_przygotuj() {
  export WINEPREFIX="$T/linux"
  mkdir -p "$WINEPREFIX/dosdevices" "$WINEPREFIX/drive_c/KV-Tek/Kavrostel8"
  ln -sfn ../drive_c "$WINEPREFIX/dosdevices/c:"
  CEL="$WINEPREFIX/drive_c/KV-Tek/Kavrostel8/_Kavrostel.exe"
  HTTPS_LINUX=tak
  if [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; then
    HTTPS_LINUX=""
    echo "SKIP on Linux: the HTTPS cases need a private mount namespace (root)"
  fi
}
linux_pobierz() {
  local posrednik=$1 wyjatki=$2 adres=$3
  local srodowisko=(env -u http_proxy -u https_proxy -u HTTPS_PROXY -u all_proxy -u ALL_PROXY -u no_proxy -u NO_PROXY)
  if [ "$posrednik" != - ]; then
    srodowisko+=("http_proxy=http://127.0.0.2:${PORT[$posrednik]}" "https_proxy=http://127.0.0.2:${PORT[$posrednik]}")
  fi
  [ "$wyjatki" = tak ] && srodowisko+=("no_proxy=127.0.0.1,localhost")
  if [ -n "$HTTPS_LINUX" ]; then
    unshare -m sh -c 'mount --bind "$1" /etc/ssl/certs/ca-certificates.crt && shift && exec "$@"' - \
      "$T/paczka-ca.crt" "${srodowisko[@]}" "$POBIERZ" "$adres" 'C:\KV-Tek\Kavrostel8' 2>&1 || true
  else
    "${srodowisko[@]}" "$POBIERZ" "$adres" 'C:\KV-Tek\Kavrostel8' 2>&1 || true
  fi
}

wine_przygotuj() {
  . "$ZRODLA/tests/support/wine.sh"
  . "$ZRODLA/tests/support/posrednik.sh"
  unset DISPLAY
  wine_prefiks "$T/wine-prefiks" || exit 1
  CEL="$WINEPREFIX/drive_c/KV-Tek/Kavrostel8/_Kavrostel.exe"
  mkdir -p "$(dirname "$CEL")"
  wine "$WINDOWS/tests/kv_zaufaj.exe" "$(winepath -w "$C/zaufany.pem")" >/dev/null || { blad "the test CA was not added to the prefix's Root store"; exit 1; }
}
wine_ustaw_posrednika() {
  local pominiete=""
  [ "$2" = tak ] && pominiete="127.0.0.1;localhost"
  if [ "$1" = - ]; then wine_posrednik -; else wine_posrednik "127.0.0.2:${PORT[$1]}" "$pominiete"; fi
}
wine_pobierz() {
  wine_ustaw_posrednika "$1" "$2"
  wine "$WINDOWS/tests/kv_pobierz.exe" "$3" 'C:\KV-Tek\Kavrostel8' 2>&1 | tr -d '\r' || true
}

przejdz() {  # CLIENT (linux, wine)
  local klient=$1 wiersz nazwa posrednik wyjatki adres oczekiwane log
  for wiersz in "${PRZYPADKI[@]}"; do
    IFS='|' read -r nazwa posrednik wyjatki adres oczekiwane log <<<"$wiersz"
    if [ "$klient" = linux ] && [ -z "$HTTPS_LINUX" ] && [[ $adres == https* ]]; then continue; fi
    # Wine's WinHTTP ends a CONNECT the proxy refuses with 407 as a TLS
    # failure (12157) and never shows the 407; Windows' shows it. Under
    # Wine only the failure and the untouched file can be checked.
    if [ "$klient" = wine ] && [ "$nazwa" = "https, pośrednik chce Basic" ]; then oczekiwane="Nieudane pobranie pliku: "; fi
    printf '%s' "$STARY" >"$CEL"
    local przed_otw przed_has wynik
    przed_otw=$(cat "$T/proxy/otwarty.log" 2>/dev/null | wc -l)
    przed_has=$(cat "$T/proxy/z_haslem.log" 2>/dev/null | wc -l)
    local start=$SECONDS
    wynik=$("${klient}_pobierz" "$posrednik" "$wyjatki" "$adres")
    local czas=$((SECONDS - start))
    echo "[$klient] $nazwa (${czas} s): $(echo "$wynik" | grep -v '^  notice' | tr '\n' ' ')"
    if [ "$oczekiwane" = stored ]; then
      grep -qx stored <<<"$wynik" || blad "[$klient] $nazwa: not stored: $wynik"
      cmp -s "$CEL" "$T/wydanie/_Kavrostel.exe" || blad "[$klient] $nazwa: the installed file differs from the release"
    else
      grep -qx failed <<<"$wynik" || blad "[$klient] $nazwa: did not fail: $wynik"
      grep '^  message: ' <<<"$wynik" | grep -qF "$oczekiwane" || blad "[$klient] $nazwa: expected the notice '$oczekiwane', got: $wynik"
      [ "$(cat "$CEL")" = "$STARY" ] || blad "[$klient] $nazwa: the installed file was changed"
    fi
    [ -z "$(find "$(dirname "$CEL")" -name '*.czesc*' -o -name '.*' -type f)" ] ||
      blad "[$klient] $nazwa: a temporary file was left: $(ls -a "$(dirname "$CEL")")"
    # What the proxies saw meanwhile.
    local nowe
    nowe=$({ tail -n +$((przed_otw + 1)) "$T/proxy/otwarty.log"; tail -n +$((przed_has + 1)) "$T/proxy/z_haslem.log"; } 2>/dev/null |
      grep -E 'Request \(file descriptor [0-9]+\): (GET|CONNECT) ' || true)
    case $log in
      GET) grep -q "GET http://127.0.0.1:${PORT[http]}/programy/wersja8/aktualne/_Kavrostel._exe" <<<"$nowe" ||
             blad "[$klient] $nazwa: the proxy saw no GET of the file: $nowe" ;;
      CONNECT) grep -q "CONNECT 127.0.0.1:${PORT[dobry]} " <<<"$nowe" || blad "[$klient] $nazwa: the proxy saw no CONNECT: $nowe" ;;
      -) [ -z "$nowe" ] || blad "[$klient] $nazwa: the request went through the proxy: $nowe" ;;
    esac
    if [[ $nazwa == "https, certyfikat"* ]] && [ "$oczekiwane" != stored ]; then
      # The library's own reason follows the notice.
      local powod
      powod=$(sed -n 's/^  message: Nieudane pobranie pliku: //p' <<<"$wynik")
      [ -n "$powod" ] || blad "[$klient] $nazwa: no reason in the notice"
    fi
  done
}

linux_przygotuj
przejdz linux
if [ -n "$WINDOWS" ]; then
  wine_przygotuj
  przejdz wine
fi
[ "$BLEDY" -eq 0 ] || { echo "$BLEDY case(s) failed" >&2; exit 1; }
echo "all network roads passed"
