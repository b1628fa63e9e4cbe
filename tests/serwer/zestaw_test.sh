#!/usr/bin/env bash
# The server kit's own behaviour: the names, digests and signatures of the
# packed tree, the credentials, the rate limit, start, status, reload and
# stop, and that it runs safely: a private working folder (planted or linked
# ones refused), a password file of mode 0600, and, started as root, workers
# that are not; only the tree served (no link out of it followed, no path
# injected into nginx.conf), nothing left by a failed start, and the packer
# that copies regular files only.
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
  bash "$ZRODLA/tests/support/pamiec_posrednia.sh" stop "$T/pamiec" >/dev/null 2>&1 || true
  rm -rf "$T"
}
trap sprzatnij EXIT
blad() { echo "FAIL: $*" >&2; exit 1; }
tryb() { stat -c '%a' -- "$1"; }
wlasciciel() { stat -c '%U' -- "$1"; }
ROOT=false
[ "$(id -u)" -eq 0 ] && ROOT=true

# A throw-away signing key of the test's own, under a password.
KLUCZ="$T/klucz.key"
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -aes256 -pass pass:tajne-haslo -out "$KLUCZ" 2>/dev/null
openssl pkey -in "$KLUCZ" -passin pass:tajne-haslo -pubout -out "$T/klucz.pem"
# The password reaches the packer on a descriptor.
pakuj() { KV_HASLO_FD=7 "$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i kv-test "$@" 7< <(echo tajne-haslo); }

mkdir -p "$T/wydanie/Dane"
head -c 300000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
echo opis >"$T/wydanie/Dane/opis.v2.txt"
echo bez >"$T/wydanie/LICENCJA"
# The release folder written with a trailing "/" (and twice) packs the same.
for zrodlo in "$T/wydanie/" "$T/wydanie//" "$T/wydanie"; do
  pakuj "$zrodlo" "$T/drzewo" >/dev/null
  A="$T/drzewo/programy/wersja8/aktualne"
  [ "$(cd "$A" && find . -type f | sort | tr '\n' ' ')" = "./.naglowki ./Dane/opis.v2._txt ./LICENCJA ./_Kavrostel._exe " ] ||
    blad "packed names from $zrodlo: $(cd "$A" && find . -type f | sort | tr '\n' ' ')"
done
cmp -s "$T/wydanie/_Kavrostel.exe" "$A/_Kavrostel._exe" || blad "packed content differs"
sha() { printf 'sha-256=:%s:' "$(openssl dgst -sha256 -binary <"$1" | openssl base64 -A)"; }
SUMA=$(sha "$T/wydanie/_Kavrostel.exe")
grep -q "^plik	_Kavrostel._exe	$SUMA	" "$A/.naglowki" || blad "header list: $(cat "$A/.naglowki")"
grep -q "^plik	Dane/opis.v2._txt	$(sha "$T/wydanie/Dane/opis.v2.txt")	" "$A/.naglowki" || blad "digest of a subfolder's file"

# Packing again makes a new release folder; the old one stays until a
# server has moved on from it.
rm "$T/wydanie/LICENCJA"
pakuj "$T/wydanie" "$T/drzewo" >/dev/null
[ ! -e "$A/LICENCJA" ] || blad "a file of the old release stayed"
grep -q LICENCJA "$A/.naglowki" && blad "the digest of a file that is gone stayed"
[ "$(ls -A "$T/drzewo/programy/wersja8" | tr "\n" " ")" = ".wydania aktualne " ] || blad "leftovers: $(ls -A "$T/drzewo/programy/wersja8")"
[ -L "$A" ] || blad "aktualne is not the link to the release"

# ------------------------------------------------------------ the packer's refusals
# Each: description, expected words of the refusal, arguments.
odmowa_pakowania() {
  local opis=$1 slowa=$2 wyjscie
  shift 2
  if wyjscie=$("$@" 2>&1); then blad "the packer accepted $opis"; fi
  grep -q -- "$slowa" <<<"$wyjscie" || blad "$opis: $wyjscie"
}
PRZED=$(readlink "$A")
WYDAN=$(ls "$T/drzewo/programy/wersja8/.wydania" | wc -l)
odmowa_pakowania "no key" "required" "$ZRODLA/server/pakuj.sh" "$T/wydanie" "$T/drzewo"
odmowa_pakowania "a wrong password" "wrong password" \
  env KV_HASLO_FD=7 "$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i kv-test "$T/wydanie" "$T/drzewo" 7< <(echo zle)
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-384 -out "$T/p384.key" 2>/dev/null
odmowa_pakowania "a P-384 key" "not a P-256" "$ZRODLA/server/pakuj.sh" -k "$T/p384.key" -i x "$T/wydanie" "$T/drzewo"
odmowa_pakowania "a keyid with a quote" "keyid" "$ZRODLA/server/pakuj.sh" -k "$T/p384.key" -i 'a"b' "$T/wydanie" "$T/drzewo"
odmowa_pakowania "a base path with a semicolon" "base path" pakuj -b '/a;b/' "$T/wydanie" "$T/drzewo"
mkdir -p "$T/zle-nazwy"
echo x >"$T/zle-nazwy/a\$b.txt"
odmowa_pakowania "a file name with \$" "cannot be served" pakuj "$T/zle-nazwy" "$T/drzewo"
[ "$(readlink "$A")" = "$PRZED" ] || blad "a refused packing switched the release"
[ "$(ls "$T/drzewo/programy/wersja8/.wydania" | wc -l)" = "$WYDAN" ] || blad "a refused packing left a folder behind"

# Only regular files, never through a link: a link in the release to a
# secret file is skipped, and a file swapped for such a link between the
# listing and the copy (provoked: the packer's next helper program swaps
# it) is refused with nothing published.
echo tajne >"$T/sekret"
chmod 0600 "$T/sekret"
ln -s "$T/sekret" "$T/wydanie/dowiazanie.txt"
pakuj "$T/wydanie" "$T/drzewo" >/dev/null 2>&1
[ ! -e "$A/dowiazanie._txt" ] && ! grep -q dowiazanie "$A/.naglowki" || blad "a link in the release was packed"
rm "$T/wydanie/dowiazanie.txt"
mkdir -p "$T/podmiana"
cat >"$T/podmiana/dirname" <<PODMIANA
#!/bin/sh
if [ -f "$T/podmien" ]; then
  rm -f "$T/podmien" "$T/wydanie/Dane/opis.v2.txt"
  ln -s "$T/sekret" "$T/wydanie/Dane/opis.v2.txt"
fi
exec /usr/bin/dirname "\$@"
PODMIANA
chmod +x "$T/podmiana/dirname"
touch "$T/podmien"
PRZED=$(readlink "$A")
odmowa_pakowania "a file swapped for a link while packing" "changed while it was packed" \
  env PATH="$T/podmiana:$PATH" KV_HASLO_FD=7 "$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i kv-test "$T/wydanie" "$T/drzewo" \
  7< <(echo tajne-haslo)
[ "$(readlink "$A")" = "$PRZED" ] || blad "the release with a swapped file was published"
grep -rqs tajne "$T/drzewo" && blad "the secret file's content reached the tree"
rm "$T/wydanie/Dane/opis.v2.txt"
echo opis >"$T/wydanie/Dane/opis.v2.txt"
if $ROOT; then
  # As root, a release folder someone else owns (or may write into) is refused.
  cp -r "$T/wydanie" "$T/cudze-wydanie"
  chown -R nobody "$T/cudze-wydanie"
  odmowa_pakowania "someone else's release folder, as root" "must belong to root" pakuj "$T/cudze-wydanie" "$T/drzewo"
  chown -R root "$T/cudze-wydanie"
  chown nobody "$T/cudze-wydanie/_Kavrostel.exe"
  odmowa_pakowania "someone else's file in the release, as root" "must belong to root" \
    pakuj "$T/cudze-wydanie" "$T/drzewo"
  chmod 0777 "$T/cudze-wydanie/Dane"
  odmowa_pakowania "a release subfolder anyone may write, as root" "writable by root only" \
    pakuj "$T/cudze-wydanie" "$T/drzewo"
fi
pakuj "$T/wydanie" "$T/drzewo" >/dev/null

# ------------------------------------------------------------ DER -> r||s
# openssl's DER integers: 33 bytes with a leading 00, and short ones that
# must be padded back to 32 bytes; anything else refused.
# shellcheck source=/dev/null
. "$ZRODLA/server/pakuj.sh"
rs_hex() { printf '%b' "$1" | der_na_rs | openssl base64 -d -A | od -An -tx1 -v | tr -d ' \n'; }
R32=$(printf '7f%.0s' $(seq 1 32)) S32=$(printf '11%.0s' $(seq 1 32))
while IFS='|' read -r opis der oczekiwane; do
  wynik=$(rs_hex "$der") || wynik=ODMOWA
  [ "$wynik" = "$oczekiwane" ] || blad "DER -> r||s, $opis: $wynik"
done <<PRZYPADKI
r and s of 32 bytes|\x30\x44\x02\x20$(sed 's/../\\x&/g' <<<"$R32")\x02\x20$(sed 's/../\\x&/g' <<<"$S32")|$R32$S32
r with a leading 00 (top bit set)|\x30\x45\x02\x21\x00$(printf '\\x80%.0s' $(seq 1 32))\x02\x20$(sed 's/../\\x&/g' <<<"$S32")|$(printf '80%.0s' $(seq 1 32))$S32
r of 31 bytes|\x30\x43\x02\x1f$(printf '\\x01%.0s' $(seq 1 31))\x02\x20$(sed 's/../\\x&/g' <<<"$S32")|00$(printf '01%.0s' $(seq 1 31))$S32
s of one byte|\x30\x25\x02\x20$(sed 's/../\\x&/g' <<<"$R32")\x02\x01\x05|$R32$(printf '00%.0s' $(seq 1 31))05
r of 33 bytes without a leading 00|\x30\x45\x02\x21\x01$(printf '\\x80%.0s' $(seq 1 32))\x02\x20$(sed 's/../\\x&/g' <<<"$S32")|ODMOWA
PRZYPADKI
blad() { echo "FAIL: $*" >&2; exit 1; }

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
for ukryty in programy/wersja8/aktualne/.naglowki "programy/wersja8/$(readlink "$A")/_Kavrostel._exe"; do
  [ "$(curl -s -o /dev/null -w '%{http_code}' -u tamrix4:lorven905 "http://127.0.0.1:$PORT/$ukryty")" = 404 ] ||
    blad "served without its headers: $ukryty"
done

# The signature as the installer checks it: the base rebuilt from the
# reply's own fields and the request path, the r||s turned back into DER,
# verified with the public key by the openssl tool.
podpis_poprawny() {  # server, request path, expected body file or - for any
  local serwer=$1 sciezka=$2 cialo=$3 naglowki suma wejscie podpis
  naglowki=$(curl -s -D - -o "$T/cialo" -u tamrix4:lorven905 "$serwer$sciezka" | tr -d '\r')
  [ "$cialo" = - ] || cmp -s "$T/cialo" "$cialo" || { echo "the body differs"; return 1; }
  cialo="$T/cialo"
  suma=$(sed -n 's/^[Rr]epr-[Dd]igest: //p' <<<"$naglowki")
  wejscie=$(sed -n 's/^[Ss]ignature-[Ii]nput: //p' <<<"$naglowki")
  podpis=$(sed -n 's/^[Ss]ignature: //p' <<<"$naglowki")
  [ "$suma" = "$(sha "$cialo")" ] || { echo "Repr-Digest '$suma'"; return 1; }
  [[ $wejscie =~ ^kavrostel=(\(\"repr-digest\"\ \"@path\"\;req\)\;created=[0-9]+\;keyid=\"kv-test\"\;alg=\"ecdsa-p256-sha256\")$ ]] ||
    { echo "Signature-Input '$wejscie'"; return 1; }
  printf '"repr-digest": %s\n"@path";req: %s\n"@signature-params": %s' "$suma" "$sciezka" "${BASH_REMATCH[1]}" \
    >"$T/baza"
  [[ $podpis =~ ^kavrostel=:(.*):$ ]] || { echo "Signature '$podpis'"; return 1; }
  python3 -c '
import base64, sys
rs = base64.b64decode(sys.argv[1])
assert len(rs) == 64, len(rs)
def calkowita(b):
    b = b.lstrip(b"\0") or b"\0"
    if b[0] & 0x80: b = b"\0" + b
    return b"\x02" + bytes([len(b)]) + b
tresc = calkowita(rs[:32]) + calkowita(rs[32:])
sys.stdout.buffer.write(b"\x30" + bytes([len(tresc)]) + tresc)' "${BASH_REMATCH[1]}" >"$T/podpis.der" || return 1
  openssl dgst -sha256 -verify "$T/klucz.pem" -signature "$T/podpis.der" "$T/baza"
}
wynik=$(podpis_poprawny "http://127.0.0.1:$PORT" /programy/wersja8/aktualne/_Kavrostel._exe "$T/wydanie/_Kavrostel.exe") ||
  blad "the program file's signature: $wynik"
wynik=$(podpis_poprawny "http://127.0.0.1:$PORT" /programy/wersja8/aktualne/Dane/opis.v2._txt "$T/wydanie/Dane/opis.v2.txt") ||
  blad "a subfolder file's signature: $wynik"
# Another path in the base does not verify: the check above is not blind.
sed -i 's|aktualne/Dane|aktualne/Inne|' "$T/baza"
openssl dgst -sha256 -verify "$T/klucz.pem" -signature "$T/podpis.der" "$T/baza" >/dev/null 2>&1 &&
  blad "a signature verifies over another path"

# Through a caching proxy (a CDN or mirror): the headers arrive unchanged
# and verify, also from the cache; a poisoned entry (body and Repr-Digest
# changed together) still carries a matching digest, but its signature
# fails.
PORT2=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
mkdir -m 0755 "$T/pamiec"
POSREDNIK="$ZRODLA/tests/support/pamiec_posrednia.sh"
bash "$POSREDNIK" start "$T/pamiec" "$PORT2" "127.0.0.1:$PORT"
for proba in MISS HIT; do
  status=$(curl -s -D - -o /dev/null -u tamrix4:lorven905 "http://127.0.0.1:$PORT2/programy/wersja8/aktualne/_Kavrostel._exe" |
             tr -d '\r' | sed -n 's/^X-Pamiec: //p')
  [ "$status" = "$proba" ] || { bash "$POSREDNIK" stop "$T/pamiec"; blad "the cache answered $status, expected $proba"; }
done
wynik=$(podpis_poprawny "http://127.0.0.1:$PORT2" /programy/wersja8/aktualne/_Kavrostel._exe "$T/wydanie/_Kavrostel.exe") ||
  { bash "$POSREDNIK" stop "$T/pamiec"; blad "through the cache: $wynik"; }
bash "$POSREDNIK" zatruj "$T/pamiec" /programy/wersja8/aktualne/_Kavrostel._exe >/dev/null
wynik=$(podpis_poprawny "http://127.0.0.1:$PORT2" /programy/wersja8/aktualne/_Kavrostel._exe - 2>&1) &&
  { bash "$POSREDNIK" stop "$T/pamiec"; blad "a poisoned cache entry verifies"; }
bash "$POSREDNIK" stop "$T/pamiec"
grep -q "Verification failure" <<<"$wynik" || blad "the poisoned entry failed otherwise: $wynik"
cmp -s "$T/cialo" "$T/wydanie/_Kavrostel.exe" && blad "the cache entry was not poisoned"

# ------------------------------------------------------------ only the tree
# A link inside the tree out of it is never followed (404 or 403); a file
# beside it is served (the refusal is the link's, not the place's); a packed
# file swapped for a link is not served either.
echo widoczny >"$T/drzewo/zwykly.txt"
ln -s /etc/passwd "$T/drzewo/passwd"
ln -s / "$T/drzewo/korzen"
kod_sciezki() { curl -s -o /dev/null -w '%{http_code}' -u tamrix4:lorven905 "http://127.0.0.1:$PORT/$1"; }
[ "$(kod_sciezki zwykly.txt)" = 200 ] || blad "a plain file of the tree"
for sciezka in passwd korzen/etc/passwd; do
  case $(kod_sciezki "$sciezka") in 403 | 404) ;; *) blad "a link out of the tree was followed: $sciezka" ;; esac
done
cp "$A/Dane/opis.v2._txt" "$T/opis.kopia"
ln -sf /etc/passwd "$A/Dane/opis.v2._txt"
case $(kod_sciezki programy/wersja8/aktualne/Dane/opis.v2._txt) in
  403 | 404) ;;
  *) blad "a packed file swapped for a link was served" ;;
esac
cp --remove-destination "$T/opis.kopia" "$A/Dane/opis.v2._txt"
rm "$T/drzewo/passwd" "$T/drzewo/korzen" "$T/drzewo/zwykly.txt"
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

# A new release: served, with its headers, once the server has reloaded;
# the old one whole until then. The old release's folder goes with the reload.
cp "$T/wydanie/_Kavrostel.exe" "$T/stary.exe"
head -c 1000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
pakuj "$T/wydanie" "$T/drzewo" >/dev/null
wynik=$(podpis_poprawny "http://127.0.0.1:$PORT" /programy/wersja8/aktualne/_Kavrostel._exe "$T/stary.exe") ||
  blad "the old release before the reload: $wynik"
"${SERWER[@]}" reload >/dev/null
wynik=$(podpis_poprawny "http://127.0.0.1:$PORT" /programy/wersja8/aktualne/_Kavrostel._exe "$T/wydanie/_Kavrostel.exe") ||
  blad "the new release after the reload: $wynik"
[ "$(kod -u tamrix4:lorven905)" = 200 ] || blad "good credentials after the reload"
[ "$(ls "$T/drzewo/programy/wersja8/.wydania")" = "$(basename "$(readlink "$A")")" ] ||
  blad "release folders after the reload: $(ls "$T/drzewo/programy/wersja8/.wydania")"

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

# With a rate limit of 100k the 500 kB file takes three seconds or more:
# nginx counts the allowance in whole seconds of its clock, so a reply that
# starts just before a second's end may be up to one second quicker than
# the rate alone says.
head -c 500000 /dev/urandom >"$T/wydanie/_Kavrostel.exe"
pakuj "$T/wydanie" "$T/drzewo" >/dev/null
KV_LIMIT=100k "${SERWER[@]}" start >/dev/null
CZAS=$(curl -s -o /dev/null -w '%{time_total}' -u tamrix4:lorven905 "$URL")
python3 -c "import sys; sys.exit(0 if float('$CZAS') >= 2.5 else 1)" || blad "rate limit: $CZAS s"
"${SERWER[@]}" stop >/dev/null

# ------------------------------------------------------------ paths in nginx.conf
# Each tree path: served correctly (signature checked), or refused with the
# reason and nothing left: no working folder, no password folder, nothing
# listening. Never served without credentials.
mkdir -m 0755 "$T/tmp2"
hasla_tymczasowe() { find "$T/tmp2" -maxdepth 1 -name 'kavrostel-hasla.*' | wc -l; }
while IFS='|' read -r opis folder oczekiwane; do
  mkdir -p "$T/$folder"
  chmod 0755 "$T/$folder"
  pakuj "$T/wydanie" "$T/$folder/drzewo" >/dev/null
  drzewo_testu="$T/$folder/drzewo"
  [ "$opis" = "a linked parent folder" ] && { ln -sfn "$T/$folder" "$T/rodzic-link"; drzewo_testu="$T/rodzic-link/drzewo"; }
  if wyjscie=$(TMPDIR="$T/tmp2" "$KIT" -t "$drzewo_testu" -w "$T/praca-sciezki" -l "127.0.0.1:$PORT" start 2>&1); then
    [ "$oczekiwane" = serwuje ] || blad "$opis: started ($wyjscie)"
    [ "$(curl -s -o /dev/null -w '%{http_code}' "$URL")" = 401 ] || blad "$opis: served without credentials"
    wynik=$(podpis_poprawny "http://127.0.0.1:$PORT" /programy/wersja8/aktualne/_Kavrostel._exe \
              "$T/wydanie/_Kavrostel.exe") || blad "$opis: $wynik"
    TMPDIR="$T/tmp2" "$KIT" -w "$T/praca-sciezki" -l "127.0.0.1:$PORT" stop >/dev/null
    rm -rf "$T/praca-sciezki"
  else
    [ "$oczekiwane" = odmowa ] || blad "$opis: refused: $wyjscie"
    grep -q "cannot carry safely" <<<"$wyjscie" || blad "$opis: $wyjscie"
    [ "$(curl -s -o /dev/null -w '%{http_code}' "$URL")" = 000 ] || blad "$opis: something listens after the refusal"
    [ ! -e "$T/praca-sciezki" ] || blad "$opis: the refused start left its working folder"
  fi
  [ "$(hasla_tymczasowe)" = 0 ] || blad "$opis: a password folder stayed"
done <<'SCIEZKI'
a space|z spacja|serwuje
a linked parent folder|rodzic prawdziwy|serwuje
directives after a semicolon|x;satisfy any;allow all|odmowa
a closing brace|x}|odmowa
a double quote|x"y|odmowa
a variable|x$host|odmowa
SCIEZKI

# A start that fails after the configuration was accepted (the port is
# taken) leaves nothing either.
"${SERWER[@]}" start >/dev/null
if wyjscie=$(TMPDIR="$T/tmp2" "$KIT" -t "$T/drzewo" -w "$T/praca-zajety" -l "127.0.0.1:$PORT" start 2>&1); then
  blad "a second server started on a taken port"
fi
[ ! -e "$T/praca-zajety" ] || blad "the failed start left its working folder: $(ls -A "$T/praca-zajety")"
[ "$(hasla_tymczasowe)" = 0 ] || blad "the failed start left a password folder"
# A reload whose configuration nginx refuses keeps the running one.
cp "$T/praca/nginx.conf" "$T/nginx.conf.przed"
if "$KIT" -t "$T/drzewo" -w "$T/praca" -l "[zz]:$PORT" reload >/dev/null 2>&1; then
  blad "a reload with an address nginx cannot listen on"
fi
cmp -s "$T/nginx.conf.przed" "$T/praca/nginx.conf" || blad "a refused reload changed nginx.conf"
[ ! -e "$T/praca/nginx.conf.nowy" ] || blad "a refused configuration stayed"
[ "$(kod -u tamrix4:lorven905)" = 200 ] || blad "serving after a refused reload"
"${SERWER[@]}" stop >/dev/null

# ------------------------------------------------------------ passwords off the command line
# Every openssl the kit and the packer run, with its arguments, as ps shows them.
mkdir -p "$T/zapis"
cat >"$T/zapis/openssl" <<ZAPIS
#!/bin/sh
echo "\$*" >>"$T/argumenty"
exec /usr/bin/openssl "\$@"
ZAPIS
chmod +x "$T/zapis/openssl"
PATH="$T/zapis:$PATH" pakuj "$T/wydanie" "$T/drzewo" >/dev/null
PATH="$T/zapis:$PATH" "${SERWER[@]}" start >/dev/null
"${SERWER[@]}" stop >/dev/null
grep -q passwd "$T/argumenty" && grep -q -- '-sign' "$T/argumenty" || blad "the recording saw no openssl: $(cat "$T/argumenty")"
grep -e lorven905 -e tajne-haslo "$T/argumenty" && blad "a password on openssl's command line"

# ------------------------------------------------------------ a release switch under load
# The load benchmark, with new releases packed and switched while it runs:
# not one failed download, not one body that is not a release's whole file
# with its own digest, not one reply whose headers are of no release.
if ! wyjscie=$(KV_KLUCZ_PRYWATNY="" KV_LIMIT=512k KV_PRZELACZENIA=3 KV_ODSTEP=0.5 \
                 bash "$ZRODLA/bench/obciazenie_bench.sh" 16 160 1 60 2>&1); then
  blad "release switch under load: $wyjscie"
fi
grep -q "^errors: 0 " <<<"$wyjscie" && grep -q "^wrong bodies: 0$" <<<"$wyjscie" || blad "switch under load: $wyjscie"
widziane=$(sed -n 's/.*header sets seen: \([0-9]*\),.*/\1/p' <<<"$wyjscie")
[ "${widziane:-0}" -ge 2 ] || blad "no switch landed while the load ran: $wyjscie"
echo "$wyjscie" | tail -n 5
echo "server kit: all checks passed"
