#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the same tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows
# build of the engine under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
ZRODLA=$PWD
BUDOWA=${KV_BUDOWA:-$ZRODLA/build}
ROWNOLEGLE=${KV_ROWNOLEGLE:-2}

bash scripts/zaleznosci.sh

# ccache, where there is one, with paths taken relative to the sources, so
# that the second build for an https:// address finds the same objects.
przyspieszenie=()
if command -v ccache >/dev/null; then przyspieszenie=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
export CCACHE_BASEDIR=$ZRODLA

echo "== native build"
cmake -S . -B "$BUDOWA/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${przyspieszenie[@]}" >/dev/null
cmake --build "$BUDOWA/native" -j"$ROWNOLEGLE"
(cd "$BUDOWA/native" && ctest --output-on-failure -j"$ROWNOLEGLE")

echo "== the installer built for an https:// address, end to end"
# A second build of the installer alone, for the same host and port over
# TLS, trusting the same throw-away release key; with ccache it compiles
# only the file the address is compiled into.
HTTPS=$BUDOWA/native-https
adres_url=$(sed -n 's/^KAVROSTEL_SERVER_URL:[A-Z]*=//p' "$BUDOWA/native/CMakeCache.txt")
if [ -f "$BUDOWA/native/klucze/kavrostel-test.key" ]; then
  mkdir -p "$HTTPS/klucze"
  chmod 0700 "$HTTPS/klucze"
  cp -p "$BUDOWA/native/klucze/kavrostel-test.key" "$BUDOWA/native/klucze/kavrostel-test.pem" "$HTTPS/klucze/"
fi
cmake -S . -B "$HTTPS" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVROSTEL_SERVER_URL="https://${adres_url#*://}" \
  "${przyspieszenie[@]}" >/dev/null
cmake --build "$HTTPS" -j"$ROWNOLEGLE" --target instalator
(cd "$HTTPS" && ctest --output-on-failure -R '^siec_e2e$')

echo "== sanitizer build"
cmake -S . -B "$BUDOWA/sanit" -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON >/dev/null
cmake --build "$BUDOWA/sanit" -j"$ROWNOLEGLE"
(
  cd "$BUDOWA/sanit"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$ZRODLA/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest --output-on-failure -j"$ROWNOLEGLE"
)

if [ -f cmake/mingw-w64-x86_64.cmake ]; then
  echo "== Windows build under Wine"
  bash scripts/testy-windows.sh
fi
