#!/usr/bin/env bash
# The server kit's own behaviour: the names of the packed tree, the
# credentials, the rate limit, and start, status and stop.
set -euo pipefail
ZRODLA=$1
T=$(mktemp -d "${TMPDIR:-/tmp}/kv-zestaw.XXXXXX")
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
SERWER=("$ZRODLA/server/serwer.sh" -t "$T/drzewo" -w "$T/praca" -l "127.0.0.1:$PORT")
sprzatnij() { "${SERWER[@]}" stop >/dev/null 2>&1 || true; rm -rf "$T"; }
trap sprzatnij EXIT
blad() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$T/wydanie/Dane"
head -c 300000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
echo opis >"$T/wydanie/Dane/opis.v2.txt"
echo bez >"$T/wydanie/LICENCJA"
"$ZRODLA/server/pakuj.sh" "$T/wydanie" "$T/drzewo" >/dev/null
A="$T/drzewo/programy/wersja8/aktualne"
[ "$(cd "$A" && find . -type f | sort | tr '\n' ' ')" = "./Dane/opis.v2._txt ./LICENCJA ./_Kavrostel._exe " ] ||
  blad "packed names: $(cd "$A" && find . -type f | sort | tr '\n' ' ')"
cmp -s "$T/wydanie/_Kavrostel.exe" "$A/_Kavrostel._exe" || blad "packed content differs"

# Packing again replaces the old release and leaves nothing else behind.
rm "$T/wydanie/LICENCJA"
"$ZRODLA/server/pakuj.sh" "$T/wydanie" "$T/drzewo" >/dev/null
[ ! -e "$A/LICENCJA" ] || blad "a file of the old release stayed"
[ "$(ls -A "$T/drzewo/programy/wersja8")" = "aktualne" ] || blad "leftovers: $(ls -A "$T/drzewo/programy/wersja8")"

"${SERWER[@]}" status >/dev/null && blad "status says running before start"
"${SERWER[@]}" start >/dev/null
"${SERWER[@]}" status >/dev/null || blad "status after start"
"${SERWER[@]}" start | grep -q "already running" || blad "a second start"
URL="http://127.0.0.1:$PORT/programy/wersja8/aktualne/_Kavrostel._exe"
kod() { curl -s -o "$T/pobrany" -w '%{http_code}' "$@" "$URL"; }
[ "$(kod -u tamrix4:lorven905)" = 200 ] || blad "good credentials"
cmp -s "$T/pobrany" "$T/wydanie/_Kavrostel.exe" || blad "served content differs"
[ "$(kod -u tamrix4:zle)" = 401 ] || blad "wrong password"
[ "$(kod)" = 401 ] || blad "no credentials"
[ "$(curl -s -o /dev/null -w '%{http_code}' -u tamrix4:lorven905 "http://127.0.0.1:$PORT/")" = 404 ] ||
  blad "the tree is listed"
for f in nginx.conf nginx.pid error.log access.log hasla; do
  [ -e "$T/praca/$f" ] || blad "no $f in the work folder"
done
PID=$(cat "$T/praca/nginx.pid")
"${SERWER[@]}" stop >/dev/null
kill -0 "$PID" 2>/dev/null && blad "nginx still runs after stop"
"${SERWER[@]}" status >/dev/null && blad "status says running after stop"

# With a rate limit of 100k the 300 kB file takes two seconds or more.
KV_LIMIT=100k "${SERWER[@]}" start >/dev/null
CZAS=$(curl -s -o /dev/null -w '%{time_total}' -u tamrix4:lorven905 "$URL")
python3 -c "import sys; sys.exit(0 if float('$CZAS') >= 1.5 else 1)" || blad "rate limit: $CZAS s"
"${SERWER[@]}" stop >/dev/null
echo "server kit: all checks passed"
