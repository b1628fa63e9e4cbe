#!/usr/bin/env bash
# Compares the two link writers:
#  1. a link written by the POSIX writer is loaded by Wine's IShellLinkW,
#     and every field read back equals what was written;
#  2. a link written through the shell's COM object is parsed by lnkinfo,
#     an independent reader, with the same fields.
# usage: krzyzowe.sh <kv_lnk_posix> <kv_lnk_com.exe>
# Uses the Wine prefix of $WINEPREFIX when set, otherwise makes its own.
set -euo pipefail
POSIX=$(realpath "$1")
COM=$(realpath "$2")
for program in wine lnkinfo od; do
  command -v "$program" >/dev/null || { echo "missing: $program" >&2; exit 1; }
done

ROBOCZY=$(mktemp -d "${TMPDIR:-/tmp}/kv-krzyzowe.XXXXXX")
WLASNY_PREFIKS=0
if [ -z "${WINEPREFIX:-}" ]; then
  WLASNY_PREFIKS=1
  export WINEPREFIX=$ROBOCZY/wine HOME=$ROBOCZY/home
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" WINEDEBUG=-all
  mkdir -p "$HOME" "$WINEPREFIX"
  # A server kept up, and the prefix's services started with their streams
  # on a file: otherwise each program below would start them anew, holding
  # the pipe its output is read through.
  wineserver -p
  wineboot -i >"$ROBOCZY/wineboot.log" 2>&1
fi
koniec() {
  if [ "$WLASNY_PREFIKS" = 1 ]; then wineserver -k 2>/dev/null || true; fi
  rm -rf "$ROBOCZY"
}
trap koniec EXIT
export LC_ALL=C.UTF-8

FOLDER_WINE=$WINEPREFIX/drive_c/kv-krzyzowe
mkdir -p "$FOLDER_WINE"
naWindows() { local s=$1; echo "Z:${s//\//\\}"; }

bledy=0
przypadki=0

# The fields of a link in the tools' format, in their order. Wine stores the
# target path in the legacy code page only, so the targets stay ASCII here;
# the other texts are stored as UTF-16 and carry Polish letters.
przypadek() {  # name, then the eight lines
  local nazwa=$1; shift
  printf '%s\n' "$@" >"$ROBOCZY/$nazwa.pola"
}
przypadek instalator \
  'Path=C:\KV-Tek\Kavrostel8\_Kavrostel.exe' \
  'WorkingDirectory=C:\KV-Tek\Kavrostel8' \
  'Arguments=' \
  'Description=Skrót do programu Vestra _Kavrostel 8.0' \
  'ShowCmd=1' \
  'IconLocation=' \
  'IconIndex=0' \
  'Hotkey=0x064B'
przypadek wszystkie \
  'Path=D:\Program Files\Kavrostel\bin\Kavrostel.exe' \
  'WorkingDirectory=D:\Dane użytkownika\Żółć' \
  'Arguments=/tryb "demo ąęśćź" -x' \
  'Description=Opis z polskimi literami: zażółć gęślą jaźń' \
  'ShowCmd=1' \
  'IconLocation=C:\KV-Tek\Kavrostel8\ikony.dll' \
  'IconIndex=7' \
  'Hotkey=0x0651'
przypadek zminimalizowany \
  'Path=C:\KV-Tek\Kavrostel8\_Aktualizacja.exe' \
  'WorkingDirectory=C:\KV-Tek\Kavrostel8\' \
  'Arguments=--aktualizuj' \
  'Description=' \
  'ShowCmd=7' \
  'IconLocation=' \
  'IconIndex=0' \
  'Hotkey=0x0000'

pole() { sed -n "s/^$2=//p" "$1"; }
# lnkinfo's value of one field ("Local path"), trimmed.
polelnk() { sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" "$1" | head -n1; }
# ShowCmd and HotKey from the link header (offsets 0x3C and 0x40): this
# lnkinfo version prints 0 for both whatever the file holds.
naglowek() { od -An -t u"$3" -j "$2" -N "$3" "$1" | tr -d ' '; }

porownaj() {  # what, expected, actual
  if [ "$2" != "$3" ]; then
    echo "  DIFFERS $1: expected [$2], got [$3]"
    bledy=$((bledy + 1))
  fi
}

for pola in "$ROBOCZY"/*.pola; do
  nazwa=$(basename "$pola" .pola)
  echo "-- $nazwa"

  # 1. POSIX writer -> Wine's IShellLinkW.
  przypadki=$((przypadki + 1))
  "$POSIX" "$pola" "C:\\kv-krzyzowe\\$nazwa-posix.lnk"
  [ -s "$FOLDER_WINE/$nazwa-posix.lnk" ] || { echo "  the POSIX writer wrote no file"; bledy=$((bledy + 1)); continue; }
  wine "$COM" czytaj "C:\\kv-krzyzowe\\$nazwa-posix.lnk" | tr -d '\r' >"$ROBOCZY/$nazwa-wine.pola"
  for klucz in Path WorkingDirectory Arguments Description IconLocation IconIndex Hotkey; do
    porownaj "POSIX->Wine $klucz" "$(pole "$pola" $klucz)" "$(pole "$ROBOCZY/$nazwa-wine.pola" $klucz)"
  done
  # Wine's IShellLinkW reports show command 1 for every loaded link, so the
  # value is checked in the file itself.
  porownaj "POSIX file ShowCmd" "$(pole "$pola" ShowCmd)" "$(naglowek "$FOLDER_WINE/$nazwa-posix.lnk" 60 4)"

  # 2. COM writer -> lnkinfo.
  przypadki=$((przypadki + 1))
  wine "$COM" zapisz "$(naWindows "$pola")" "C:\\kv-krzyzowe\\$nazwa-com.lnk"
  plik=$FOLDER_WINE/$nazwa-com.lnk
  [ -s "$plik" ] || { echo "  the COM writer wrote no file"; bledy=$((bledy + 1)); continue; }
  lnkinfo "$plik" >"$ROBOCZY/$nazwa-com.lnkinfo"
  info=$ROBOCZY/$nazwa-com.lnkinfo
  porownaj "COM->lnkinfo Path" "$(pole "$pola" Path)" "$(polelnk "$info" 'Local path')"
  porownaj "COM->lnkinfo WorkingDirectory" "$(pole "$pola" WorkingDirectory)" "$(polelnk "$info" 'Working directory')"
  porownaj "COM->lnkinfo Arguments" "$(pole "$pola" Arguments)" "$(polelnk "$info" 'Command line arguments')"
  porownaj "COM->lnkinfo Description" "$(pole "$pola" Description)" "$(polelnk "$info" 'Description')"
  porownaj "COM->lnkinfo IconLocation" "$(pole "$pola" IconLocation)" "$(polelnk "$info" 'Icon location')"
  porownaj "COM->lnkinfo IconIndex" "$(pole "$pola" IconIndex)" "$(polelnk "$info" 'Icon index')"
  porownaj "COM file ShowCmd" "$(pole "$pola" ShowCmd)" "$(naglowek "$plik" 60 4)"
  porownaj "COM file Hotkey" "$(($(pole "$pola" Hotkey)))" "$(naglowek "$plik" 64 2)"
done

echo "link writers: $przypadki comparisons, $bledy differences"
if [ "$bledy" -ne 0 ]; then
  echo "0 passed, 1 failed"
  exit 1
fi
