#!/usr/bin/env bash
# The Windows build at 96, 120, 144 and 192 dpi under Wine (the prefix's
# LogPixels, on a screen large enough for the window at 200 %): the window
# test skala_win32_test.exe checks every control's rectangle, the captions
# and the glides at each scale, and the real instalator.exe is photographed
# at each scale once its presentation has ended (RESULTS_DIR/skala_DPI.png,
# the window alone in skala_DPI_okno.png) and on the installation page after
# a click on "Akceptuję" at its scaled place (skala_DPI_instalacja.png), with
# the notice it shows on the way (skala_DPI_komunikat_okno.png, its text read
# back); the windows and both glides' ends are measured from outside with
# xdotool.
#
#   skala_win32_test.sh INSTALATOR SKALA_TEST_EXE SOURCE_DIR RESULTS_DIR
set -euo pipefail
INSTALATOR=$(realpath "$1")
TEST=$(realpath "$2")
ZRODLA=$(realpath "$3")
WYNIKI=$4
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")
blad() { echo "FAIL: $*" >&2; exit 1; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/wine.sh"
. "$ZRODLA/tests/support/sterowanie.sh"
wymagaj Xvfb xdotool import convert tesseract wine
FOKUS=wine_fokus
przebieg kv-skala-win "" wine_zakoncz
KV_EKRAN=2000x1000x24 xvfb_uruchom "$tmp/xvfb.log" $(seq 260 269) || blad "no X server of our own"
wine_prefiks "$tmp" || blad "wineboot"
# The folder of earlier installations: the acceptance shows its notice.
mkdir -p "$WINEPREFIX/drive_c/Orveliane/Vestra"

for dpi in 96 120 144 192; do
  echo "== $dpi dpi"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  # Every new process reads the dpi when it starts.
  KV_DPI=$dpi wine "$TEST" || blad "the window test at $dpi dpi"

  (cd "$(dirname "$INSTALATOR")" && exec wine "$INSTALATOR") >"$WYNIKI/instalator_$dpi.log" 2>&1 &
  pid_inst=$!
  okno=$(okno_o_tytule "Warunki licencji" 30) || blad "no window titled \"Warunki licencji\" at $dpi dpi"
  eval "$(xdotool getwindowgeometry --shell "$okno" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  L=$X
  T=$Y
  oczekiwana() { echo $((($1 * dpi + 48) / 96)); }
  [ "$WIDTH" -eq "$(oczekiwana 730)" ] && [ "$HEIGHT" -eq "$(oczekiwana 360)" ] ||
    blad "the window is ${WIDTH}x$HEIGHT at $dpi dpi, not $(oczekiwana 730)x$(oczekiwana 360)"
  czekaj_na_wskaznik "$(oczekiwana 58)" "$(oczekiwana 318)" 60 "the presentation's glide did not end scaled at $dpi dpi"
  sleep 0.5
  zdjecie "skala_$dpi"
  import -window root -crop "${WIDTH}x${HEIGHT}+${L}+${T}" +repage "$WYNIKI/skala_${dpi}_okno.png"
  # "Akceptuję" at its scaled place; the page follows with the notice about
  # the earlier default folder, the box of its design scaled; then the
  # pointer glides on.
  kliknij "$(oczekiwana 50)" "$(oczekiwana 308)"
  box=$(okno_o_tytule "Uwaga!" 30) || blad "no notice at $dpi dpi"
  geometria=$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: //p')
  # Its two lines are as high as the font's line at the scale, which the
  # stand-in face rounds to a whole pixel: each may take one design pixel
  # more than 20.
  szer=${geometria%x*}
  wys=${geometria#*x}
  [ "$szer" -eq "$(oczekiwana 471)" ] && [ "$wys" -ge "$(oczekiwana 109)" ] && [ "$wys" -le "$(oczekiwana 111)" ] ||
    blad "the notice is $geometria at $dpi dpi, not $(oczekiwana 471) wide and $(oczekiwana 109) to $(oczekiwana 111) high"
  echo "notice ${geometria} at $dpi dpi"
  zamknij_okno "Uwaga!" "skala_${dpi}_komunikat" "Zmiana domy" "KV-Tek"
  czekaj_na_wskaznik "$(oczekiwana 64)" "$(oczekiwana 162)" 30 "no scaled glide to the program's name at $dpi dpi"
  sleep 0.5
  import -window root -crop "${WIDTH}x${HEIGHT}+${L}+${T}" +repage "$WYNIKI/skala_${dpi}_instalacja.png"
  echo "window ${WIDTH}x$HEIGHT at $dpi dpi"
  kill "$pid_inst" 2>/dev/null || true
  wait "$pid_inst" 2>/dev/null || true
  pid_inst=""
done
echo "laid out, measured and photographed at 96, 120, 144 and 192 dpi"
