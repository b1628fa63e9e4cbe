#!/usr/bin/env bash
# The agreement presentation with the real pointer: starts the installer on
# an X server of its own (no window manager), lets the presentation run and
# checks that the pointer has glided from the screen's corner onto the list
# and then into the acceptance group, 58 px right of and 318 px below the
# window's top-left corner; then drags the window by its title strip with the
# real mouse. Screenshots while the title is typed, at the end and after the
# drag go to OUT_DIR.
#
#   tests/prezentacja/xvfb_prezentacja.sh INSTALATOR OUT_DIR
set -euo pipefail

INSTALATOR=$(realpath "$1")
WYNIKI=$2
mkdir -p "$WYNIKI"
WYNIKI=$(realpath "$WYNIKI")

blad() { echo "PRESENTATION FAILURE: $*" >&2; exit 1; }
. "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../support/sterowanie.sh"

wymagaj Xvfb xdotool xdpyinfo import
przebieg kv-prezentacja

xvfb_uruchom "$tmp/xvfb.log" ${KV_PREZENTACJA_EKRAN:-} 12 $(seq 120 129) || blad "no X server of our own"

# A drive C: with the user's folders, as Wine lays them out.
prefiks_bez_wine "$tmp/wine"

xdotool mousemove 0 0
"$INSTALATOR" >"$WYNIKI/instalator.log" 2>&1 &
pid_inst=$!

okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" || blad "the installer's window"

# The first glide ends on the list; the title is typed right after it.
czekaj_na_wskaznik 50 72 10 "no glide onto the list"
sleep 0.15
import -window root "$WYNIKI/tytul.png"
# Half-way through the 14 lines that follow it one by one.
sleep 0.5
import -window root "$WYNIKI/wiersze.png"

czekaj_na_wskaznik 58 318 10 "no glide into the acceptance group"
# The pointer stays there: the glide has ended, nothing moves it on.
sleep 0.5
polozenie=$(xdotool getmouselocation)
echo "pointer: $polozenie"
echo "$polozenie" | grep -q "^x:$((L + 58)) y:$((T + 318)) " || blad "the pointer moved on to $polozenie"
import -window root "$WYNIKI/koniec.png"
kill -0 "$pid_inst" 2>/dev/null || blad "the installer ended: $(cat "$WYNIKI/instalator.log")"

# The window drag on the title strip: a left press moves the borderless
# window with the mouse until the release (without a window manager the
# installer follows the mouse itself); a right press moves nothing.
polozenie_okna() { okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" >/dev/null && echo "$L,$T"; }
x0=$L
y0=$T
xdotool mousemove $((x0 + 400)) $((y0 + 12)) mousedown 3 mousemove $((x0 + 440)) $((y0 + 42)) mouseup 3
sleep 0.3
[ "$(polozenie_okna)" = "$x0,$y0" ] || blad "a right press moved the window to $(polozenie_okna)"
xdotool mousemove $((x0 + 400)) $((y0 + 12)) mousedown 1
for k in 1 2 3 4; do
  xdotool mousemove $((x0 + 400 + 10 * k)) $((y0 + 12 + 5 * k))
  sleep 0.05
done
xdotool mouseup 1
sleep 0.3
[ "$(polozenie_okna)" = "$((x0 + 40)),$((y0 + 20))" ] ||
  blad "the drag left the window at $(polozenie_okna), not $((x0 + 40)),$((y0 + 20))"
# After the release the window stays where it is.
xdotool mousemove $((x0 + 600)) $((y0 + 200))
sleep 0.2
[ "$(polozenie_okna)" = "$((x0 + 40)),$((y0 + 20))" ] || blad "the window moved on after the release"
import -window root "$WYNIKI/przeciagniete.png"
echo "window dragged from $x0,$y0 to $((x0 + 40)),$((y0 + 20))"
echo "screenshots: $WYNIKI/tytul.png $WYNIKI/wiersze.png $WYNIKI/koniec.png $WYNIKI/przeciagniete.png"
echo "presentation under Xvfb: OK"
