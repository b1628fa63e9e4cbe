#!/usr/bin/env bash
# The server kit's own behaviour: the names and digests of the packed tree,
# the credentials, the rate limit, start, status, reload and stop, and that
# it runs safely: a private working folder (planted or linked ones refused),
# a password file of mode 0600, and, started as root, workers that are not.
set -euo pipefail
ZRODLA=$1
T=$(mktemp -d "${TMPDIR:-/tmp}/kv-zestaw.XXXXXX")
# Run as root, nginx's workers are "nobody": the tree must be readable to others.
chmod 0755 "$T"
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
KIT="$ZRODLA/server/serwer.sh"
SERWER=("$KIT" -t "$T/drzewo" -w "$T/praca" -l "127.0.0.1:$PORT")
sprzatnij() {
  "${SERWER[@]}" stop >/dev/null 2>&1 || true
  TMPDIR="$T/tmp" "$KIT" -l "127.0.0.1:$PORT" stop >/dev/null 2>&1 || true
  rm -rf "$T"
}
trap sprzatnij EXIT
blad() { echo "FAIL: $*" >&2; exit 1; }
tryb() { stat -c '%a' -- "$1"; }
wlasciciel() { stat -c '%U' -- "$1"; }
ROOT=false
[ "$(id -u)" -eq 0 ] && ROOT=true

mkdir -p "$T/wydanie/Dane"
head -c 300000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
echo opis >"$T/wydanie/Dane/opis.v2.txt"
echo bez >"$T/wydanie/LICENCJA"
# The release folder written with a trailing "/" (and twice) packs the same.
for zrodlo in "$T/wydanie/" "$T/wydanie//" "$T/wydanie"; do
  "$ZRODLA/server/pakuj.sh" "$zrodlo" "$T/drzewo" >/dev/null
  A="$T/drzewo/programy/wersja8/aktualne"
  [ "$(cd "$A" && find . -type f | sort | tr '\n' ' ')" = "./.sumy-sha256 ./Dane/opis.v2._txt ./LICENCJA ./_Kavrostel._exe " ] ||
    blad "packed names from $zrodlo: $(cd "$A" && find . -type f | sort | tr '\n' ' ')"
done
cmp -s "$T/wydanie/_Kavrostel.exe" "$A/_Kavrostel._exe" || blad "packed content differs"
sha() { printf 'sha-256=:%s:' "$(openssl dgst -sha256 -binary <"$1" | openssl base64 -A)"; }
SUMA=$(sha "$T/wydanie/_Kavrostel.exe")
grep -qxF "$SUMA	_Kavrostel._exe" "$A/.sumy-sha256" || blad "digest list: $(cat "$A/.sumy-sha256")"
grep -qxF "$(sha "$T/wydanie/Dane/opis.v2.txt")	Dane/opis.v2._txt" "$A/.sumy-sha256" || blad "digest of a subfolder's file"

# Packing again replaces the old release and leaves nothing else behind.
rm "$T/wydanie/LICENCJA"
"$ZRODLA/server/pakuj.sh" "$T/wydanie" "$T/drzewo" >/dev/null
[ ! -e "$A/LICENCJA" ] || blad "a file of the old release stayed"
grep -q LICENCJA "$A/.sumy-sha256" && blad "the digest of a file that is gone stayed"
[ "$(ls -A "$T/drzewo/programy/wersja8")" = "aktualne" ] || blad "leftovers: $(ls -A "$T/drzewo/programy/wersja8")"

