#!/usr/bin/env bash
# The distribution server: nginx serving the packed tree (server/pakuj.sh)
# with HTTP Basic credentials, from a private working folder.
#
#   server/serwer.sh [options] start|stop|restart|reload|foreground|status
#
#   -t TREE_DIR     the packed tree            (env KV_DRZEWO, default server/drzewo)
#   -l ADDR:PORT    where to listen            (env KV_ADRES, default 127.0.0.1:18080)
#   -w WORK_DIR     config, pid, logs, temps   (env KV_ROBOCZY, default a private
#                                               ${TMPDIR:-/tmp}/kavrostel-serwer-PORT.XXXXXX)
#   -r RATE         nginx limit_rate per reply, e.g. 200k (env KV_LIMIT, default none)
#   -u USER         the account of nginx's workers when started as root
#                                              (env KV_PRACOWNIK, default nobody)
#   -c CERT_FILE    serve HTTPS (TLS 1.2 and 1.3 only) with this certificate
#                   chain in PEM             (env KV_CERT); needs -k
#   -k KEY_FILE     its private key in PEM   (env KV_KLUCZ_TLS); a regular file
#                   of yours (or root's) that nobody else may read: mode 600
#                   or 400. Without -c and -k the server speaks plain HTTP.
#
# start runs nginx in the background (pid file WORK_DIR/nginx.pid) and waits
# until it listens; stop ends the nginx of that pid file; reload rewrites the
# configuration (new digests of a release packed since) and has nginx take
# it; foreground runs it attached to the terminal until Ctrl-C. Nothing under
# /etc or /var is read or written.
#
# The working folder is private: one made here with mktemp, or one given
# (or left from an earlier start) only when it is a real folder, not a
# link, owned by the caller, with mode 0700, in a parent that others cannot
# rename it in.
set -euo pipefail

katalog_skryptu=$(cd "$(dirname "$0")" && pwd)
drzewo=${KV_DRZEWO:-$katalog_skryptu/drzewo}
adres=${KV_ADRES:-127.0.0.1:18080}
roboczy=${KV_ROBOCZY:-}
limit=${KV_LIMIT:-}
pracownik=${KV_PRACOWNIK:-nobody}
certyfikat=${KV_CERT:-}
klucz_tls=${KV_KLUCZ_TLS:-}
UZYTKOWNIK=tamrix4
HASLO=lorven905
MANIFEST=.naglowki

uzycie() {
  sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
blad() {
  echo "$0: $*" >&2
  exit 1
}

while getopts "t:l:w:r:u:c:k:h" opcja; do
  case $opcja in
    t) drzewo=$OPTARG ;;
    l) adres=$OPTARG ;;
    w) roboczy=$OPTARG ;;
    r) limit=$OPTARG ;;
    u) pracownik=$OPTARG ;;
    c) certyfikat=$OPTARG ;;
    k) klucz_tls=$OPTARG ;;
    *) uzycie ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 1 ] || uzycie
polecenie=$1

case $adres in
  *:*) ;;
  *) echo "$0: ADDR:PORT expected, got '$adres'" >&2; exit 2 ;;
esac
port=${adres##*:}
host=${adres%:*}
case $host in
  *[!A-Za-z0-9.:\[\]-]* | "") echo "$0: an address of letters, digits, '.', ':' and [] expected, got '$host'" >&2; exit 2 ;;
esac
if ! [[ $port =~ ^[0-9]+$ ]]; then
  echo "$0: the port must be a number, got '$port'" >&2
  exit 2
fi
if [ -n "$limit" ] && ! [[ $limit =~ ^[0-9]+[kKmM]?$ ]]; then
  echo "$0: rate limit must look like 500k, 2m or 100000, got '$limit'" >&2
  exit 2
fi

if [ -n "$certyfikat" ] || [ -n "$klucz_tls" ]; then
  [ -n "$certyfikat" ] && [ -n "$klucz_tls" ] || { echo "$0: HTTPS needs both -c CERT_FILE and -k KEY_FILE" >&2; exit 2; }
