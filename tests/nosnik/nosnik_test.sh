#!/usr/bin/env bash
# The signed release medium, as CI builds it: a throw-away self-signed
# code-signing certificate made with openssl, the medium built and signed
# with it by scripts/nosnik.sh, and the signatures checked by osslsigncode.
#
#   tests/nosnik/nosnik_test.sh WINDOWS_BUILD_DIR OUT_DIR
#
# Checks: both programs carry a signature that verifies against the
# certificate and against nothing else; a changed byte breaks it; a key
# with a password signs too; the zip holds exactly the folder; an installer
# built with throw-away release keys is refused; a failed run leaves nothing.
set -euo pipefail
ZRODLA=$(cd "$(dirname "$0")/../.." && pwd)
budowa=$1
wyjscie=$2
blad() { echo "MEDIUM FAILURE: $*" >&2; exit 1; }

for program in openssl osslsigncode zip unzip; do
  command -v "$program" >/dev/null || blad "$program is missing (bash scripts/zaleznosci.sh)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kv-nosnik.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# The test build pins a throw-away release key, which the medium refuses
# (below); the programs stand for a build with the maker's keys once the
# marker of such a build is overwritten (same length: the file stays valid).
ZNACZNIK=KAVROSTEL-KLUCZ-TYMCZASOWY
mkdir -p "$tmp/budowa/app/Program" "$tmp/tymczasowa/app/Program"
for program in instalator.exe Program/_Aktualizacja.exe; do
  sed "s/$ZNACZNIK/KAVROSTEL-KLUCZ-PRODUCENTA/g" "$budowa/app/$program" >"$tmp/budowa/app/$program"
  cp "$budowa/app/$program" "$tmp/tymczasowa/app/$program"
done
grep -a -q "$ZNACZNIK" "$tmp/tymczasowa/app/instalator.exe" || printf '%s' "$ZNACZNIK" >>"$tmp/tymczasowa/app/instalator.exe"
budowa="$tmp/budowa"

# A certificate for code signing, valid for a day, thrown away at the end.
openssl req -x509 -newkey rsa:3072 -sha256 -days 1 -nodes -keyout "$tmp/klucz.pem" -out "$tmp/cert.pem" \
  -subj "/CN=KV-Tek (test)/O=KV-Tek" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" 2>/dev/null

bash "$ZRODLA/scripts/nosnik.sh" -c "$tmp/cert.pem" -k "$tmp/klucz.pem" "$budowa" "$wyjscie"

sprawdz() {  # file
  osslsigncode verify -CAfile "$tmp/cert.pem" -in "$1" >"$tmp/weryfikacja.txt" 2>&1 \
    || blad "$1: the signature does not verify: $(cat "$tmp/weryfikacja.txt")"
  grep -q "Subject: /CN=KV-Tek (test)/O=KV-Tek" "$tmp/weryfikacja.txt" || blad "$1: signed by someone else"
  grep -q "Message digest algorithm  : SHA256" "$tmp/weryfikacja.txt" || blad "$1: not SHA-256"
  # Trusted only through our certificate, not by the system's authorities.
  if osslsigncode verify -CAfile /etc/ssl/certs/ca-certificates.crt -in "$1" >/dev/null 2>&1; then
    blad "$1: verifies without the test certificate"
  fi
  echo "signature verified: $1"
}
sprawdz "$wyjscie/Kavrostel8/instalator.exe"
sprawdz "$wyjscie/Kavrostel8/Program/_Aktualizacja.exe"

# One changed byte in the code breaks the signature.
cp "$wyjscie/Kavrostel8/instalator.exe" "$tmp/zmieniony.exe"
printf '\x90' | dd of="$tmp/zmieniony.exe" bs=1 seek=1200 conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$tmp/cert.pem" -in "$tmp/zmieniony.exe" >/dev/null 2>&1; then
  blad "a changed program still verifies"
fi

# The zip: the folder and nothing else, byte for byte the signed files.
lista=$(unzip -Z1 "$wyjscie/Kavrostel8.zip" | sort | tr '\n' ' ')
[ "$lista" = "Kavrostel8/ Kavrostel8/Program/ Kavrostel8/Program/_Aktualizacja.exe Kavrostel8/instalator.exe " ] \
  || blad "the zip holds: $lista"
