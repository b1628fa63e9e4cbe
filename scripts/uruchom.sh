#!/usr/bin/env bash
# The whole demonstration: installs what is missing, builds the installer,
# packs the demonstration program for the project's own distribution server,
# starts the server (rate-limited, so that the download is seen), and starts
# the installer on your display, or under Xvfb when there is none. The server
# stops when the installer ends.
#
#   bash scripts/uruchom.sh             # the Linux build (Qt)
#   bash scripts/uruchom.sh --windows   # the Windows build, instalator.exe, under Wine
#   bash scripts/uruchom.sh --https [--windows]   # the same over HTTPS: a build for
#            https://127.0.0.1:18443/, the server with a throw-away certificate whose
#            CA only this run trusts (Linux: as root, in a private mount namespace;
#            Windows: in the Wine prefix's Root store)
#
# Environment:
#   WINEPREFIX   the Wine prefix that stands for the Windows disk
#                (default ~/.kavrostel-demo/wine, made here when missing)
#   KV_LIMIT     the server's rate limit per download (default 8m: the 48 MiB
#                program takes about six seconds)
#   KV_BUDOWA    the build folder (default build/native, or build/windows
#                with --windows)
#   KV_KLUCZ     the private key the release is signed with, KV_KLUCZ_ID its
#                keyid (default the build's throw-away klucze/kavrostel-test.key)
set -euo pipefail

KORZEN=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINDOWS=0
HTTPS=0
for opcja in "$@"; do
  case "$opcja" in
    --windows | -w) WINDOWS=1 ;;
    --https) HTTPS=1 ;;
    *) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