fi

nginx_bin=$(command -v nginx || true)
[ -n "$nginx_bin" ] || nginx_bin=/usr/sbin/nginx
[ -x "$nginx_bin" ] || blad "nginx not found (Debian: apt-get install nginx-light)"

jestem_rootem() { [ "$(id -u)" -eq 0 ]; }

# ---------------------------------------------------------------- working folder
bez_ukosnika() {
  local s=$1
  while [ "${#s}" -gt 1 ] && [ "${s%/}" != "$s" ]; do s=${s%/}; done
  printf '%s' "$s"
}

# Empty when FOLDER may serve as the working folder; the reason otherwise.
# Checked before anything in it is read or written: its pid file names the
# process that stop signals, and its configuration is what nginx runs.
powod_odmowy() {
  local folder
  folder=$(bez_ukosnika "$1")
  if [ -L "$folder" ]; then
    echo "$folder is a symbolic link"
    return
  fi
  if [ ! -d "$folder" ]; then
    echo "$folder is not a folder"
    return
  fi
  local wlasciciel tryb
  read -r wlasciciel tryb < <(stat -c '%u %a' -- "$folder")
  if [ "$wlasciciel" != "$(id -u)" ]; then
    echo "$folder belongs to user $wlasciciel, not to you ($(id -u))"
    return
  fi
  if [ "$tryb" != 700 ]; then
    echo "$folder has mode $tryb, not 700"
    return
  fi
  # Whoever may write into the parent could swap the folder for another
  # after this check, unless the parent is sticky (as /tmp is).
  local rodzic
  rodzic=$(dirname -- "$folder")
  read -r wlasciciel tryb < <(stat -L -c '%u %a' -- "$rodzic")
  local zapis_innych=$(( (8#$tryb & 8#022) != 0 )) lepki=$(( (8#$tryb & 8#1000) != 0 ))
  if [ "$zapis_innych" -eq 1 ] && [ "$lepki" -eq 0 ]; then
    echo "its parent $rodzic may be written by others (mode $tryb)"
    return
  fi
  if [ "$wlasciciel" != "$(id -u)" ] && [ "$wlasciciel" != 0 ]; then
    echo "its parent $rodzic belongs to user $wlasciciel"
    return
  fi
}

uzyj_roboczego() {
  local powod
  powod=$(powod_odmowy "$1")
  [ -z "$powod" ] || blad "refusing the working folder: $powod"
  roboczy=$(cd -P -- "$(bez_ukosnika "$1")" && pwd -P)
}

# The folders an earlier start without -w left for this port, private ones
# only; the one whose nginx runs first.
domyslne_robocze() {
  local baza=${TMPDIR:-/tmp} f zywe=() inne=()
  for f in "$baza"/kavrostel-serwer-"$port".*; do
    [ -z "$(powod_odmowy "$f" 2>/dev/null)" ] || continue
    if pid_w "$f" >/dev/null; then zywe+=("$f"); else inne+=("$f"); fi
  done
  printf '%s\n' "${zywe[@]}" "${inne[@]}" | sed '/^$/d'
}

# The processes whose parent is PID (nginx's workers of its master).
# Processes may end while they are read: grep's complaint about those is
# no failure.
dzieci() {
  { grep -l "^PPid:[[:space:]]*$1\$" /proc/[0-9]*/status 2>/dev/null || true; } |
    sed 's|^/proc/\([0-9]*\)/status$|\1|' | tr '\n' ' '
}

# True while PID runs. A daemon that has exited stays a zombie until
# whoever adopted it reaps it, which in a container may take a while.
zyje() {
  kill -0 "$1" 2>/dev/null || return 1
  ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null
}

# The live nginx pid recorded in FOLDER's pid file.
pid_w() {
  local plik="$1/nginx.pid" pid
  [ -f "$plik" ] || return 1
  pid=$(cat "$plik" 2>/dev/null) || return 1
  [[ $pid =~ ^[0-9]+$ ]] && zyje "$pid" || return 1
  echo "$pid"
}

# Fixes `roboczy`. For start and foreground a missing one is made (the
# last part of a given path with mkdir, which fails on anything already
# there; a default one with mktemp -d); the other commands only look.
ustal_roboczy() {
  local tworz=$1
  if [ -n "$roboczy" ]; then
    local dany
    dany=$(bez_ukosnika "$roboczy")
    if [ "$tworz" = tak ] && [ ! -e "$dany" ] && [ ! -L "$dany" ]; then
      mkdir -p -- "$(dirname -- "$dany")"
      mkdir -m 0700 -- "$dany"
      roboczy_nowy=tak
    fi
    if [ ! -e "$dany" ] && [ ! -L "$dany" ]; then
      roboczy=""
      return 1
    fi
    uzyj_roboczego "$dany"
    return 0
  fi
  local pierwszy
  pierwszy=$(domyslne_robocze | head -n 1)
  if [ -n "$pierwszy" ]; then
    uzyj_roboczego "$pierwszy"
    return 0
  fi
  [ "$tworz" = tak ] || return 1
  roboczy_nowy=tak
  uzyj_roboczego "$(mktemp -d "${TMPDIR:-/tmp}/kavrostel-serwer-$port.XXXXXX")"
}

roboczy_nowy=nie

pid_dziala() {
  [ -n "$roboczy" ] && pid_w "$roboczy" >/dev/null
}

# ---------------------------------------------------------------- password file
# nginx's workers read the password file at every request. Run by an
# ordinary user they are that user, and the file (0600) lies in the working
# folder. Started as root they run as the worker account, which cannot enter
# root's private working folder: the file then lies in a private folder of
# that account's own, filled while it still belongs to root and handed over
# only then, made anew at each start and reload (old workers may still read
# the previous one) and removed at stop. WORK_DIR/hasla.folder lists them.
usun_foldery_hasel() {
  local zapis="$roboczy/hasla.folder" folder
  [ -f "$zapis" ] || return 0
  while IFS= read -r folder; do
    case $folder in
      "${TMPDIR:-/tmp}"/kavrostel-hasla.*) ;;
      *) continue ;;
    esac
    # rm does not follow a link given to it, nor links inside.
    [ -e "$folder" ] || [ -L "$folder" ] || continue
    rm -rf -- "$folder"
  done <"$zapis"
  rm -f "$zapis"
}

# Writes the password file PLIK, mode 0600: whole or not at all.
zapisz_hasla() {
  local plik=$1 tymczasowy
  tymczasowy=$(mktemp "$(dirname "$plik")/.hasla.XXXXXX")
  # On standard input: a command line is visible to every user in ps.
  printf '%s:%s\n' "$UZYTKOWNIK" "$(printf '%s\n' "$HASLO" | openssl passwd -apr1 -stdin)" >"$tymczasowy"
  chmod 0600 "$tymczasowy"
  mv -f -- "$tymczasowy" "$plik"
}

# As root: a new folder for the worker account with the password file in
# it; prints the file's path.
hasla_pracownika() {
  local folder
  folder=$(mktemp -d "${TMPDIR:-/tmp}/kavrostel-hasla.XXXXXX")
  echo "$folder" >>"$roboczy/hasla.folder"
  zapisz_hasla "$folder/hasla"
  chown "$pracownik:$grupa" "$folder/hasla"
  chown "$pracownik:$grupa" "$folder"
  echo "$folder/hasla"
}

# ---------------------------------------------------------------- nginx.conf
# Every path and value written into nginx.conf goes inside double quotes;
# what cannot be quoted safely there (a quote, '\', '$' that nginx would
# expand, ';' and braces, control characters) is refused, never written.
wpisywalne() {  # description, value
  case $2 in
    *[[:cntrl:]]* | *[\"\'\\\$\;{}]*)
      blad "$1 holds a character nginx.conf cannot carry safely (a quote, '\\', '\$', ';', braces or a" \
        "control character): $2"
      ;;
  esac
}
cudzyslow() { printf '"%s"' "$1"; }

# The served release: the folder programy/wersja8/aktualne names (a link
# made by pakuj.sh), resolved once here, so that nginx serves one release
# with its own headers until the next reload, whatever is packed meanwhile.
wydanie_biezace() {
  local link="$drzewo_abs/programy/wersja8/aktualne" cel
  if [ -L "$link" ]; then
    cel=$(readlink -- "$link")
    [[ $cel =~ ^\.wydania/[A-Za-z0-9.-]+$ ]] && [ -d "$drzewo_abs/programy/wersja8/$cel" ] ||
      blad "$link points at '$cel', not at a release packed by pakuj.sh"
    printf 'programy/wersja8/%s' "$cel"
  elif [ -d "$link" ]; then
    blad "$link is a folder of an older pakuj.sh: pack the release again"
  fi
}

# One exact location per file listed by pakuj.sh, served from the release's
# own folder with its digest and signature.
lokacje_plikow() {
  local wydanie=$1 manifest rodzaj sciezka suma wejscie podpis baza=/
  [ -n "$wydanie" ] || return 0
  manifest="$drzewo_abs/$wydanie/$MANIFEST"
  [ -f "$manifest" ] && [ ! -L "$manifest" ] || blad "the release $wydanie has no $MANIFEST"
  while IFS=$'\t' read -r rodzaj sciezka suma wejscie podpis; do
    case $rodzaj in
      baza)
        [[ $sciezka =~ ^/([A-Za-z0-9._~-]+/)*$ ]] || blad "$manifest: a base path '$sciezka'"
        baza=$sciezka
        continue
        ;;
      plik) ;;
      *) blad "$manifest: a line of an unknown kind '$rodzaj'" ;;
    esac
    [[ $suma =~ ^sha-256=:[A-Za-z0-9+/]+=*:$ ]] || blad "$manifest: a malformed digest for $sciezka"
    [[ $wejscie =~ ^[a-z][a-z0-9_-]*=\(\"repr-digest\"\ \"@path\"\;req\)\;created=[0-9]+\;keyid=\"[A-Za-z0-9._-]+\"\;alg=\"ecdsa-p256-sha256\"$ ]] ||
      blad "$manifest: a malformed Signature-Input for $sciezka"
    [[ $podpis =~ ^[a-z][a-z0-9_-]*=:[A-Za-z0-9+/]+=*:$ ]] || blad "$manifest: a malformed Signature for $sciezka"
    [ -n "$sciezka" ] && [ "${sciezka:0:1}" != / ] && ! [[ /$sciezka/ =~ /\.\.?/ ]] ||
      blad "$manifest: a file path '$sciezka'"
    wpisywalne "a file name" "$sciezka"
    printf '        location = %s {\n' "$(cudzyslow "${baza}programy/wersja8/aktualne/$sciezka")"
    printf '            try_files %s =404;\n' "$(cudzyslow "/$wydanie/$sciezka")"
    printf '            add_header Repr-Digest "%s";\n' "$suma"
    printf "            add_header Signature-Input '%s';\n" "$wejscie"
    printf '            add_header Signature "%s";\n' "$podpis"
    printf '        }\n'
  done <"$manifest"
}

# Releases older than the served one, once no worker serves them any more.
usun_stare_wydania() {
  local biezace=$1 f
  [ -n "$biezace" ] || return 0
  for f in "$drzewo_abs/programy/wersja8/.wydania"/*; do
    [ -d "$f" ] && [ ! -L "$f" ] || continue
    [[ $(basename "$f") < $(basename "$biezace") ]] || continue
    rm -rf -- "$f"
  done
}

# ---------------------------------------------------------------- listening (HTTP or HTTPS)
# The key file must be the caller's (or root's) own regular file that no one
# else may read or change, as the password file is: a key others can read
# lets them pose as the server. Checked at every start and reload.
powod_odmowy_klucza() {
  local plik=$1 wlasciciel tryb
  if [ -L "$plik" ]; then echo "$plik is a symbolic link"; return; fi
  if [ ! -f "$plik" ]; then echo "$plik is not a regular file"; return; fi
  read -r wlasciciel tryb < <(stat -c '%u %a' -- "$plik")
  if [ "$wlasciciel" != "$(id -u)" ] && [ "$wlasciciel" != 0 ]; then
    echo "$plik belongs to user $wlasciciel"; return
  fi
  if (( (8#$tryb & 8#077) != 0 )); then
    echo "$plik has mode $tryb: others may read or change it (chmod 600)"; return
  fi
}

# The listen line, and with a certificate the TLS lines: only TLS 1.2 and
# 1.3, nginx's default ciphers for them (forward secrecy only). Prints them.
linie_nasluchu() {
  if [ -z "$certyfikat" ]; then
    printf 'listen %s:%s;\n' "$host" "$port"
    return
  fi
  [ -f "$certyfikat" ] || blad "certificate file not found: $certyfikat"
  local powod cert_abs klucz_abs
  powod=$(powod_odmowy_klucza "$klucz_tls")
  [ -z "$powod" ] || blad "refusing the TLS key: $powod"
  cert_abs=$(cd -P -- "$(dirname -- "$certyfikat")" && pwd -P)/$(basename -- "$certyfikat")
  klucz_abs=$(cd -P -- "$(dirname -- "$klucz_tls")" && pwd -P)/$(basename -- "$klucz_tls")
  case "$cert_abs$klucz_abs" in
    *[\;\"\'\$\{\}[:space:]]*) blad "the certificate and key paths must not hold spaces, quotes, ';', '\$' or braces" ;;
  esac
  printf 'listen %s:%s ssl;\n' "$host" "$port"
  printf '        ssl_certificate %s;\n' "$cert_abs"
  printf '        ssl_certificate_key %s;\n' "$klucz_abs"
  printf '        ssl_protocols TLSv1.2 TLSv1.3;\n'
  printf '        ssl_prefer_server_ciphers off;\n'
  printf '        ssl_session_cache shared:kavrostel_tls:1m;\n'
  printf '        ssl_session_tickets off;\n'
}

schemat() { if [ -n "$certyfikat" ]; then echo https; else echo http; fi; }

# ---------------------------------------------------------------- configuration
# Writes WORK_DIR/nginx.conf.nowy and has nginx check it; on success
# nginx.conf is replaced. A rejected one is removed with its password
# folder: nothing of a failed attempt stays.
przygotuj() {
  local tryb_demona=$1
  [ -d "$drzewo" ] || blad "tree folder not found: $drzewo (build it with server/pakuj.sh)"
  # The real path: nginx checks links from the tree on, so that a link in a
  # parent of the tree works and one inside it is never followed.
  drzewo_abs=$(cd -P -- "$drzewo" && pwd -P)
  wpisywalne "the tree's path" "$drzewo_abs"
  wpisywalne "the working folder's path" "$roboczy"
  wydanie=$(wydanie_biezace)
  local lokacje
  lokacje=$(lokacje_plikow "$wydanie")
  mkdir -p "$roboczy/tmp"
  umask 077

  local linia_uzytkownika="" hasla="$roboczy/hasla"
  grupa=""
  nowy_folder_hasel=""
  if jestem_rootem; then
    id -u "$pracownik" >/dev/null 2>&1 || blad "the worker account '$pracownik' does not exist (-u USER)"
    [ "$(id -u "$pracownik")" -ne 0 ] || blad "the worker account must not be root (-u USER)"
    grupa=$(id -gn "$pracownik")
    # The workers must be able to read the tree as that account.
    local nieczytelne
    nieczytelne=$(setpriv --reuid="$pracownik" --regid="$grupa" --clear-groups -- \
                    find "$drzewo_abs" \( -type d \( ! -readable -o ! -executable \) -o -type f ! -readable \) \
                    -print -quit 2>/dev/null || echo "$drzewo_abs")
    [ -z "$nieczytelne" ] || blad "nginx's workers run as $pracownik, who cannot read ${nieczytelne%%$'\n'*};" \
      "make the tree readable to others (folders 755, files 644, and the folders above it)," \
      "or name another account with -u"
    hasla=$(hasla_pracownika)
    nowy_folder_hasel=$(dirname "$hasla")
    wpisywalne "the password folder's path" "$hasla"
    linia_uzytkownika="user $pracownik $grupa;"
  else
    zapisz_hasla "$hasla"
  fi

  local linia_limitu="" nasluch
  [ -n "$limit" ] && linia_limitu="limit_rate $limit;"
  nasluch=$(linie_nasluchu)

  cat >"$roboczy/nginx.conf.nowy" <<KONIEC
# Generated by serwer.sh; rewritten at every start and reload.
$linia_uzytkownika
daemon $tryb_demona;
worker_processes 1;
pid "$roboczy/nginx.pid";
lock_file "$roboczy/nginx.lock";
error_log "$roboczy/error.log" notice;

events {
    worker_connections 512;
}

http {
    access_log "$roboczy/access.log";
    client_body_temp_path "$roboczy/tmp/client";
    proxy_temp_path "$roboczy/tmp/proxy";
    fastcgi_temp_path "$roboczy/tmp/fastcgi";
    uwsgi_temp_path "$roboczy/tmp/uwsgi";
    scgi_temp_path "$roboczy/tmp/scgi";

    types { }
    default_type application/octet-stream;
    sendfile on;
    tcp_nopush on;
    server_tokens off;
    keepalive_timeout 30s;

    server {
        $nasluch
        server_name _;
        root "$drzewo_abs";
        # Only what lies in the tree: a link inside it is never followed.
        disable_symlinks on from=\$document_root;
        autoindex off;
        auth_basic "Kavrostel";
        auth_basic_user_file "$hasla";
        $linia_limitu

        location / {
            try_files \$uri =404;
        }
        # The releases' own folders and lists are reached only through the
        # locations below, with their headers.
        location ~ /\\. {
            return 404;
        }

        # Each file of the served release with its SHA-256 (RFC 9530) and
        # its signature (RFC 9421), from pakuj.sh's list.
$lokacje
    }
}
KONIEC
  if ! "$nginx_bin" -q -t -p "$roboczy/" -c "$roboczy/nginx.conf.nowy" -e "$roboczy/error.log"; then
    odrzuc_nowy
    blad "nginx rejected the configuration; nothing was changed"
  fi
  mv -f "$roboczy/nginx.conf.nowy" "$roboczy/nginx.conf"
}

# Removes what a rejected configuration brought: the file and, as root,
# the password folder made for it.
odrzuc_nowy() {
  rm -f -- "$roboczy/nginx.conf.nowy"
  if [ -n "${nowy_folder_hasel:-}" ]; then
    rm -rf -- "$nowy_folder_hasel"
    if [ -f "$roboczy/hasla.folder" ]; then
      grep -vxF -- "$nowy_folder_hasel" "$roboczy/hasla.folder" >"$roboczy/hasla.folder.nowy" || true
      mv -f "$roboczy/hasla.folder.nowy" "$roboczy/hasla.folder"
    fi
    nowy_folder_hasel=""
  fi
}

# ---------------------------------------------------------------- commands
# A start that fails leaves nothing: not the configuration it wrote, not a
# password folder, not the working folder it made (its log is shown).
nieudany_start() {
  [ -n "$roboczy" ] || return 0
  if [ -s "$roboczy/error.log" ]; then
    echo "$0: from nginx's error.log:" >&2
    tail -n 5 "$roboczy/error.log" >&2 || true
  fi
  odrzuc_nowy
  usun_foldery_hasel
  if [ "$roboczy_nowy" = tak ]; then
    rm -rf -- "$roboczy"
  else
    rm -f -- "$roboczy/nginx.conf" "$roboczy/hasla"
  fi
}

uruchom() {
  ustal_roboczy tak
  if pid_dziala; then
    echo "already running (pid $(pid_w "$roboczy")) on $adres, work folder $roboczy"
    return 0
  fi
  trap nieudany_start EXIT
  rm -f "$roboczy/nginx.pid"
  usun_foldery_hasel
  przygotuj on
  if ! "$nginx_bin" -p "$roboczy/" -c "$roboczy/nginx.conf" -e "$roboczy/error.log"; then
    blad "nginx did not start"
  fi
  for _ in $(seq 1 100); do
    if pid_dziala; then
      trap - EXIT
      usun_stare_wydania "$wydanie"
      echo "serving $drzewo on $(schemat)://$adres/ (pid $(pid_w "$roboczy"), work folder $roboczy)"
      return 0
    fi
    sleep 0.05
  done
  blad "nginx wrote no pid file"
}

zatrzymaj() {
  if ! ustal_roboczy nie || ! pid_dziala; then
    echo "not running${roboczy:+ (no live pid in $roboczy/nginx.pid)}"
    [ -z "$roboczy" ] || { rm -f "$roboczy/nginx.pid"; usun_foldery_hasel; }
    return 0
  fi
  local pid
  pid=$(pid_w "$roboczy")
  kill -TERM "$pid"
  for _ in $(seq 1 100); do
    if ! zyje "$pid"; then
      rm -f "$roboczy/nginx.pid"
      usun_foldery_hasel
      echo "stopped (pid $pid; logs in $roboczy)"
      return 0
    fi
    sleep 0.05
  done
  blad "nginx (pid $pid) did not stop within 5 s"
}

przeladuj() {
  if ! ustal_roboczy nie || ! pid_dziala; then
    blad "not running on $adres; nothing to reload"
  fi
  local pid stare poprzednie_hasla=""
  pid=$(pid_w "$roboczy")
  [ -f "$roboczy/hasla.folder" ] && poprzednie_hasla=$(cat "$roboczy/hasla.folder")
  przygotuj on
  stare=$(dzieci "$pid")
  # nginx takes the new configuration as a whole: new connections get the
  # new release with its headers, and the old workers finish what they
  # serve from the old release's folder, which stays until they have gone.
  kill -HUP "$pid"
  for _ in $(seq 1 600); do
    local zostaly=""
    for p in $stare; do zyje "$p" && zostaly=tak; done
    if [ -z "$zostaly" ]; then
      usun_stare_wydania "$wydanie"
      usun_poprzednie_hasla "$poprzednie_hasla"
      echo "reloaded (pid $pid): $drzewo with its digests and signatures"
      return 0
    fi
    sleep 0.05
  done
  echo "reloaded (pid $pid); the old workers still finish their downloads after 30 s:" \
    "the previous release's folder stays until the next reload" >&2
}

# As root: the password folders of configurations no worker uses any more.
usun_poprzednie_hasla() {
  local folder
  [ -n "$1" ] || return 0
  while IFS= read -r folder; do
    case $folder in
      "${TMPDIR:-/tmp}"/kavrostel-hasla.*) rm -rf -- "$folder" ;;
    esac
    grep -vxF -- "$folder" "$roboczy/hasla.folder" >"$roboczy/hasla.folder.nowy" || true
    mv -f "$roboczy/hasla.folder.nowy" "$roboczy/hasla.folder"
  done <<<"$1"
}

case $polecenie in
  start) uruchom ;;
  stop) zatrzymaj ;;
  restart) zatrzymaj; uruchom ;;
  reload) przeladuj ;;
  status)
    if ustal_roboczy nie && pid_dziala; then
      echo "running (pid $(pid_w "$roboczy")) on $adres, work folder $roboczy"
    else
      echo "not running"
      exit 3
    fi
    ;;
  foreground)
    ustal_roboczy tak
    pid_dziala && blad "already running (pid $(pid_w "$roboczy")) with the work folder $roboczy"
    usun_foldery_hasel
    przygotuj off
    echo "serving $drzewo on $(schemat)://$adres/ in the foreground (Ctrl-C stops), work folder $roboczy"
    exec "$nginx_bin" -p "$roboczy/" -c "$roboczy/nginx.conf" -e "$roboczy/error.log"
    ;;
  *) uzycie ;;
esac
