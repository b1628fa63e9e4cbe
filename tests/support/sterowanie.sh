# Shell helpers for the scripts that drive the installer's window with
# xdotool on an X server of their own (tests/support/xvfb.sh): the programs a
# run needs, its scratch folder and its clean-up, the server kit, a drive C:
# laid out as Wine lays it out, the pointer, clicks and screenshots at the
# window's places, waiting, and the notices read back from their pictures.
# Source it; it sets nothing by itself.
#
# What the helpers take from the script that sources them: `blad MESSAGE`,
# which reports a failure and ends the run; ZRODLA, the source tree; WYNIKI,
# the folder of the screenshots; L and T, the window's top-left corner on the
# screen (okno_instalatora sets them); pid_inst, the installer's process
# while it runs.

# wymagaj PROGRAM...
# Ends the run unless every PROGRAM is installed.
wymagaj() {
  local program
  for program in "$@"; do
    command -v "$program" >/dev/null || blad "$program is missing (bash scripts/zaleznosci.sh)"
  done
}

# przebieg NAME [LOG_DIR [COMMAND]]
# Makes the run's scratch folder, tmp (NAME.XXXXXX under TMPDIR), and sets
# what the run's end does (sprzataj).
przebieg() {
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  # Run as root, the server kit's workers ("nobody") read the tree below it.
  chmod 0755 "$tmp"
  pid_x=""
  pid_inst=""
  hostport=""
  dziennik_serwera=${2:-}
  przy_koncu=${3:-}
  trap sprzataj EXIT
}

# sprzataj
# The end of a run, however it ends: the installer is killed, COMMAND of
# przebieg is run (wine_zakoncz: Wine's programs), the server kit's nginx is
# stopped with its logs copied into LOG_DIR, the X server is stopped and the
# scratch folder removed.
sprzataj() {
  [ -n "$pid_inst" ] && kill "$pid_inst" 2>/dev/null || true
  [ -n "${pid_mitm:-}" ] && kill "$pid_mitm" 2>/dev/null || true
  [ -n "$przy_koncu" ] && "$przy_koncu" || true
  if [ -n "$hostport" ]; then
    bash "$ZRODLA/server/serwer.sh" -w "$tmp/serwer" -l "$hostport" stop >/dev/null 2>&1 || true
    if [ -n "$dziennik_serwera" ]; then
      cp "$tmp/serwer/access.log" "$tmp/serwer/error.log" "$dziennik_serwera/" 2>/dev/null || true
    fi
  fi
  xvfb_zatrzymaj
  rm -rf "$tmp"
}

# klucz_podpisu
# The key that signs releases for the installer under test (INSTALATOR):
# KV_KLUCZ_PRYWATNY and KV_KLUCZ_ID as the build's tests get them, else the
# throw-away pair in the installer's build folder. Exports both.
klucz_podpisu() {
  if [ -z "${KV_KLUCZ_PRYWATNY:-}" ]; then
    KV_KLUCZ_PRYWATNY="$(dirname "$(dirname "$INSTALATOR")")/klucze/kavrostel-test.key"
    KV_KLUCZ_ID=kavrostel-test
  fi
  [ -f "$KV_KLUCZ_PRYWATNY" ] || blad "no signing key for the installer's releases: $KV_KLUCZ_PRYWATNY"
  export KV_KLUCZ_PRYWATNY KV_KLUCZ_ID=${KV_KLUCZ_ID:-kavrostel-test}
}

