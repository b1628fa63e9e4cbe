#!/usr/bin/env bash
# Builds the distribution server's tree from a release folder.
#
#   server/pakuj.sh RELEASE_DIR TREE_DIR
#
# Every file of the release (subfolders included) is copied to
# TREE_DIR/programy/wersja8/aktualne/ with "._" before its extension, the way
# the installer asks for it: RELEASE_DIR/_Kavrostel.exe is served as
# programy/wersja8/aktualne/_Kavrostel._exe. A file without an extension keeps
# its name. The new folder replaces the old one only once it is complete, so
# a running server never serves half a release.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 RELEASE_DIR TREE_DIR" >&2
  exit 2
fi
zrodlo=$1
drzewo=$2
if [ ! -d "$zrodlo" ]; then
  echo "$0: release folder not found: $zrodlo" >&2
  exit 1
fi
if [ ! -f "$zrodlo/_Kavrostel.exe" ]; then
  echo "$0: warning: the release has no _Kavrostel.exe; the installer will get 404" >&2
fi

wersja="$drzewo/programy/wersja8"
mkdir -p "$wersja"
nowy=$(mktemp -d "$wersja/.aktualne.XXXXXX")
trap 'rm -rf "$nowy"' EXIT

# The name on the server: "name.ext" -> "name._ext"; ".hidden" and "name"
# have no extension and stay as they are.
nazwa_na_serwerze() {
  local nazwa=$1
  local rdzen=${nazwa%.*}
  if [ "$rdzen" = "$nazwa" ] || [ -z "$rdzen" ]; then
    printf '%s' "$nazwa"
  else
    printf '%s._%s' "$rdzen" "${nazwa##*.}"
  fi
}

liczba=0
while IFS= read -r -d '' plik; do
  wzgledna=${plik#"$zrodlo"/}
  folder=$(dirname "$wzgledna")
  cel_folder="$nowy"
  [ "$folder" != "." ] && cel_folder="$nowy/$folder"
  mkdir -p "$cel_folder"
  cel="$cel_folder/$(nazwa_na_serwerze "$(basename "$wzgledna")")"
  cp -- "$plik" "$cel"
  chmod 0644 "$cel"
  echo "$wzgledna -> programy/wersja8/aktualne/${cel#"$nowy"/}"
  liczba=$((liczba + 1))
done < <(find "$zrodlo" -type f -print0 | sort -z)

chmod 0755 "$nowy"
if [ -e "$wersja/aktualne" ]; then
  stary="$wersja/.aktualne.stary.$$"
  mv "$wersja/aktualne" "$stary"
  mv "$nowy" "$wersja/aktualne"
  rm -rf "$stary"
else
  mv "$nowy" "$wersja/aktualne"
fi
trap - EXIT
echo "$liczba file(s) packed into $wersja/aktualne"
