#!/usr/bin/env bash
# The Windows build (the engine, the platform layer, the control model, the
# forms, the Win32 backend and instalator.exe), cross-compiled with MinGW-w64
# and tested under Wine on a virtual display of its own (Xvfb): every
# GoogleTest program of tests/platform, tests/engine, tests/formularze (the
# forms over the recording backend), tests/win32 and tests/win32/okna (the
# Win32 backend), then the comparison of the two link writers. Fails on any
# failed test; prints the time of each step and of the whole run.
set -Eeuo pipefail
# A step that fails without a word of its own still says where it stopped.
trap 'echo "testy-windows.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
cd "$(dirname "$0")/.."
ZRODLA=$PWD
BUDOWA=${KV_BUDOWA:-$ZRODLA/build}
ROWNOLEGLE=${KV_ROWNOLEGLE:-2}
WINDOWS=$BUDOWA/windows

for program in x86_64-w64-mingw32-g++-posix wine wineboot wineserver python3 Xvfb xdotool; do
  if ! command -v "$program" >/dev/null; then
    echo "missing: $program (scripts/zaleznosci.sh installs it)" >&2
    exit 1
  fi
done

sekundy() { date +%s.%N; }
ile() { awk -v a="$1" -v b="$(sekundy)" 'BEGIN { printf "%.1f", b - a }'; }
poczatek=$(sekundy)
. tests/support/xvfb.sh
. tests/support/wine.sh

echo "== Windows cross build"
t=$(sekundy)
# Both builds trust one throw-away release key, so that one signed tree
# serves the tests of both HTTP clients: the native build's, made when it
# is configured (cmake/Klucze.cmake keeps a pair it finds in place).
NATYWNA_KLUCZE=$BUDOWA/native
[ -f "$NATYWNA_KLUCZE/CMakeCache.txt" ] || cmake -S . -B "$NATYWNA_KLUCZE" >/dev/null
if [ -f "$NATYWNA_KLUCZE/klucze/kavrostel-test.key" ]; then
  mkdir -p "$WINDOWS/klucze"
  chmod 0700 "$WINDOWS/klucze"
  cp -p "$NATYWNA_KLUCZE/klucze/kavrostel-test.key" "$NATYWNA_KLUCZE/klucze/kavrostel-test.pem" "$WINDOWS/klucze/"
fi
# ccache, where there is one, with paths taken relative to the sources, so
# that the https:// build below finds the same objects in its cache.
przyspieszenie=()
if command -v ccache >/dev/null; then przyspieszenie=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
export CCACHE_BASEDIR=$ZRODLA
cmake -S . -B "$WINDOWS" -DCMAKE_TOOLCHAIN_FILE="$ZRODLA/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_UI=ON "${przyspieszenie[@]}" >/dev/null
cmake --build "$WINDOWS" -j"$ROWNOLEGLE"
echo "cross build: $(ile "$t") s"

# A Wine prefix of its own, thrown away at the end, on a display of its own.
PREFIKS=$(mktemp -d "${TMPDIR:-/tmp}/kv-wine.XXXXXX")
SERWER_PID=""
pid_x=""
sprzatanie() {
  if [ -n "$SERWER_PID" ]; then kill "$SERWER_PID" 2>/dev/null || true; wait "$SERWER_PID" 2>/dev/null || true; fi
  wine_zakoncz
  xvfb_zatrzymaj
  rm -rf "$PREFIKS"
}
trap sprzatanie EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
xvfb_uruchom "$PREFIKS/xvfb.log" $(seq 170 189)

echo "== Wine prefix"
t=$(sekundy)
wine_prefiks "$PREFIKS"
echo "wineboot and fonts: $(ile "$t") s"

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

echo "== the installer end to end under Wine"
t=$(sekundy)
# The real instalator.exe against the server kit, in a prefix and on a
# display of its own; beside the Linux build's screenshots when that build's
# end-to-end test has run (scripts/testy.sh runs it first).
adres_url=$(sed -n 's/^KAVROSTEL_SERVER_URL:[A-Z]*=//p' "$WINDOWS/CMakeCache.txt")
linux_e2e=()
[ -d "$BUDOWA/native/e2e" ] && linux_e2e=("$BUDOWA/native/e2e")
bash tests/e2e/instalacja_win32_e2e.sh "$WINDOWS/app/instalator.exe" "$ZRODLA" "$WINDOWS/e2e" "$adres_url" \
  "${linux_e2e[@]}"
echo "end to end under Wine: $(ile "$t") s"

echo "== the network roads of the WinHTTP client under Wine"
t=$(sekundy)
# A proxy (tinyproxy) and HTTPS with a throw-away CA, the native build's
# kv_pobierz beside the Windows one; then the installer behind a proxy set
# in the prefix's per-user settings, through its real window.
NATYWNA_SIEC=$BUDOWA/native
[ -f "$NATYWNA_SIEC/CMakeCache.txt" ] || cmake -S . -B "$NATYWNA_SIEC" >/dev/null
cmake --build "$NATYWNA_SIEC" -j"$ROWNOLEGLE" --target kv_pobierz
KV_WINDOWS="$WINDOWS" bash tests/serwer/siec_test.sh "$ZRODLA" "$NATYWNA_SIEC/tests/kv_pobierz"
bash tests/e2e/siec_win32_e2e.sh "$WINDOWS/app/instalator.exe" "$ZRODLA" "$WINDOWS/e2e-siec" "$adres_url"
echo "network roads: $(ile "$t") s"

echo "== the installer built for an https:// address, end to end under Wine"
t=$(sekundy)
# A second cross build, of what that test runs only (the installer and the
# tool that adds the test CA to the prefix), for the same host and port over
# TLS, trusting the same throw-away release key; with ccache it costs little
# more than the installer's own files, the only ones the address changes.
HTTPS=$BUDOWA/windows-https
adres_https="https://${adres_url#*://}"
if [ -f "$WINDOWS/klucze/kavrostel-test.key" ]; then
  mkdir -p "$HTTPS/klucze"
  chmod 0700 "$HTTPS/klucze"
  cp -p "$WINDOWS/klucze/kavrostel-test.key" "$WINDOWS/klucze/kavrostel-test.pem" "$HTTPS/klucze/"
fi
cmake -S . -B "$HTTPS" -DCMAKE_TOOLCHAIN_FILE="$ZRODLA/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_UI=ON -DKAVROSTEL_SERVER_URL="$adres_https" "${przyspieszenie[@]}" >/dev/null
cmake --build "$HTTPS" -j"$ROWNOLEGLE" --target instalator kv_zaufaj
echo "https build: $(ile "$t") s"
bash tests/e2e/siec_win32_e2e.sh "$HTTPS/app/instalator.exe" "$ZRODLA" "$HTTPS/e2e-siec" "$adres_https"
echo "https end to end: $(ile "$t") s"

echo "== the signed release medium"
t=$(sekundy)
bash tests/nosnik/nosnik_test.sh "$WINDOWS" "$WINDOWS/nosnik"
echo "medium: $(ile "$t") s"

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
echo "Windows build and tests: $(ile "$poczatek") s in all"