# serwer_uruchom URL DEMO_DIR RATE [CERT_FILE KEY_FILE]
# The distribution server the installer was built for (URL): builds the
# 8 MiB demonstration program into DEMO_DIR, packs and signs it
# (klucz_podpisu) with the server kit into $tmp/drzewo and starts nginx on
# URL's address with the rate limit RATE per reply, its working folder (and
# access.log) in $tmp/serwer; over TLS with CERT_FILE and KEY_FILE when
# given. Sets hostport and baza (URL's path). Ends the run when something
# else listens there.
serwer_uruchom() {
  local adres=$1 demo=$2 tempo=$3 port tls=()
  [ $# -ge 5 ] && tls=(-c "$4" -k "$5")
  hostport=${adres#*://}
  baza=/${hostport#*/}
  hostport=${hostport%%/*}
  port=${hostport##*:}
  if (exec 3<>"/dev/tcp/${hostport%:*}/$port") 2>/dev/null; then
    hostport=""
    blad "port $port is taken: the installer was built for $adres; stop what listens there"
  fi
  bash "$ZRODLA/scripts/demo.sh" "$demo" 8 >/dev/null
  mkdir -p "$tmp/wydanie"
  cp "$demo/_Kavrostel.exe" "$tmp/wydanie/"
  klucz_podpisu
  bash "$ZRODLA/server/pakuj.sh" -k "$KV_KLUCZ_PRYWATNY" -i "$KV_KLUCZ_ID" -b "$baza" \
    "$tmp/wydanie" "$tmp/drzewo" >/dev/null
  bash "$ZRODLA/server/serwer.sh" -t "$tmp/drzewo" -l "$hostport" -w "$tmp/serwer" -r "$tempo" "${tls[@]}" start
}

# certyfikaty_testowe DIR HOST
# A throw-away CA (DIR/ca.pem) and a server certificate for HOST signed by
# it (DIR/srv.pem, its key DIR/srv.key, mode 600), valid for one day. HOST
# is named as an IP address and as a DNS name: Wine compares the host with
# DNS names only.
certyfikaty_testowe() {
  local c=$1 host=$2
  mkdir -p "$c"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$c/ca.key" -out "$c/ca.pem" \
    -days 1 -subj "/CN=Kavrostel e2e CA" 2>/dev/null
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$c/srv.key" -out "$c/srv.csr" \
    -subj "/CN=$host" 2>/dev/null
  printf 'subjectAltName=IP:%s,DNS:%s\nextendedKeyUsage=serverAuth\n' "$host" "$host" >"$c/ext"
  openssl x509 -req -in "$c/srv.csr" -CA "$c/ca.pem" -CAkey "$c/ca.key" -CAcreateserial -out "$c/srv.pem" \
    -days 1 -extfile "$c/ext" 2>/dev/null
  chmod 600 "$c/srv.key"
}

# prefiks_bez_wine FOLDER
# Drive C: and the user's folders in FOLDER, laid out as Wine lays them out,
# for the Linux build: exports WINEPREFIX and sets PROFIL, PULPIT (the
# desktop) and PROGRAMY (the Start menu's programs).
prefiks_bez_wine() {
  export WINEPREFIX=$1
  PROFIL="$WINEPREFIX/drive_c/users/$(id -un)"
  PULPIT="$PROFIL/Desktop"
  PROGRAMY="$PROFIL/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  mkdir -p "$WINEPREFIX/dosdevices" "$PULPIT" "$PROGRAMY"
  ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
}

# kliknij X Y
# A left click at a point of the window.
kliknij() { xdotool mousemove $((L + $1)) $((T + $2)) click 1; }

# zdjecie NAME
# The whole screen into WYNIKI/NAME.png.
zdjecie() { import -window root "$WYNIKI/$1.png"; echo "screenshot $WYNIKI/$1.png"; }

# wskaznik
# Prints where the pointer stands on the screen: "X Y".
wskaznik() { xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\) .*/\1 \2/p'; }

# czekaj_na_wskaznik X Y SECONDS WHAT
# Waits until the pointer stands at a point of the window: the end of a
# glide. Ends the run, saying WHAT, when it does not within SECONDS.
czekaj_na_wskaznik() {
  local x=$((L + $1)) y=$((T + $2))
  for _ in $(seq 1 $(($3 * 20))); do
    [ "$(wskaznik)" = "$x $y" ] && return 0
    sleep 0.05
  done
  blad "the pointer did not reach $x,$y within $3 s ($(wskaznik)); $4"
}

# czekaj_na SECONDS WHAT TEST...
# Waits until the command TEST... succeeds. Ends the run when it does not
# within SECONDS, or when the installer ends meanwhile.
czekaj_na() {
  local limit=$1 opis=$2
  shift 2
  for _ in $(seq 1 $((limit * 10))); do
    if "$@"; then return 0; fi
    kill -0 "$pid_inst" 2>/dev/null || blad "the installer ended while waiting for: $opis"
    sleep 0.1
  done
  blad "$opis: not within $limit s"
}

# okno_o_tytule TITLE SECONDS
# Waits for a visible window titled exactly TITLE (Qt and Wine both name the
# X window after it) and prints its id. Returns 1 when none appears within
# SECONDS, or when the installer ends meanwhile.
okno_o_tytule() {
  local w
  for _ in $(seq 1 $(($2 * 20))); do
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$w" ]; then echo "$w"; return 0; fi
    if [ -n "${pid_inst:-}" ] && ! kill -0 "$pid_inst" 2>/dev/null; then return 1; fi
    sleep 0.05
  done
  return 1
}

# zamknij_okno TITLE NAME TEXT...
# A notice or dialog: waits up to 60 s for its window, shoots the screen
# (WYNIKI/NAME.png) and the window alone (NAME_okno.png), reads the window's
# text (three times enlarged, tesseract), which must match every TEXT (grep
# patterns), and closes it with Enter. The key reaches the window once it has
# the keyboard: the X focus, or what FOKUS names (wine_fokus for a Wine
# window on a display without a window manager).
zamknij_okno() {
  local tytul=$1 nazwa=$2 okno napis wzor
  shift 2
  okno=$(okno_o_tytule "$tytul" 60) || blad "no window titled \"$tytul\""
  sleep 0.3
  zdjecie "$nazwa"
  import -window "$okno" "$WYNIKI/${nazwa}_okno.png"
  echo "screenshot $WYNIKI/${nazwa}_okno.png"
  convert "$WYNIKI/${nazwa}_okno.png" -resize 300% "$tmp/ocr.png"
  napis=$(tesseract "$tmp/ocr.png" - 2>/dev/null | tr '\n' ' ')
  for wzor in "$@"; do
    grep -q "$wzor" <<<"$napis" || blad "the window \"$tytul\" reads: $napis"
  done
  if [ -n "${FOKUS:-}" ]; then
    "$FOKUS" "$okno"
  else
    xdotool windowfocus --sync "$okno"
  fi
  xdotool key Return
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^$tytul\$" 2>/dev/null | grep -qx "$okno" || return 0
    sleep 0.1
  done
  blad "the window \"$tytul\" did not close on Enter"
}

# zamknij_instalator X Y
# Clicks the window's point X, Y ("Zamknij") and waits for the installer to
# end, with status 0.
zamknij_instalator() {
  kliknij "$1" "$2"
  for _ in $(seq 1 100); do kill -0 "$pid_inst" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid_inst" 2>/dev/null && blad "\"Zamknij\" did not end the installer"
  wait "$pid_inst" || blad "the installer ended with status $?"
  pid_inst=""
}

# posrednik_testowy DIR CONNECT_PORT
# A tinyproxy on 127.0.0.2 (its log, DIR/log, then tells its requests from
# the kit's), on a free port, letting CONNECT through to CONNECT_PORT; as
# nobody when run as root. Sets PORT_PROXY and pid_proxy, and returns once
# it takes connections.
posrednik_testowy() {
  local folder=$1
  PORT_PROXY=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.2",0)); print(s.getsockname()[1])')
  mkdir -p "$folder"
  [ "$(id -u)" -eq 0 ] && chown nobody "$folder"
  {
    echo "Port $PORT_PROXY"
    echo "Listen 127.0.0.2"
    echo "Allow 127.0.0.0/8"
    echo "LogLevel Info"
    echo "LogFile \"$folder/log\""
    echo "ConnectPort $2"
    [ "$(id -u)" -eq 0 ] && { echo "User nobody"; echo "Group $(id -gn nobody)"; }
  } >"$folder/conf"
  tinyproxy -d -c "$folder/conf" >"$folder/out" 2>&1 &
  pid_proxy=$!
  for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.2/$PORT_PROXY") 2>/dev/null && break; sleep 0.05; done
}
