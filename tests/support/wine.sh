# Shell helpers for running the Windows build under Wine, on an X server of
# its own (tests/support/xvfb.sh) or without one. Source it; it sets nothing
# by itself.
#
# What Wine 8.0 on Debian 12 needs, learnt the hard way:
# - a prefix of its own per run, with HOME inside it, so that Wine links no
#   folder of the real home and writes no menu entries anywhere;
# - the fonts of fonts-wine copied into the prefix's Fonts folder after
#   wineboot: Wine 8.0 does not find them where Debian puts them (Tahoma,
#   the bitmap "MS Sans Serif"); fonts-liberation gives Arial's metrics;
# - no window manager on Xvfb: Wine must manage its windows itself
#   ("Managed"="N"), or it waits two seconds for a manager that never
#   answers each time a window is hidden or destroyed;
# - xdotool's keys reach a Wine window only when the pointer is over it or
#   after `xdotool windowfocus`; Wine names each X window after its Win32
#   title, so `xdotool search --name TITLE` finds it (okno_o_tytule of
#   tests/support/sterowanie.sh).

# wine_prefiks FOLDER
# Makes a fresh 64-bit prefix in FOLDER/wine with HOME in FOLDER/home and
# exports what every Wine program of the run needs. One wineserver stays up
# for the whole run (wine_zakoncz ends it). The prefix's own services keep
# the output streams they were started with: a file, not a test runner's
# pipe, or the runner waits on them. On failure prints why and returns 1.
wine_prefiks() {
  local folder=$1
  mkdir -p "$folder/home" "$folder/wine"
  export WINEPREFIX="$folder/wine"
  export HOME="$folder/home"
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
  export WINEDEBUG=-all
  export WINEARCH=win64
  # Wine stores file names in the locale's character set: without a UTF-8
  # locale, names with Polish letters cannot be created at all.
  export LC_ALL=C.UTF-8
  unset WAYLAND_DISPLAY
  # A wineserver is found by the device and inode of its prefix. One left
  # running by a killed run, for a prefix since removed, holds the lock of
  # any new folder that gets the same inode, and a new server then ends
  # with status 2 and no word (WINEDEBUG=-all). That server serves nothing
  # that still exists: it is ended, and the start tried once more.
  local stan=0
  wineserver -p || stan=$?
  if [ "$stan" -ne 0 ]; then
    echo "wineserver -p ended with status $stan for $WINEPREFIX: ending the server that holds its lock, then once more" >&2
    wineserver -k 2>/dev/null || true
    sleep 1
    wineserver -p || { echo "wineserver would not start for $WINEPREFIX" >&2; return 1; }
  fi
  if ! wineboot -i >"$folder/wineboot.log" 2>&1; then
    cat "$folder/wineboot.log" >&2
    return 1
  fi
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # Kept by the wineserver, which every later program of the run asks.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$folder/wineboot.log" 2>&1
}

# wine_zakoncz
# Ends the run's wineserver and every Wine program still running in the prefix.
wine_zakoncz() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}

# wine_fokus WINDOW
# Gives the keyboard to a Wine window on a display without a window manager:
# the pointer is put over it and the X focus set to it.
wine_fokus() {
  local w=$1 X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  xdotool windowfocus "$w" 2>/dev/null || true
  sleep 0.1
}
