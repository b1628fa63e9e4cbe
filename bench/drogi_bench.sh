#!/usr/bin/env bash
# The libcurl client's download on each network road beside the curl tool on
# the same road, printed, never asserted: plain HTTP, HTTPS (a throw-away CA
# trusted in a private mount namespace, as root), HTTP through tinyproxy and
# HTTPS through it (CONNECT), all on loopback. Ours is kv_pobierz, the
# download as the install button does it (onto the disk, the digest checked,
# the file flushed and renamed into place); curl writes to a file, flushed too. The median ratio
# of the times per road (above 1: ours is slower).
#
#   bash bench/drogi_bench.sh KV_POBIERZ [SIZE_MIB] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
ZRODLA=$PWD
POBIERZ=$(realpath "$1")
ROZMIAR=${2:-256}
RUNDY=${3:-5}
[ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null || { echo "needs root (a private mount namespace for the test CA)" >&2; exit 1; }
T=$(mktemp -d "${TMPDIR:-/tmp}/kv-drogi.XXXXXX")
chmod 0755 "$T"
wolny_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
P_HTTP=$(wolny_port)
P_HTTPS=$(wolny_port)
P_PROXY=$(wolny_port)
PID_PROXY=""
sprzatnij() {
  bash server/serwer.sh -w "$T/praca-http" -l "127.0.0.1:$P_HTTP" stop >/dev/null 2>&1 || true
  bash server/serwer.sh -w "$T/praca-https" -l "127.0.0.1:$P_HTTPS" stop >/dev/null 2>&1 || true
  [ -n "$PID_PROXY" ] && kill "$PID_PROXY" 2>/dev/null || true
  rm -rf "$T"
}
trap sprzatnij EXIT

mkdir -p "$T/wydanie" "$T/tls" "$T/proxy"
head -c $((ROZMIAR << 20)) /dev/urandom >"$T/wydanie/_Kavrostel.exe"
KLUCZ=${KV_KLUCZ_PRYWATNY:-$(dirname "$(dirname "$POBIERZ")")/klucze/kavrostel-test.key}
bash server/pakuj.sh -k "$KLUCZ" -i "${KV_KLUCZ_ID:-kavrostel-test}" "$T/wydanie" "$T/drzewo" >/dev/null
rm -rf "$T/wydanie"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$T/tls/ca.key" -out "$T/tls/ca.pem" \
  -days 1 -subj "/CN=Kavrostel bench CA" 2>/dev/null
openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$T/tls/srv.key" -out "$T/tls/srv.csr" \
  -subj "/CN=127.0.0.1" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$T/tls/ext"
openssl x509 -req -in "$T/tls/srv.csr" -CA "$T/tls/ca.pem" -CAkey "$T/tls/ca.key" -CAcreateserial \
  -out "$T/tls/srv.pem" -days 1 -extfile "$T/tls/ext" 2>/dev/null
chmod 600 "$T/tls/srv.key"
bash server/serwer.sh -t "$T/drzewo" -w "$T/praca-http" -l "127.0.0.1:$P_HTTP" start >/dev/null
bash server/serwer.sh -t "$T/drzewo" -w "$T/praca-https" -l "127.0.0.1:$P_HTTPS" \
  -c "$T/tls/srv.pem" -k "$T/tls/srv.key" start >/dev/null
chown nobody "$T/proxy"
printf 'Port %s\nListen 127.0.0.2\nAllow 127.0.0.0/8\nMaxClients 10\nLogLevel Warning\nLogFile "%s"\nConnectPort %s\nUser nobody\nGroup %s\n' \
  "$P_PROXY" "$T/proxy/log" "$P_HTTPS" "$(id -gn nobody)" >"$T/proxy/conf"
tinyproxy -d -c "$T/proxy/conf" >/dev/null 2>&1 &
PID_PROXY=$!
sleep 0.5

export WINEPREFIX="$T/prefiks"
mkdir -p "$WINEPREFIX/dosdevices" "$WINEPREFIX/drive_c/KV-Tek/Kavrostel8"
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
CEL="$WINEPREFIX/drive_c/KV-Tek/Kavrostel8/_Kavrostel.exe"
SCIEZKA=programy/wersja8/aktualne/_Kavrostel._exe

# Seconds of one command, run in the namespace that trusts the bench CA.
czas() {
  unshare -m sh -c 'mount --bind "$1" /etc/ssl/certs/ca-certificates.crt && shift &&
    a=$(date +%s.%N) && "$@" >/dev/null 2>&1 && b=$(date +%s.%N) && echo "$a $b" | awk "{ printf \"%.3f\", \$2 - \$1 }"' \
    - "$T/tls/ca.pem" "$@"
}
echo "roads on loopback, $ROZMIAR MiB, $RUNDY rounds, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for droga in http https proxy https+proxy; do
  case $droga in
    http) adres="http://127.0.0.1:$P_HTTP/"; env_=(env -u http_proxy -u https_proxy) ;;
    https) adres="https://127.0.0.1:$P_HTTPS/"; env_=(env -u http_proxy -u https_proxy) ;;
    proxy) adres="http://127.0.0.1:$P_HTTP/"; env_=(env "http_proxy=http://127.0.0.2:$P_PROXY") ;;
    https+proxy) adres="https://127.0.0.1:$P_HTTPS/"; env_=(env "https_proxy=http://127.0.0.2:$P_PROXY") ;;
  esac
  ilorazy=()
  nasze=()
  curle=()
  for _ in $(seq "$RUNDY"); do
    rm -f "$CEL"
    n=$(czas "${env_[@]}" "$POBIERZ" "$adres" 'C:\KV-Tek\Kavrostel8')
    cmp -s "$CEL" "$T/drzewo/$SCIEZKA" || { echo "$droga: our download failed" >&2; exit 1; }
    # Ours flushes the file to the disk before it replaces the target; curl's
    # is flushed too, so that both figures hold the same work.
    c=$(czas "${env_[@]}" sh -c 'curl -sf -u tamrix4:lorven905 -o "$1" "$2" && sync "$1"' - "$T/curl.bin" "$adres$SCIEZKA")
    rm -f "$T/curl.bin"
    nasze+=("$n")
    curle+=("$c")
    ilorazy+=("$(awk -v n="$n" -v c="$c" 'BEGIN { printf "%.3f", n / c }')")
  done
  mediana() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
  n=$(mediana "${nasze[@]}")
  c=$(mediana "${curle[@]}")
  printf '%-12s ours %6.3f s (%5.0f MiB/s), curl %6.3f s (%5.0f MiB/s), ours/curl median %s\n' "$droga" "$n" \
    "$(awk -v m="$ROZMIAR" -v t="$n" 'BEGIN { print m / t }')" "$c" "$(awk -v m="$ROZMIAR" -v t="$c" 'BEGIN { print m / t }')" \
    "$(mediana "${ilorazy[@]}")"
done
