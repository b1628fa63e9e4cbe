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

echo "== native build"
cmake -S . -B "$BUDOWA/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUDOWA/native" -j"$ROWNOLEGLE"
(cd "$BUDOWA/native" && ctest --output-on-failure -j"$ROWNOLEGLE")

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
