# Shell helpers for the scripts that drive the installer under an X server of
# their own. Source it; it sets nothing by itself.

# xvfb_uruchom LOG NUMBER...
# Starts Xvfb (1280x800, or the WIDTHxHEIGHTxDEPTH in KV_EKRAN) on the first of the display NUMBERs that is free,
# waits until it answers, exports DISPLAY and sets pid_x. On failure prints
# why on stderr and returns 1.
xvfb_uruchom() {
  local dziennik=$1 n ekran=""
  shift
  for n in "$@"; do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then ekran=$n; break; fi
  done
  [ -n "$ekran" ] || { echo "no free X display number for Xvfb" >&2; return 1; }
  # -noreset: by default the server resets when its last client leaves, and
  # refuses connections meanwhile; the probe below would cause such a reset.
  Xvfb ":$ekran" -screen 0 "${KV_EKRAN:-1280x800x24}" -nolisten tcp -noreset >"$dziennik" 2>&1 &
  pid_x=$!
  export DISPLAY=":$ekran"
  # The answer must come from our server: one that is still going away on the
  # same number would answer once and then vanish.
  for _ in $(seq 1 100); do
    kill -0 "$pid_x" 2>/dev/null || break
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY: $(cat "$dziennik")" >&2
  return 1
}

# xvfb_zatrzymaj
# Ends the server started by xvfb_uruchom and waits for it to go, so that a
# run right after this one does not meet it still holding the display number.
xvfb_zatrzymaj() {
  if [ -n "${pid_x:-}" ]; then
    kill "$pid_x" 2>/dev/null || true
    wait "$pid_x" 2>/dev/null || true
    pid_x=""
  fi
}

# okno_instalatora PID LOG
# Waits up to 10 s for the installer's 730x360 main window, then sets L and T
# to its top-left corner on the screen. On failure (no window, or the
# installer ended; LOG is its output) prints why on stderr and returns 1.
okno_instalatora() {
  local pid=$1 dziennik=$2 okno="" w
  for _ in $(seq 1 200); do
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
      if xdotool getwindowgeometry "$w" | grep -q "Geometry: 730x360"; then okno=$w; fi
    done
    [ -n "$okno" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "the installer ended at start-up: $(cat "$dziennik")" >&2; return 1; }
    sleep 0.05
  done
  [ -n "$okno" ] || { echo "no 730x360 window of the installer" >&2; return 1; }
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$okno")"
  L=$X
  T=$Y
  echo "window at $L,$T"
}
