#!/usr/bin/env bash
# Builds the distribution server's tree from a release folder, every file
# signed with the maker's private key.
#
#   server/pakuj.sh -k KEY_PEM -i KEYID [-b BASE_PATH] RELEASE_DIR TREE_DIR
#
#   -k KEY_PEM    the maker's P-256 private key (PEM); read, never copied.
#                 A key under a password asks for it once on the terminal,
#                 or reads it from descriptor N when KV_HASLO_FD=N is set.
#   -i KEYID      the key's name the installer knows it by (the file name
#                 of its public key without .pem)
#   -b BASE_PATH  the path of the installer's base address (default "/"):
#                 the signatures cover the whole request path
#
# Every regular file of the release (subfolders included; links and other
# special files are skipped) is copied to its own new folder
# TREE_DIR/programy/wersja8/.wydania/ID/ with "._" before its extension,
# the way the installer asks for it: RELEASE_DIR/_Kavrostel.exe is served as
# programy/wersja8/aktualne/_Kavrostel._exe. A file without an extension keeps
# its name. Once the release is complete, the link programy/wersja8/aktualne
# is pointed at it in one step; a packed release is never changed again.
#
# Each file's SHA-256 is computed here, from the packed copy, and signed
# (RFC 9421, ecdsa-p256-sha256, over its Repr-Digest and its request path);
# the release's .naglowki lists the headers server/serwer.sh sends with each
# file. A running server keeps serving the previous release, files and
# headers together, until "server/serwer.sh reload".
set -euo pipefail

MANIFEST=.naglowki
ETYKIETA=kavrostel
ALGORYTM=ecdsa-p256-sha256

