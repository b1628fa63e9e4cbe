#!/usr/bin/env bash
# Builds the demonstration program file and the updater with the MinGW cross
# compiler: real Windows programs that show one message box.
#   scripts/demo.sh OUTDIR [MiB]
# OUTDIR/_Kavrostel.exe is the program padded with an overlay to MiB mebibytes
# (48 by default), so that a rate-limited download is seen in progress;
# OUTDIR/_Aktualizacja.exe is the updater. Both are rebuilt only when older
# than their sources or when the size changes.
set -euo pipefail

ZRODLA="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/demo"
CEL="${1:?usage: demo.sh OUTDIR [MiB]}"
MIB="${2:-48}"
CXX="${MINGW_CXX:-x86_64-w64-mingw32-g++}"
mkdir -p "$CEL"

zbuduj() {  # source, target
  if [ ! -f "$2" ] || [ "$1" -nt "$2" ]; then
    "$CXX" -std=c++20 -Os -municode -mwindows -static -s -o "$2.tmp" "$1"
    mv "$2.tmp" "$2"
  fi
}

zbuduj "$ZRODLA/aktualizacja.cpp" "$CEL/_Aktualizacja.exe"
zbuduj "$ZRODLA/kavrostel_demo.cpp" "$CEL/kavrostel_demo.exe"

program="$CEL/_Kavrostel.exe"
rozmiar=$((MIB * 1024 * 1024))
if [ ! -f "$program" ] || [ "$CEL/kavrostel_demo.exe" -nt "$program" ] \
   || [ "$(stat -c %s "$program")" -ne "$rozmiar" ]; then
  # A fixed pseudo-random overlay: the same file on every build, and no
  # repeating pattern that could hide a misplaced piece of the download.
  python3 - "$CEL/kavrostel_demo.exe" "$program.tmp" "$rozmiar" <<'PY'
import random, sys
zrodlo, cel, rozmiar = sys.argv[1], sys.argv[2], int(sys.argv[3])
program = open(zrodlo, "rb").read()
if len(program) > rozmiar:
    sys.exit(f"the program ({len(program)} bytes) is larger than {rozmiar}")
los = random.Random(8)
with open(cel, "wb") as f:
    f.write(program)
    reszta = rozmiar - len(program)
    while reszta:
        n = min(reszta, 1 << 20)
        f.write(los.randbytes(n))
        reszta -= n
PY
  mv "$program.tmp" "$program"
fi
echo "$program"
