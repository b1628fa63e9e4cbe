#!/usr/bin/env bash
# The installer's release medium, as a maker ships it: the folder Kavrostel8
# with instalator.exe and Program\_Aktualizacja.exe (the updater the
# installer copies next to the program), and a zip of that folder. Given a
# code-signing certificate and its key, both programs are signed first
# (Authenticode, with osslsigncode), so that Windows names the maker when
# the user starts the downloaded installer.
#
#   scripts/nosnik.sh [options] WINDOWS_BUILD_DIR OUT_DIR
#
#   -c CERT     the certificate (PEM or DER), with its chain when it has one
#   -k KEY      the certificate's private key (PEM or DER)
#   -x PFX      instead of -c and -k: a PKCS#12 file holding both
#   -t URL      an RFC 3161 time-stamping server (the signature then stays
#               valid after the certificate expires); none by default
#
# The key's password, when it has one, is read from the environment
# variable KV_HASLO_KLUCZA and handed to osslsigncode through a pipe, never
# on a command line or in a file.
# WINDOWS_BUILD_DIR is the cross build (build/windows): the programs are
# taken from its app/ folder. OUT_DIR receives Kavrostel8/ and Kavrostel8.zip;
# a run that fails or is interrupted leaves neither.
#
# An installer built without the maker's public keys (-DKAVROSTEL_KLUCZE)
# trusts only the throw-away key of its own build folder and is refused.
set -euo pipefail

uzycie() {
  sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

certyfikat="" klucz="" pfx="" znacznik_czasu=""
while getopts "c:k:x:t:h" opcja; do
  case $opcja in
    c) certyfikat=$OPTARG ;;
    k) klucz=$OPTARG ;;
    x) pfx=$OPTARG ;;
    t) znacznik_czasu=$OPTARG ;;
    *) uzycie ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 2 ] || uzycie
budowa=$1
wyjscie=$2

if [ -n "$certyfikat$klucz" ] && { [ -z "$certyfikat" ] || [ -z "$klucz" ]; }; then
  echo "$0: -c and -k go together" >&2
  exit 2
fi
if [ -n "$pfx" ] && [ -n "$certyfikat" ]; then
  echo "$0: -x or -c/-k, not both" >&2
  exit 2
fi

instalator="$budowa/app/instalator.exe"
aktualizacja="$budowa/app/Program/_Aktualizacja.exe"
for plik in "$instalator" "$aktualizacja"; do
  [ -f "$plik" ] || { echo "$0: not found: $plik (build the Windows program first)" >&2; exit 1; }
done

# The marker the build puts into an installer whose signing keys it made
# itself: that installer would refuse every release the maker signs.
if grep -a -q KAVROSTEL-KLUCZ-TYMCZASOWY "$instalator"; then
  echo "$0: $instalator was built with throw-away signing keys (made in its build folder, no" \
    "-DKAVROSTEL_KLUCZE given): it would install only releases signed with that build's own key." \
    "Build it with the maker's public key(s): cmake -DKAVROSTEL_KLUCZE=/path/keyid.pem ..." >&2
  exit 1
fi

mkdir -p "$wyjscie"
wyjscie=$(cd "$wyjscie" && pwd)
folder="$wyjscie/Kavrostel8"
rm -rf "$folder" "$wyjscie/Kavrostel8.zip"
# Whatever ends the run before the medium is whole (a failed signature,
# Ctrl-C, a kill) takes the half-made medium with it.
gotowe=nie
sprzatnij() {
  [ "$gotowe" = tak ] && return
  rm -rf -- "$folder" "$wyjscie/Kavrostel8.zip" "$wyjscie/.Kavrostel8.zip.tmp"
}
trap sprzatnij EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
mkdir -p "$folder/Program"
cp "$instalator" "$folder/instalator.exe"
cp "$aktualizacja" "$folder/Program/_Aktualizacja.exe"

podpisz() {  # file, description
  local plik=$1 opis=$2
  local argumenty=(sign -h sha256 -n "$opis" -i "http://www.kv-tek.example/")
  if [ -n "$pfx" ]; then argumenty+=(-pkcs12 "$pfx"); else argumenty+=(-certs "$certyfikat" -key "$klucz"); fi
  [ -n "$znacznik_czasu" ] && argumenty+=(-ts "$znacznik_czasu")
  local wynik=0
  if [ -n "${KV_HASLO_KLUCZA:-}" ]; then
    # printf is the shell's own: the password is on no command line.
    osslsigncode "${argumenty[@]}" -readpass /dev/fd/3 -in "$plik" -out "$plik.podpisany" >/dev/null \
      3< <(printf '%s' "$KV_HASLO_KLUCZA") || wynik=$?
  else
    osslsigncode "${argumenty[@]}" -in "$plik" -out "$plik.podpisany" >/dev/null || wynik=$?
  fi
  if [ "$wynik" -ne 0 ]; then
    rm -f "$plik.podpisany"
    echo "$0: signing $plik failed" >&2
    exit 1
  fi
  mv "$plik.podpisany" "$plik"
  echo "signed: $plik"
}

if [ -n "$pfx$certyfikat" ]; then
  command -v osslsigncode >/dev/null || { echo "$0: osslsigncode is missing (scripts/zaleznosci.sh)" >&2; exit 1; }
  podpisz "$folder/instalator.exe" "Instalator Kavrostel 8.0"
  podpisz "$folder/Program/_Aktualizacja.exe" "Aktualizacja Kavrostel 8.0"
fi

# The zip holds the folder itself, with the files' times but no owners.
(cd "$wyjscie" && zip -q -r -X .Kavrostel8.zip.tmp Kavrostel8 && mv -f .Kavrostel8.zip.tmp Kavrostel8.zip)
gotowe=tak
echo "medium: $folder"
echo "zip:    $wyjscie/Kavrostel8.zip ($(stat -c %s "$wyjscie/Kavrostel8.zip") bytes)"
echo "instalator.exe: $(stat -c %s "$folder/instalator.exe") bytes"