# ---------------------------------------------------------------- signatures
# DER ECDSA-Sig-Value (stdin) -> RFC 9421's 64 bytes r||s, as Base64.
# openssl writes r and s as minimal DER integers: a leading 00 when the top
# bit is set, fewer than 32 bytes when the value is small.
der_na_rs() {
  local linie hex=() wiersz wartosc
  linie=$(openssl asn1parse -inform DER 2>/dev/null) || return 1
  while IFS= read -r wiersz; do
    case $wiersz in
      *"prim: INTEGER"*:*) ;;
      *) continue ;;
    esac
    wartosc=${wiersz##*:}
    wartosc=${wartosc//[[:space:]]/}
    [[ $wartosc =~ ^[0-9A-Fa-f]+$ ]] || return 1
    while [ "${#wartosc}" -gt 2 ] && [ "${wartosc:0:2}" = 00 ]; do wartosc=${wartosc:2}; done
    [ "${#wartosc}" -le 64 ] || return 1
    while [ "${#wartosc}" -lt 64 ]; do wartosc=0$wartosc; done
    hex+=("$wartosc")
  done <<<"$linie"
  [ "${#hex[@]}" -eq 2 ] || return 1
  printf '%b' "$(printf '%s%s' "${hex[0]}" "${hex[1]}" | sed 's/../\\x&/g')" | openssl base64 -A
}

# The request path of a file: BASE_PATH, then the packed path with every
# byte but the unreserved ones and "/" percent-encoded, as a client sends it.
sciezka_zadania() {
  local s=$1 i c wynik=""
  local LC_ALL=C
  for ((i = 0; i < ${#s}; i++)); do
    c=${s:i:1}
    case $c in
      [A-Za-z0-9._~/-]) wynik+=$c ;;
      *) wynik+=$(printf '%%%02X' "'$c") ;;
    esac
  done
  printf '%s' "$wynik"
}

# ---------------------------------------------------------------- names
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

glowna() {
  local klucz="" keyid="" baza=/
  local OPTIND opcja
  while getopts "k:i:b:h" opcja; do
    case $opcja in
      k) klucz=$OPTARG ;;
      i) keyid=$OPTARG ;;
      b) baza=$OPTARG ;;
      *) uzycie ;;
    esac
  done
  shift $((OPTIND - 1))
  [ $# -eq 2 ] || uzycie
  [ -n "$klucz" ] && [ -n "$keyid" ] || { echo "$0: -k KEY_PEM and -i KEYID are required: every release is signed" >&2; exit 2; }
  local zrodlo=$1 drzewo=$2

  [[ $keyid =~ ^[A-Za-z0-9._-]+$ ]] || blad "the keyid may hold letters, digits, '.', '_' and '-' only: $keyid"
  [ "${baza:0:1}" = / ] || baza=/$baza
  [ "${baza: -1}" = / ] || baza=$baza/
  [[ $baza =~ ^/([A-Za-z0-9._~-]+/)*$ ]] && ! [[ $baza =~ /\.\.?/ ]] ||
    blad "the base path may hold letters, digits, '.', '_', '~', '-' and '/' only, no . or .. parts: $baza"
  [ -f "$klucz" ] && [ -r "$klucz" ] || blad "the private key is not a readable file: $klucz"
  [ -d "$zrodlo" ] || blad "release folder not found: $zrodlo"
  [ -f "$zrodlo/_Kavrostel.exe" ] ||
    echo "$0: warning: the release has no _Kavrostel.exe; the installer will get 404" >&2

  # Run as root, a folder someone else owns or may write into could have a
  # link to a root-only file swapped in while it is packed.
  local ja
  ja=$(id -u)
  if [ "$ja" -eq 0 ]; then
    local cudzy
    cudzy=$(find "$zrodlo/" -type d \( ! -uid 0 -o -perm -0002 ! -perm -1000 -o -perm -0020 \) -print -quit)
    [ -z "$cudzy" ] || blad "run as root, a release folder must belong to root and be writable by root only: $cudzy" \
      "($(stat -c '%U, mode %a' -- "$cudzy"))"
  fi

  # The key's password, asked for once: each signature reads it from a
  # pipe, never from a file or the command line.
  local haslo="" zaszyfrowany=nie
  grep -q -e '^-----BEGIN ENCRYPTED ' -e '^Proc-Type: 4,ENCRYPTED' -- "$klucz" && zaszyfrowany=tak
  if [ "$zaszyfrowany" = tak ]; then
    if [ -n "${KV_HASLO_FD:-}" ]; then
      [[ $KV_HASLO_FD =~ ^[0-9]+$ ]] || blad "KV_HASLO_FD must be a descriptor number"
      IFS= read -r haslo <&"$KV_HASLO_FD" || [ -n "$haslo" ] || blad "no password on descriptor $KV_HASLO_FD"
    elif { : </dev/tty; } 2>/dev/null; then
      IFS= read -rs -p "Password of $klucz: " haslo </dev/tty
      echo >/dev/tty
    else
      blad "the key is under a password: give it on a terminal or on a descriptor (KV_HASLO_FD=N)"
    fi
  fi
  z_kluczem() {  # openssl command with the key's password on descriptor 3
    if [ "$zaszyfrowany" = tak ]; then
      "$@" -passin fd:3 3< <(printf '%s\n' "$haslo")
    else
      "$@"
    fi
  }
  local publiczny
  publiczny=$(z_kluczem openssl pkey -in "$klucz" -pubout 2>/dev/null) ||
    blad "cannot read the private key $klucz (wrong password?)"
  openssl pkey -pubin -noout -text <<<"$publiczny" 2>/dev/null | grep -q 'prime256v1' ||
    blad "the key is not a P-256 (prime256v1) EC key: $klucz"

  local wersja="$drzewo/programy/wersja8"
  mkdir -p "$wersja/.wydania"
  local id nowy
  id=$(date -u +%Y%m%dT%H%M%S%N)
  nowy=$(mktemp -d "$wersja/.wydania/$id.XXXXXX")
  id=$(basename "$nowy")
  trap 'rm -rf -- "$nowy"' EXIT
  local utworzony
  utworzony=$(date +%s)
  local parametry="(\"repr-digest\" \"@path\";req);created=$utworzony;keyid=\"$keyid\";alg=\"$ALGORYTM\""
  printf 'baza\t%s\n' "$baza" >"$nowy/$MANIFEST"

  local liczba=0 wzgledna folder nazwa cel_folder cel wezel urzadzenie wlasciciel teraz suma baza_podpisu podpis
  # %P: the path below the release folder, however the folder was written
  # ("out", "out/", "./out//"); -type f: regular files only, never a link.
  while IFS=' ' read -r -d '' wezel urzadzenie wlasciciel wzgledna; do
    folder=$(dirname "$wzgledna")
    nazwa=$(nazwa_na_serwerze "$(basename "$wzgledna")")
    case $wzgledna in
      *[[:cntrl:]]* | *[\"\'\\\$\;{}]*)
        blad "a file name with a control character, a quote, '\\', '\$', ';' or braces cannot be served: $wzgledna"
        ;;
    esac
    cel_folder="$nowy"
    [ "$folder" != "." ] && cel_folder="$nowy/$folder"
    mkdir -p "$cel_folder"
    cel="$cel_folder/$nazwa"
    [ "$folder" = "." ] && [ "$nazwa" = "$MANIFEST" ] && blad "a release file may not be called $MANIFEST"
    # Read through one descriptor, and only if it is still the regular file
    # found above: a link or another file swapped in since is refused.
    exec 4<"$zrodlo/$wzgledna" || blad "cannot open $wzgledna"
    teraz=$(stat -L -c '%F %i %d %u' /dev/fd/4)
    if [ "$teraz" != "regular file $wezel $urzadzenie $wlasciciel" ]; then
      exec 4<&-
      blad "$wzgledna changed while it was packed (now: $teraz); nothing was published"
    fi
    if [ "$ja" -eq 0 ] && [ "$wlasciciel" -ne 0 ]; then
      exec 4<&-
      blad "run as root, every release file must belong to root: $wzgledna belongs to user $wlasciciel"
    fi
    cat <&4 >"$cel"
    exec 4<&-
    chmod 0644 "$cel"
    suma=$(sha256 "$cel")
    baza_podpisu=$(printf '"repr-digest": %s\n"@path";req: %s\n"@signature-params": %s' \
                     "$suma" "$baza$(sciezka_zadania "programy/wersja8/aktualne/${cel#"$nowy"/}")" "$parametry")
    podpis=$(printf '%s' "$baza_podpisu" | z_kluczem openssl dgst -sha256 -sign "$klucz" | der_na_rs) ||
      blad "signing $wzgledna failed"
    printf 'plik\t%s\t%s\t%s=%s\t%s=:%s:\n' "${cel#"$nowy"/}" "$suma" "$ETYKIETA" "$parametry" "$ETYKIETA" "$podpis" \
      >>"$nowy/$MANIFEST"
    echo "$wzgledna -> programy/wersja8/aktualne/${cel#"$nowy"/}"
    liczba=$((liczba + 1))
  done < <(find "$zrodlo/" -type f -printf '%i %D %U %P\0' | sort -z -t ' ' -k 4)
  local pominiete
  pominiete=$(find "$zrodlo/" ! -type f ! -type d -printf '%P\n' | head -n 5)
  [ -z "$pominiete" ] || echo "$0: skipped, not regular files: $(tr '\n' ' ' <<<"$pominiete")" >&2
  chmod 0644 "$nowy/$MANIFEST"
  find "$nowy" -type d -exec chmod 0755 {} +

  # The switch: one rename of a link, so that the tree always names one
  # whole release.
  local link_nowy="$wersja/.aktualne.$id"
  ln -s ".wydania/$id" "$link_nowy"
  if [ -d "$wersja/aktualne" ] && [ ! -L "$wersja/aktualne" ]; then
    # A tree packed before releases had folders of their own.
    mv -- "$wersja/aktualne" "$wersja/.wydania/0-dawne"
  fi
  mv -T -- "$link_nowy" "$wersja/aktualne"
  trap - EXIT
  echo "$liczba file(s) packed and signed (keyid $keyid) into $wersja/.wydania/$id, now programy/wersja8/aktualne"
}

uzycie() {
  sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
blad() {
  echo "$0: $*" >&2
  exit 1
}

# Sourced by the tests for its helpers; run, it packs.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  glowna "$@"
fi
