#!/usr/bin/env bash
# The Linux build with Qt scaling its window by 2 (QT_SCALE_FACTOR=2), as on
# a high-dpi screen: the window is 1460 x 720 device pixels, and both glides
# of the presentation end at the design points doubled (116, 636 from the
# window's corner), so the pointer lands where the user sees the list and
# the acceptance group. A screenshot of the end goes to OUT_DIR/skala_2.png.
#
#   tests/prezentacja/xvfb_skala_qt.sh INSTALATOR OUT_DIR
set -euo pipefail

INSTALATOR=$(realpath "$1")
WYNIKI=$2
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")

blad() { echo "SCALED PRESENTATION FAILURE: $*" >&2; exit 1; }
. "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../support/sterowanie.sh"

wymagaj Xvfb xdotool xdpyinfo import
przebieg kv-skala-qt
KV_EKRAN=2000x1000x24 xvfb_uruchom "$tmp/xvfb.log" $(seq 130 139) || blad "no X server of our own"
prefiks_bez_wine "$tmp/wine"

xdotool mousemove 0 0
QT_SCALE_FACTOR=2 "$INSTALATOR" >"$WYNIKI/instalator_skala.log" 2>&1 &
pid_inst=$!

okno=""
for _ in $(seq 1 200); do
  for w in $(xdotool search --onlyvisible --pid "$pid_inst" 2>/dev/null); do
    if xdotool getwindowgeometry "$w" | grep -q "Geometry: 1460x720"; then okno=$w; fi
  done
  [ -n "$okno" ] && break
  kill -0 "$pid_inst" 2>/dev/null || blad "the installer ended: $(cat "$WYNIKI/instalator_skala.log")"
  sleep 0.05
done
[ -n "$okno" ] || blad "no 1460x720 window of the installer"
eval "$(xdotool getwindowgeometry --shell "$okno" | grep -E '^(X|Y)=')"
L=$X
T=$Y
czekaj_na_wskaznik 100 144 10 "no glide onto the list at twice the size"
czekaj_na_wskaznik 116 636 10 "no glide into the acceptance group at twice the size"
import -window root "$WYNIKI/skala_2.png"
echo "pointer at the doubled targets of a 1460x720 window at $L,$T; screenshot $WYNIKI/skala_2.png"
