#!/usr/bin/env bash
# The Windows build of the engine, the platform layer, the control model and
# the forms, cross-compiled with MinGW-w64 and tested under Wine: every
# GoogleTest program of tests/platform, tests/engine, tests/formularze (the
# forms over the recording backend) and tests/win32, then the comparison of
# the two link writers. Needs no display. Fails on any failed test.
set -euo pipefail
cd "$(dirname "$0")/.."
ZRODLA=$PWD
BUDOWA=${KV_BUDOWA:-$ZRODLA/build}
ROWNOLEGLE=${KV_ROWNOLEGLE:-2}
WINDOWS=$BUDOWA/windows

for program in x86_64-w64-mingw32-g++-posix wine wineboot wineserver python3; do
  if ! command -v "$program" >/dev/null; then
    echo "missing: $program (scripts/zaleznosci.sh installs it)" >&2
    exit 1
  fi
done

sekundy() { date +%s.%N; }
ile() { awk -v a="$1" -v b="$(sekundy)" 'BEGIN { printf "%.1f", b - a }'; }

echo "== Windows cross build"
t=$(sekundy)
cmake -S . -B "$WINDOWS" -DCMAKE_TOOLCHAIN_FILE="$ZRODLA/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_UI=OFF >/dev/null
cmake --build "$WINDOWS" -j"$ROWNOLEGLE"
echo "cross build: $(ile "$t") s"

# A Wine prefix of its own, thrown away at the end; HOME inside it so that
# Wine links no folder of the real home, and no menu entries written anywhere.
PREFIKS=$(mktemp -d "${TMPDIR:-/tmp}/kv-wine.XXXXXX")
SERWER_PID=""
sprzatanie() {
  if [ -n "$SERWER_PID" ]; then kill "$SERWER_PID" 2>/dev/null || true; wait "$SERWER_PID" 2>/dev/null || true; fi
  WINEPREFIX="$PREFIKS/wine" wineserver -k 2>/dev/null || true
  rm -rf "$PREFIKS"
}
trap sprzatanie EXIT
mkdir -p "$PREFIKS/home" "$PREFIKS/wine"
export WINEPREFIX="$PREFIKS/wine"
export HOME="$PREFIKS/home"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export WINEDEBUG=-all
export WINEARCH=win64
# Wine stores file names in the locale's character set: without a UTF-8
# locale, names with Polish letters cannot be created at all.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

echo "== Wine prefix"
t=$(sekundy)
# One wineserver, kept up for all the programs. The prefix's own services
# start with wineboot and keep the streams they were started with: those must
# be a file, not the pipe of a test runner, or the runner waits on them.
wineserver -p
wineboot -i >"$PREFIKS/wineboot.log" 2>&1 || { cat "$PREFIKS/wineboot.log" >&2; exit 1; }
echo "wineboot: $(ile "$t") s"

# The fault-injecting server runs outside Wine; the tests find it by address.
python3 tests/support/serwer_awarii.py >"$PREFIKS/port" &
SERWER_PID=$!
for _ in $(seq 100); do [ -s "$PREFIKS/port" ] && break; sleep 0.1; done
[ -s "$PREFIKS/port" ] || { echo "the test server did not start" >&2; exit 1; }
export KV_SERWER_AWARII="127.0.0.1:$(head -n1 "$PREFIKS/port")"

echo "== tests under Wine"
t=$(sekundy)
(cd "$WINDOWS" && ctest --output-on-failure -j"$ROWNOLEGLE")
echo "tests under Wine: $(ile "$t") s"

echo "== the two link writers compared"
t=$(sekundy)
NATYWNA=$BUDOWA/windows-natywna
if [ -f "$BUDOWA/native/CMakeCache.txt" ]; then NATYWNA=$BUDOWA/native; fi
if [ ! -f "$NATYWNA/CMakeCache.txt" ]; then
  cmake -S . -B "$NATYWNA" -DKV_BUILD_UI=OFF >/dev/null
fi
cmake --build "$NATYWNA" -j"$ROWNOLEGLE" --target kv_lnk_posix
bash tests/win32/krzyzowe.sh "$NATYWNA/tests/kv_lnk_posix" "$WINDOWS/tests/kv_lnk_com.exe"
echo "link writers compared: $(ile "$t") s"