LIMIT=${KV_LIMIT:-8m}
URL_OPCJA=()
PRZYROSTEK=""
if [ "$HTTPS" -eq 1 ]; then
  URL_OPCJA=(-DKAVROSTEL_SERVER_URL=https://127.0.0.1:18443/)
  PRZYROSTEK=-https
fi
. "$KORZEN/tests/support/xvfb.sh"

echo "== dependencies"
bash "$KORZEN/scripts/zaleznosci.sh"

if [ "$WINDOWS" -eq 1 ]; then
  BUDOWA=${KV_BUDOWA:-$KORZEN/build/windows$PRZYROSTEK}
  echo "== Windows build ($BUDOWA)"
  cmake -S "$KORZEN" -B "$BUDOWA" -DCMAKE_TOOLCHAIN_FILE="$KORZEN/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "${URL_OPCJA[@]}" >/dev/null
  cmake --build "$BUDOWA" --target instalator $([ "$HTTPS" -eq 1 ] && echo kv_zaufaj) -j2
  INSTALATOR="$BUDOWA/app/instalator.exe"
else
  BUDOWA=${KV_BUDOWA:-$KORZEN/build/native$PRZYROSTEK}
  echo "== build ($BUDOWA)"
  cmake -S "$KORZEN" -B "$BUDOWA" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${URL_OPCJA[@]}" >/dev/null
  cmake --build "$BUDOWA" --target instalator -j2
  INSTALATOR="$BUDOWA/app/instalator"
fi

echo "== demonstration program"
bash "$KORZEN/scripts/demo.sh" "$BUDOWA/demo" 48 >/dev/null
# The installer's medium: the real updater in "Program" next to the installer.
cp "$BUDOWA/demo/_Aktualizacja.exe" "$(dirname "$INSTALATOR")/Program/_Aktualizacja.exe"
mkdir -p "$BUDOWA/wydanie"
cp "$BUDOWA/demo/_Kavrostel.exe" "$BUDOWA/wydanie/_Kavrostel.exe"
# Started as root, the server's workers run as "nobody", who must be able to
# read the tree: it then lies in a folder of its own that others may read,
# since the build folder may be in a private home.
DRZEWO="$BUDOWA/serwer/drzewo"
drzewo_tymczasowe=""
if [ "$(id -u)" -eq 0 ]; then
  drzewo_tymczasowe=$(mktemp -d "${TMPDIR:-/tmp}/kavrostel-drzewo.XXXXXX")
  chmod 0755 "$drzewo_tymczasowe"
  DRZEWO="$drzewo_tymczasowe"
fi
# The server listens where the installer was built to look.
adres_url=$(sed -n 's/^KAVROSTEL_SERVER_URL:[A-Z]*=//p' "$BUDOWA/CMakeCache.txt")
hostport=${adres_url#*://}
baza=/${hostport#*/}
hostport=${hostport%%/*}

# The release is signed with the maker's key (KV_KLUCZ, KV_KLUCZ_ID), or
# with the throw-away pair the build made when it was given no key.
KLUCZ=${KV_KLUCZ:-$BUDOWA/klucze/kavrostel-test.key}
KLUCZ_ID=${KV_KLUCZ_ID:-kavrostel-test}
[ -f "$KLUCZ" ] || { echo "No signing key: $KLUCZ (set KV_KLUCZ and KV_KLUCZ_ID to the maker's)." >&2; exit 1; }
bash "$KORZEN/server/pakuj.sh" -k "$KLUCZ" -i "$KLUCZ_ID" -b "$baza" "$BUDOWA/wydanie" "$DRZEWO" >/dev/null
if (exec 3<>"/dev/tcp/${hostport%:*}/${hostport##*:}") 2>/dev/null; then
  echo "Something already listens on $hostport, where the installer expects its server." >&2
  echo "Stop it, or build with -DKAVROSTEL_SERVER_URL=http://127.0.0.1:OTHER_PORT/ (KV_BUDOWA=...)." >&2
  exit 1
fi

# Whatever ends the command (the installer closed, Ctrl+C, a TERM signal, a
# failed step), the installer and the server stop with it and the port is
# free again. The installer runs in the background and the script waits for
# it, so that a signal is handled at once rather than after the installer ends.
pid_x=""
pid_zdjec=""
pid_instalatora=""
zakoncz() {
  trap - INT TERM EXIT
  if [ -n "$pid_instalatora" ] && kill -0 "$pid_instalatora" 2>/dev/null; then
    echo "== stopping the installer"
    kill "$pid_instalatora" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$pid_instalatora" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid_instalatora" 2>/dev/null || true
    wait "$pid_instalatora" 2>/dev/null || true
  fi
  bash "$KORZEN/server/serwer.sh" -l "$hostport" stop >/dev/null 2>&1 || true
  [ -n "$drzewo_tymczasowe" ] && rm -rf "$drzewo_tymczasowe" || true
  [ -n "$pid_zdjec" ] && kill "$pid_zdjec" 2>/dev/null || true
  xvfb_zatrzymaj
}
trap zakoncz EXIT
trap 'zakoncz; exit 130' INT
trap 'zakoncz; exit 143' TERM

# The HTTPS road: a throw-away CA and a certificate for 127.0.0.1 in the
# build folder, trusted by this run alone (below, where the installer starts).
TLS_OPCJE=()
if [[ $adres_url == https://* ]]; then
  TLS="$BUDOWA/tls"
  mkdir -p "$TLS"
  if [ ! -f "$TLS/serwer.pem" ]; then
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$TLS/ca.key" -out "$TLS/ca.pem" \
      -days 30 -subj "/CN=Kavrostel demo CA" 2>/dev/null
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$TLS/serwer.key" -out "$TLS/serwer.csr" \
      -subj "/CN=127.0.0.1" 2>/dev/null
    printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$TLS/serwer.ext"
    openssl x509 -req -in "$TLS/serwer.csr" -CA "$TLS/ca.pem" -CAkey "$TLS/ca.key" -CAcreateserial \
      -out "$TLS/serwer.pem" -days 30 -extfile "$TLS/serwer.ext" 2>/dev/null
  fi
  chmod 600 "$TLS/ca.key" "$TLS/serwer.key"
  TLS_OPCJE=(-c "$TLS/serwer.pem" -k "$TLS/serwer.key")
fi

echo "== server"
bash "$KORZEN/server/serwer.sh" -t "$DRZEWO" -l "$hostport" -r "$LIMIT" "${TLS_OPCJE[@]}" start

# The display comes first: Wine completes a new prefix on the display it
# will run on, and without one its first start fails.
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  na_xvfb=0
else
  xvfb_uruchom "$BUDOWA/xvfb.log" $(seq 90 99) || exit 1
  na_xvfb=1
  zdjecie="$BUDOWA/ekran.png"
  ( while sleep 2; do import -window root "$zdjecie.tmp.png" 2>/dev/null && mv "$zdjecie.tmp.png" "$zdjecie"; done ) &
  pid_zdjec=$!
fi

echo "== Wine prefix"
# A prefix the user names is used as it is. The command's own prefix keeps
# everything of the demonstration under ~/.kavrostel-demo: Wine's programs
# get a home folder there too, for Wine links a new prefix's Desktop and
# Documents to the home folder, and the desktop shortcut would then land in
# the real one and outlive the demonstration.
WLASNY_PREFIKS=0
if [ -z "${WINEPREFIX:-}" ]; then
  WLASNY_PREFIKS=1
  DEMO="$HOME/.kavrostel-demo"
  export WINEPREFIX="$DEMO/wine"
  [ -n "${XAUTHORITY:-}" ] || [ ! -f "$HOME/.Xauthority" ] || export XAUTHORITY="$HOME/.Xauthority"
  mkdir -p "$DEMO/home"
  export HOME="$DEMO/home"
fi
profil="$WINEPREFIX/drive_c/users/$(id -un)"
folderyProfilu=("$profil/Desktop" "$profil/AppData/Roaming/Microsoft/Windows/Start Menu/Programs")
if [ "$WINDOWS" -eq 1 ]; then
  # The Windows build runs in Wine itself: a whole prefix, with fonts-wine's
  # fonts where Wine 8.0 finds them.
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
  export WINEDEBUG=${WINEDEBUG:--all}
  # Wine stores file names in the locale's character set.
  [ "$(locale charmap 2>/dev/null)" = "UTF-8" ] || export LC_ALL=C.UTF-8
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "making the prefix on $DISPLAY (wineboot, up to a minute)"
    if ! wineboot -i >"$BUDOWA/wineboot.log" 2>&1; then
      echo "wineboot failed; its output is in $BUDOWA/wineboot.log" >&2
      exit 1
    fi
  fi
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  for f in /usr/share/wine/fonts/*; do
    [ -e "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$f")" ] || cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  if [ "$na_xvfb" -eq 1 ]; then
    # No window manager on Xvfb: Wine manages its windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
else
  # Only what the installer needs: drive C: and the user's desktop and Start
  # menu, laid out as Wine lays them out. Wine itself completes the prefix the
  # first time it starts a program in it ("Uruchom"), which takes a minute.
  mkdir -p "$WINEPREFIX/dosdevices" "$WINEPREFIX/drive_c"
  [ -e "$WINEPREFIX/dosdevices/c:" ] || ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
fi
for folder in "${folderyProfilu[@]}"; do
  # In the command's own prefix a link made by Wine gives way to a real
  # folder; a prefix the user named keeps its links.
  if [ "$WLASNY_PREFIKS" -eq 1 ] && [ -L "$folder" ]; then rm -f "$folder"; fi
  [ -e "$folder" ] || [ -L "$folder" ] || mkdir -p "$folder"
done
echo "prefix $WINEPREFIX (C:\\KV-Tek\\Kavrostel8 is $WINEPREFIX/drive_c/KV-Tek/Kavrostel8)"

if [ "$na_xvfb" -eq 0 ]; then
  echo "== installer on $DISPLAY"
else
  echo "== installer under Xvfb on $DISPLAY (no display was available)"
  echo "   look at it:  $zdjecie  (a screenshot renewed every 2 s)"
  echo "   click in it: DISPLAY=$DISPLAY xdotool mousemove X Y click 1"
  echo "   the window's top-left corner is at 275,220; \"Zamknij\" at 908,558 ends it"
fi

if [ "$WINDOWS" -eq 1 ]; then
  [ ${#TLS_OPCJE[@]} -eq 0 ] || wine "$BUDOWA/tests/kv_zaufaj.exe" "$(winepath -w "$TLS/ca.pem")"
  (cd "$(dirname "$INSTALATOR")" && exec wine "$INSTALATOR") &
elif [ ${#TLS_OPCJE[@]} -gt 0 ]; then
  # libcurl's CA bundle path shows the demo CA, for the installer alone.
  [ "$(id -u)" -eq 0 ] || { echo "the HTTPS road on Linux runs the installer in a private mount namespace: run as root" >&2; exit 1; }
  unshare -m sh -c 'mount --bind "$1" /etc/ssl/certs/ca-certificates.crt && exec "$2"' - "$TLS/ca.pem" "$INSTALATOR" &
else
  "$INSTALATOR" &
fi
pid_instalatora=$!
echo "installer: process $pid_instalatora"
wait "$pid_instalatora" || true
pid_instalatora=""
echo "== the installer has ended; the server stops"
