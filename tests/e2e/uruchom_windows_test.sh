#!/usr/bin/env bash
# The README's run command, `bash scripts/uruchom.sh --windows`, as a new user
# meets it: no display, no Wine prefix, a home folder of its own (a fresh
# temporary one). It must reach the licence page the first time, install
# with the desktop shortcut inside its own prefix (a real Desktop folder,
# not a link into the home folder), end the installer and the server on
# Ctrl+C (SIGINT to the whole process group, as a terminal sends it) and, in
# a second run, on a TERM signal to the command alone, with the port free
# afterwards, and leave nothing in the home folder once ~/.kavrostel-demo is
# removed.
#
#   uruchom_windows_test.sh SOURCE_DIR BUILD_DIR RESULTS_DIR [--linux]
#
# BUILD_DIR is the Windows cross build (its KAVROSTEL_SERVER_URL gives the
# port). Screenshots go to RESULTS_DIR. With --linux the same road is taken
# with the Linux build (BUILD_DIR a native build with the Qt program).
set -euo pipefail
ZRODLA=$1
BUDOWA=$2
WYNIKI=$3
TRYB=(--windows)
[ "${4:-}" = "--linux" ] && TRYB=()
mkdir -p "$WYNIKI"
. "$ZRODLA/tests/support/sterowanie.sh"

blad() {
  echo "FAIL: $*" >&2
  # What the screen showed when it failed, and which windows were open.
  if [ -n "${DISPLAY:-}" ]; then
    import -window root "$WYNIKI/uruchom_blad.png" 2>/dev/null && echo "screenshot $WYNIKI/uruchom_blad.png" >&2
    for w in $(xdotool search --name '.' 2>/dev/null); do
      echo "  window: $(xdotool getwindowname "$w" 2>/dev/null)" >&2
    done
  fi
  [ -f "${dziennik:-}" ] && sed 's/^/  uruchom.sh: /' "$dziennik" | tail -n 40 >&2
  exit 1
}
wymagaj xdotool import Xvfb wine

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kv-uruchom.XXXXXX")
dom="$tmp/dom"
mkdir -p "$dom"
dziennik="$tmp/uruchom.log"
pid_polecenia=""
sprzataj_test() {
  if [ -n "$pid_polecenia" ] && kill -0 "$pid_polecenia" 2>/dev/null; then
    kill -TERM -- "-$pid_polecenia" 2>/dev/null || true
    sleep 2
  fi
  WINEPREFIX="$dom/.kavrostel-demo/wine" wineserver -k 2>/dev/null || true
  rm -rf "$tmp"
}
trap sprzataj_test EXIT

