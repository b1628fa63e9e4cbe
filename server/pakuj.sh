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
#
# Each file's SHA-256 is computed here, from the packed copy, and listed in
# the release folder's .sumy-sha256 (one "sha-256=:BASE64:<TAB>path" a
# line); server/serwer.sh sends it with the file as its Repr-Digest header,
# which the installer checks before it replaces anything. A running server
# takes the new digests with "server/serwer.sh reload".
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 RELEASE_DIR TREE_DIR" >&2
  exit 2
fi
zrodlo=$1
drzewo=$2
MANIFEST=.sumy-sha256
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

# RFC 9530's form of a SHA-256: "sha-256=:" Base64 ":".
sha256() {
  printf 'sha-256=:%s:' "$(openssl dgst -sha256 -binary <"$1" | openssl base64 -A)"
}

liczba=0
# %P: the path below the release folder, however the folder was written
# ("out", "out/", "./out//").
while IFS= read -r -d '' wzgledna; do
  folder=$(dirname "$wzgledna")
  nazwa=$(nazwa_na_serwerze "$(basename "$wzgledna")")
  if [ "$folder" = "." ] && [ "$nazwa" = "$MANIFEST" ]; then
    echo "$0: a release file may not be called $MANIFEST: $wzgledna" >&2
    exit 1
  fi
  case $wzgledna in
    *$'\n'* | *$'\t'* | *$'\r'*)
      echo "$0: a file name with a line break or tab cannot be served: $wzgledna" >&2
      exit 1
      ;;
  esac
  cel_folder="$nowy"
  [ "$folder" != "." ] && cel_folder="$nowy/$folder"
  mkdir -p "$cel_folder"
  cel="$cel_folder/$nazwa"
  cp -- "$zrodlo/$wzgledna" "$cel"
  chmod 0644 "$cel"
  printf '%s\t%s\n' "$(sha256 "$cel")" "${cel#"$nowy"/}" >>"$nowy/$MANIFEST"
  echo "$wzgledna -> programy/wersja8/aktualne/${cel#"$nowy"/}"
  liczba=$((liczba + 1))
done < <(find "$zrodlo/" -type f -printf '%P\0' | sort -z)
touch "$nowy/$MANIFEST"
chmod 0644 "$nowy/$MANIFEST"

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
echo "$liczba file(s) packed into $wersja/aktualne, with their SHA-256 in $MANIFEST"