# ------------------------------------------------------------ refused working folders
nie_slucha() { ! (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null; }
odmowa() {  # description, working folder
  local wyjscie
  if wyjscie=$("$KIT" -t "$T/drzewo" -w "$2" -l "127.0.0.1:$PORT" start 2>&1); then
    blad "$1 accepted as the working folder"
  fi
  grep -q "refusing the working folder" <<<"$wyjscie" || blad "$1: $wyjscie"
  nie_slucha || blad "$1: something listens after the refusal"
}
mkdir -m 0700 "$T/prywatny"
ln -s "$T/prywatny" "$T/dowiazanie"
odmowa "a symbolic link" "$T/dowiazanie"
odmowa "a symbolic link written with a trailing /" "$T/dowiazanie/"
[ -z "$(ls -A "$T/prywatny")" ] || blad "something was written through the link: $(ls -A "$T/prywatny")"
mkdir -m 0755 "$T/otwarty"
odmowa "a folder others may read" "$T/otwarty"
[ -z "$(ls -A "$T/otwarty")" ] || blad "something was written into the open folder"
touch "$T/plik"
odmowa "a file" "$T/plik"
mkdir -m 0777 "$T/wspolny"
mkdir -m 0700 "$T/wspolny/praca"
odmowa "a folder whose parent anyone may write" "$T/wspolny/praca"
if $ROOT; then
  mkdir -m 0700 "$T/cudzy"
  chown nobody "$T/cudzy"
  odmowa "a folder of another user" "$T/cudzy"
fi

# ------------------------------------------------------------ start, serve, stop
"${SERWER[@]}" status >/dev/null && blad "status says running before start"
"${SERWER[@]}" start >/dev/null
"${SERWER[@]}" status >/dev/null || blad "status after start"
"${SERWER[@]}" start | grep -q "already running" || blad "a second start"
[ "$(tryb "$T/praca")" = 700 ] || blad "the working folder made by the kit has mode $(tryb "$T/praca")"
URL="http://127.0.0.1:$PORT/programy/wersja8/aktualne/_Kavrostel._exe"
kod() { curl -s -o "$T/pobrany" -w '%{http_code}' "$@" "$URL"; }
[ "$(kod -u tamrix4:lorven905)" = 200 ] || blad "good credentials"
cmp -s "$T/pobrany" "$T/wydanie/_Kavrostel.exe" || blad "served content differs"
[ "$(kod -u tamrix4:zle)" = 401 ] || blad "wrong password"
[ "$(kod)" = 401 ] || blad "no credentials"
[ "$(curl -s -o /dev/null -w '%{http_code}' -u tamrix4:lorven905 "http://127.0.0.1:$PORT/")" = 404 ] ||
  blad "the tree is listed"
naglowek=$(curl -s -D - -o /dev/null -u tamrix4:lorven905 "$URL" | tr -d '\r' | sed -n 's/^[Rr]epr-[Dd]igest: //p')
[ "$naglowek" = "$SUMA" ] || blad "Repr-Digest '$naglowek', expected '$SUMA'"
[ "$(curl -s -o /dev/null -w '%{http_code}' -u tamrix4:lorven905 \
      "http://127.0.0.1:$PORT/programy/wersja8/aktualne/.sumy-sha256")" = 404 ] || blad "the digest list is served"
for f in nginx.conf nginx.pid error.log access.log; do
  [ -e "$T/praca/$f" ] || blad "no $f in the work folder"
done
PID=$(cat "$T/praca/nginx.pid")

# The password file: 0600, readable by the workers and nobody else.
if $ROOT; then
  FOLDER_HASEL=$(cat "$T/praca/hasla.folder")
  HASLA="$FOLDER_HASEL/hasla"
  [ "$(wlasciciel "$FOLDER_HASEL") $(tryb "$FOLDER_HASEL")" = "nobody 700" ] ||
    blad "the password folder: $(wlasciciel "$FOLDER_HASEL") $(tryb "$FOLDER_HASEL")"
  [ "$(wlasciciel "$HASLA")" = nobody ] || blad "the password file belongs to $(wlasciciel "$HASLA")"
  # Started as root, the workers are not.
  robotnicy=$({ grep -l "^PPid:[[:space:]]*$PID\$" /proc/[0-9]*/status 2>/dev/null || true; } |
                xargs -r grep -h '^Uid:' | awk '{print $2}' | sort -u)
  [ "$robotnicy" = "$(id -u nobody)" ] || blad "nginx's workers run as uid '$robotnicy'"
else
  HASLA="$T/praca/hasla"
fi
[ "$(tryb "$HASLA")" = 600 ] || blad "the password file has mode $(tryb "$HASLA")"

# A new release: its digest is sent once the server has reloaded.
head -c 1000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
"$ZRODLA/server/pakuj.sh" "$T/wydanie" "$T/drzewo" >/dev/null
"${SERWER[@]}" reload >/dev/null
naglowek=$(curl -s -D - -o /dev/null -u tamrix4:lorven905 "$URL" | tr -d '\r' | sed -n 's/^[Rr]epr-[Dd]igest: //p')
[ "$naglowek" = "$(sha "$T/wydanie/_Kavrostel.exe")" ] || blad "Repr-Digest after the reload: '$naglowek'"
[ "$(kod -u tamrix4:lorven905)" = 200 ] || blad "good credentials after the reload"

"${SERWER[@]}" stop >/dev/null
kill -0 "$PID" 2>/dev/null && ! grep -q '^State:[[:space:]]*Z' "/proc/$PID/status" && blad "nginx still runs after stop"
"${SERWER[@]}" status >/dev/null && blad "status says running after stop"
if $ROOT; then
  [ ! -e "$FOLDER_HASEL" ] || blad "the password folder stayed after stop"
fi

# ------------------------------------------------------------ the default working folder
# Without -w: a private folder made with mktemp, found again by the port;
# someone else's folder of the same name is not used.
mkdir -m 0755 "$T/tmp"
if $ROOT; then
  mkdir -m 0700 "$T/tmp/kavrostel-serwer-$PORT.aaaaaa"
  chown nobody "$T/tmp/kavrostel-serwer-$PORT.aaaaaa"
fi
TMPDIR="$T/tmp" "$KIT" -t "$T/drzewo" -l "127.0.0.1:$PORT" start >/dev/null
wlasne=$(find "$T/tmp" -mindepth 1 -maxdepth 1 -name "kavrostel-serwer-$PORT.*" -user "$(id -un)")
[ "$(wc -l <<<"$wlasne")" = 1 ] && [ -n "$wlasne" ] || blad "default working folders: $wlasne"
[ "$(tryb "$wlasne")" = 700 ] || blad "the default working folder has mode $(tryb "$wlasne")"
[ -s "$wlasne/nginx.pid" ] || blad "nginx did not run from the default working folder"
TMPDIR="$T/tmp" "$KIT" -l "127.0.0.1:$PORT" status | grep -qF "$wlasne" || blad "status without -w"
TMPDIR="$T/tmp" "$KIT" -l "127.0.0.1:$PORT" stop >/dev/null
nie_slucha || blad "stop without -w"
if $ROOT; then
  [ -z "$(ls -A "$T/tmp/kavrostel-serwer-$PORT.aaaaaa")" ] || blad "the planted folder was used"
  # A tree that the workers cannot read is refused, not served as root.
  chmod 0700 "$T/drzewo"
  if wyjscie=$("${SERWER[@]}" start 2>&1); then blad "a tree nobody may read was served"; fi
  grep -q "cannot read" <<<"$wyjscie" || blad "unreadable tree: $wyjscie"
  chmod 0755 "$T/drzewo"
fi

# With a rate limit of 100k the 300 kB file takes two seconds or more.
head -c 300000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
"$ZRODLA/server/pakuj.sh" "$T/wydanie" "$T/drzewo" >/dev/null
KV_LIMIT=100k "${SERWER[@]}" start >/dev/null
CZAS=$(curl -s -o /dev/null -w '%{time_total}' -u tamrix4:lorven905 "$URL")
python3 -c "import sys; sys.exit(0 if float('$CZAS') >= 1.5 else 1)" || blad "rate limit: $CZAS s"
"${SERWER[@]}" stop >/dev/null
echo "server kit: all checks passed"
