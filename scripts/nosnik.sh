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
# variable KV_HASLO_KLUCZA, never from the command line.
# WINDOWS_BUILD_DIR is the cross build (build/windows): the programs are
# taken from its app/ folder. OUT_DIR receives Kavrostel8/ and Kavrostel8.zip.
set -euo pipefail

uzycie() {
  sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//' >&2
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

mkdir -p "$wyjscie"
wyjscie=$(cd "$wyjscie" && pwd)
folder="$wyjscie/Kavrostel8"
rm -rf "$folder" "$wyjscie/Kavrostel8.zip"
mkdir -p "$folder/Program"
cp "$instalator" "$folder/instalator.exe"
cp "$aktualizacja" "$folder/Program/_Aktualizacja.exe"

podpisz() {  # file, description
  local plik=$1 opis=$2 haslo=""
  local argumenty=(sign -h sha256 -n "$opis" -i "http://www.kv-tek.example/")
  if [ -n "$pfx" ]; then argumenty+=(-pkcs12 "$pfx"); else argumenty+=(-certs "$certyfikat" -key "$klucz"); fi
  if [ -n "${KV_HASLO_KLUCZA:-}" ]; then
    haslo=$(mktemp)
    printf '%s' "$KV_HASLO_KLUCZA" >"$haslo"
    argumenty+=(-readpass "$haslo")
  fi
  [ -n "$znacznik_czasu" ] && argumenty+=(-ts "$znacznik_czasu")
  local wynik=0
  osslsigncode "${argumenty[@]}" -in "$plik" -out "$plik.podpisany" >/dev/null || wynik=$?
  [ -n "$haslo" ] && rm -f "$haslo"
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
(cd "$wyjscie" && zip -q -r -X Kavrostel8.zip Kavrostel8)
echo "medium: $folder"
echo "zip:    $wyjscie/Kavrostel8.zip ($(stat -c %s "$wyjscie/Kavrostel8.zip") bytes)"
echo "instalator.exe: $(stat -c %s "$folder/instalator.exe") bytes"