adres_url=$(sed -n 's/^KAVROSTEL_SERVER_URL:[A-Z]*=//p' "$BUDOWA/CMakeCache.txt")
hostport=${adres_url#http://}
hostport=${hostport%/}
port_wolny() { ! (exec 3<>"/dev/tcp/${hostport%:*}/${hostport##*:}") 2>/dev/null; }
port_wolny || blad "something already listens on $hostport"
drzewa_przed=$(ls -d "${TMPDIR:-/tmp}"/kavrostel-drzewo.* 2>/dev/null | sort || true)

# uruchom
# Starts the command in a new process group, as a terminal gives a command,
# so that Ctrl+C can be sent to all of it, and waits until it has started the
# installer: sets pid_polecenia, pid_inst and DISPLAY. A command started in
# the background of a script would ignore SIGINT for good (a shell cannot
# trap a signal ignored at its start): it gets the default back, as a
# terminal's foreground command has it.
uruchom() {
  : >"$dziennik"
  env -u DISPLAY -u WINEPREFIX -u XAUTHORITY HOME="$dom" KV_BUDOWA="$BUDOWA" KV_LIMIT=32m \
    python3 -c 'import os, signal, sys; os.setsid(); signal.signal(signal.SIGINT, signal.SIG_DFL); os.execvp(sys.argv[1], sys.argv[1:])' \
    bash "$ZRODLA/scripts/uruchom.sh" "${TRYB[@]}" >"$dziennik" 2>&1 &
  pid_polecenia=$!
  for _ in $(seq 1 1800); do
    grep -q '^installer: process' "$dziennik" && break
    kill -0 "$pid_polecenia" 2>/dev/null || blad "uruchom.sh ended before starting the installer"
    sleep 0.1
  done
  grep -q '^installer: process' "$dziennik" || blad "uruchom.sh did not start the installer within 180 s"
  pid_inst=$(sed -n 's/^installer: process //p' "$dziennik")
  DISPLAY=$(sed -n 's/^== installer under Xvfb on \(:[0-9]*\).*/\1/p' "$dziennik")
  [ -n "$DISPLAY" ] || blad "uruchom.sh did not start Xvfb with no display"
  export DISPLAY
}

# zatrzymany SIGNAL STATUS
# After SIGNAL the command ends within 20 s with STATUS, and neither the
# installer, nor the server, nor the display, nor the served tree is left.
zatrzymany() {
  local status=0 drzewa_po nowe
  for _ in $(seq 1 200); do kill -0 "$pid_polecenia" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid_polecenia" 2>/dev/null && blad "uruchom.sh still runs 20 s after $1"
  wait "$pid_polecenia" || status=$?
  pid_polecenia=""
  [ "$status" -eq "$2" ] || blad "uruchom.sh ended with status $status after $1, not $2"
  kill -0 "$pid_inst" 2>/dev/null && blad "the installer (process $pid_inst) still runs after $1"
  port_wolny || blad "the server still listens on $hostport after $1"
  [ ! -e "/tmp/.X${DISPLAY#:}-lock" ] || blad "Xvfb still holds $DISPLAY after $1"
  drzewa_po=$(ls -d "${TMPDIR:-/tmp}"/kavrostel-drzewo.* 2>/dev/null | sort || true)
  nowe=$(comm -13 <(echo "$drzewa_przed") <(echo "$drzewa_po"))
  [ -z "$nowe" ] || blad "the served tree was left behind after $1: $nowe"
  echo "$1: the installer, the server and the display stopped, the port is free"
}

uruchom
okno=$(okno_o_tytule "Warunki licencji" 60) || blad "no licence page on $DISPLAY"
eval "$(xdotool getwindowgeometry --shell "$okno" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
L=$X
T=$Y
[ "$WIDTH" = 730 ] && [ "$HEIGHT" = 360 ] || blad "the window is ${WIDTH}x$HEIGHT"
# The presentation ends with the pointer on the acceptance group.
czekaj_na_wskaznik 58 318 60 "the presentation did not end"
sleep 0.5
zdjecie uruchom_licencja

profil="$dom/.kavrostel-demo/wine/drive_c/users/$(id -un)"
PULPIT="$profil/Desktop"
PROGRAMY="$profil/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
for folder in "$PULPIT" "$PROGRAMY"; do
  [ -d "$folder" ] && [ ! -L "$folder" ] || blad "$folder is not a real folder: $(ls -ld "$folder")"
done

# "Akceptuję", then "Instaluj" once the pointer has glided to the program.
kliknij 50 308
czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
# The glide's last step may still be on its way to the window: a click sent
# at once can be overtaken by it and land on the program choice instead.
sleep 0.5
kliknij 345 338
SKROT="$PULPIT/_Kavrostel 8.lnk"
czekaj_na 90 "the desktop shortcut" test -f "$SKROT"
sleep 1
zdjecie uruchom_koniec
[ -f "$dom/.kavrostel-demo/wine/drive_c/KV-Tek/Kavrostel8/_Kavrostel.exe" ] || blad "no program installed"
inne=$(cd "$dom" && find . -mindepth 1 -maxdepth 1 ! -name .kavrostel-demo | sort | tr '\n' ' ')
[ -z "$inne" ] || blad "the home folder holds more than .kavrostel-demo: $inne"

# Ctrl+C: SIGINT to the whole process group.
kill -INT -- "-$pid_polecenia"
zatrzymany SIGINT 130

# Again in the same prefix, ended by a TERM signal to the command alone.
uruchom
okno_o_tytule "Warunki licencji" 60 >/dev/null || blad "no licence page on the second run"
kill -TERM "$pid_polecenia"
zatrzymany SIGTERM 143

WINEPREFIX="$dom/.kavrostel-demo/wine" wineserver -k 2>/dev/null || true
sleep 1
rm -rf "$dom/.kavrostel-demo"
zostalo=$(cd "$dom" && find . -mindepth 1 | sort | tr '\n' ' ')
[ -z "$zostalo" ] || blad "after rm -rf ~/.kavrostel-demo the home folder still holds: $zostalo"
echo "uruchom.sh ${TRYB[*]}: licence page reached, installed inside its prefix, stopped by SIGINT and SIGTERM, nothing left"
