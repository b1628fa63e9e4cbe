#!/usr/bin/env bash
# Runs pompowanie_bench, the WinHTTP client's pump cadence, under Wine: the
# cross build's program in a throw-away Wine prefix, against the nginx kit
# (a file of SIZE MiB with its digest) and the fault-injecting server, both
# on loopback outside Wine. Prints figures; not a test.
#
#   bash bench/pompowanie_wine.sh [SIZE_MIB] [ROUNDS]
#
# KV_BUDOWA: the build folder (default build); the cross build is
# KV_BUDOWA/windows, made by scripts/testy-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
ZRODLA=$PWD
BUDOWA=${KV_BUDOWA:-$ZRODLA/build}
ROZMIAR=${1:-256}
RUNDY=${2:-3}
WINDOWS=$BUDOWA/windows
[ -f "$WINDOWS/CMakeCache.txt" ] || { echo "no cross build in $WINDOWS (bash scripts/testy-windows.sh)" >&2; exit 1; }
cmake --build "$WINDOWS" -j2 --target pompowanie_bench >/dev/null

T=$(mktemp -d "${TMPDIR:-/tmp}/kv-pompowanie.XXXXXX")
chmod 0755 "$T"  # run as root, the kit's workers ("nobody") read the tree
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
SERWER_PID=""
sprzatanie() {
  bash "$ZRODLA/server/serwer.sh" -w "$T/praca" -l "127.0.0.1:$PORT" stop >/dev/null 2>&1 || true
  if [ -n "$SERWER_PID" ]; then kill "$SERWER_PID" 2>/dev/null || true; wait "$SERWER_PID" 2>/dev/null || true; fi
  WINEPREFIX="$T/wine" wineserver -k 2>/dev/null || true
  rm -rf "$T"
}
trap sprzatanie EXIT

mkdir -p "$T/wydanie"
head -c $((ROZMIAR << 20)) /dev/urandom >"$T/wydanie/_Kavrostel.exe"
# Signed with the cross build's key, as the installer would demand.
KLUCZ=${KV_KLUCZ_PRYWATNY:-$WINDOWS/klucze/kavrostel-test.key}
[ -f "$KLUCZ" ] || { echo "no signing key $KLUCZ (set KV_KLUCZ_PRYWATNY and KV_KLUCZ_ID)" >&2; exit 1; }
bash "$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i "${KV_KLUCZ_ID:-kavrostel-test}" "$T/wydanie" "$T/drzewo" >/dev/null
rm -rf "$T/wydanie"
bash "$ZRODLA/server/serwer.sh" -t "$T/drzewo" -w "$T/praca" -l "127.0.0.1:$PORT" start >/dev/null

python3 tests/support/serwer_awarii.py >"$T/port" &
SERWER_PID=$!
for _ in $(seq 100); do [ -s "$T/port" ] && break; sleep 0.1; done
export KV_SERWER_AWARII="127.0.0.1:$(head -n1 "$T/port")"

mkdir -p "$T/home" "$T/wine"
export WINEPREFIX="$T/wine" HOME="$T/home" WINEDEBUG=-all WINEARCH=win64 LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
unset DISPLAY WAYLAND_DISPLAY
wineserver -p
wineboot -i >"$T/wineboot.log" 2>&1
echo "WinHTTP under Wine: $ROZMIAR MiB from the kit on 127.0.0.1:$PORT, load average $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$WINDOWS/tests/pompowanie_bench.exe" "http://127.0.0.1:$PORT/" 'C:\kv-pompowanie' "$RUNDY"