mkdir "$tmp/rozpakowany"
unzip -q "$wyjscie/Kavrostel8.zip" -d "$tmp/rozpakowany"
cmp "$tmp/rozpakowany/Kavrostel8/instalator.exe" "$wyjscie/Kavrostel8/instalator.exe" || blad "the zip's installer differs"

# A key kept under a password signs as well; the password comes from the environment.
openssl pkey -in "$tmp/klucz.pem" -aes256 -passout pass:tajne-haslo -out "$tmp/klucz-haslo.pem"
KV_HASLO_KLUCZA=tajne-haslo bash "$ZRODLA/scripts/nosnik.sh" -c "$tmp/cert.pem" -k "$tmp/klucz-haslo.pem" \
  "$budowa" "$tmp/z-haslem" >/dev/null
osslsigncode verify -CAfile "$tmp/cert.pem" -in "$tmp/z-haslem/Kavrostel8/instalator.exe" >/dev/null 2>&1 \
  || blad "signing with a password-protected key failed"
# Refused, with the reason, and nothing made: an installer with throw-away
# keys; a signature that fails (a wrong password). Nothing is left in TMPDIR.
mkdir -m 0700 "$tmp/tmpdir"
if wynik=$(TMPDIR="$tmp/tmpdir" bash "$ZRODLA/scripts/nosnik.sh" -c "$tmp/cert.pem" -k "$tmp/klucz.pem" \
             "$tmp/tymczasowa" "$tmp/odmowa" 2>&1); then
  blad "an installer with throw-away keys was put on a medium"
fi
grep -q "throw-away signing keys" <<<"$wynik" || blad "the refusal does not say why: $wynik"
[ ! -e "$tmp/odmowa/Kavrostel8" ] && [ ! -e "$tmp/odmowa/Kavrostel8.zip" ] || blad "the refused medium was made"
if KV_HASLO_KLUCZA=zle TMPDIR="$tmp/tmpdir" bash "$ZRODLA/scripts/nosnik.sh" -c "$tmp/cert.pem" \
     -k "$tmp/klucz-haslo.pem" "$budowa" "$tmp/zle-haslo" >/dev/null 2>&1; then
  blad "a wrong password signed"
fi
[ -z "$(ls -A "$tmp/zle-haslo")" ] || blad "a failed medium left: $(ls -A "$tmp/zle-haslo")"
[ -z "$(ls -A "$tmp/tmpdir")" ] || blad "left in TMPDIR: $(ls -A "$tmp/tmpdir")"
# Interrupted while it signs (the signing tool stands still until the
# whole run is ended with SIGTERM): nothing stays either.
mkdir -p "$tmp/wolny"
cat >"$tmp/wolny/osslsigncode" <<WOLNY
#!/bin/sh
touch "$tmp/podpisuje"
exec sleep 30
WOLNY
chmod +x "$tmp/wolny/osslsigncode"
rm -f "$tmp/podpisuje"
KV_HASLO_KLUCZA=tajne-haslo PATH="$tmp/wolny:$PATH" TMPDIR="$tmp/tmpdir" setsid bash "$ZRODLA/scripts/nosnik.sh" \
  -c "$tmp/cert.pem" -k "$tmp/klucz-haslo.pem" "$budowa" "$tmp/przerwany" >/dev/null 2>&1 &
przerwany=$!
for _ in $(seq 1 100); do [ -e "$tmp/podpisuje" ] && break; sleep 0.1; done
[ -e "$tmp/podpisuje" ] || blad "the interrupted run never reached the signing"
kill -TERM -- "-$przerwany"
wait "$przerwany" 2>/dev/null && blad "the interrupted run says it succeeded"
[ -z "$(ls -A "$tmp/przerwany")" ] || blad "an interrupted medium left: $(ls -A "$tmp/przerwany")"
[ -z "$(ls -A "$tmp/tmpdir")" ] || blad "left in TMPDIR after the interruption: $(ls -A "$tmp/tmpdir")"
echo "MEDIUM OK: $(stat -c %s "$wyjscie/Kavrostel8/instalator.exe") bytes signed, zip $(stat -c %s "$wyjscie/Kavrostel8.zip") bytes"
