#!/usr/bin/env bash
# The signed release medium, as CI builds it: a throw-away self-signed
# code-signing certificate made with openssl, the medium built and signed
# with it by scripts/nosnik.sh, and the signatures checked by osslsigncode.
#
#   tests/nosnik/nosnik_test.sh WINDOWS_BUILD_DIR OUT_DIR
#
# Checks: both programs carry a signature that verifies against the
# certificate and against nothing else; a changed byte breaks it; a key
# with a password signs too; the zip holds exactly the folder.
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
echo "MEDIUM OK: $(stat -c %s "$wyjscie/Kavrostel8/instalator.exe") bytes signed, zip $(stat -c %s "$wyjscie/Kavrostel8.zip") bytes"
