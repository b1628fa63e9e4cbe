#!/usr/bin/env bash
# The whole installer as a user drives it: the real instalator binary under
# Xvfb, clicked with xdotool at the places of its controls, against the nginx
# server kit and a Wine prefix of its own.
#
#   tests/e2e/instalacja_e2e.sh INSTALATOR SOURCE_DIR OUT_DIR SERVER_URL
#
# INSTALATOR  the built binary (its Program/_Aktualizacja.exe lies next to it)
# SOURCE_DIR  the source tree (server kit, demonstration program)
# OUT_DIR     where screenshots and the server's logs are kept
# SERVER_URL  the base address the binary was built with (http://HOST:PORT/)
#
# Accepts the licence, installs, checks the program file byte for byte, the
# updater and both shortcut files (read by lnkinfo), removes the installation
# and checks that the prefix is as it was before; then, on a fresh start with
# only a stale shortcut, removes right after acceptance and checks that files
# of someone else on drive C: stay; a file damaged on the server and a man
# in the middle who replaces the program and its digest are refused with
# the installed program kept. The road from acceptance to the end is also
# taken with keys alone (klawiatura_droga). Screenshots go to OUT_DIR.
set -euo pipefail

INSTALATOR=$(realpath "$1")
ZRODLA=$(realpath "$2")
WYNIKI=$3
ADRES_URL=$4
mkdir -p "$WYNIKI"
: >"$WYNIKI/instalator.log"
WYNIKI=$(realpath "$WYNIKI")

blad() { echo "E2E FAILURE: $*" >&2; exit 1; }
krok() { echo "== $*"; }
. "$ZRODLA/tests/support/xvfb.sh"
. "$ZRODLA/tests/support/sterowanie.sh"
. "$ZRODLA/tests/e2e/wspolne.sh"

wymagaj Xvfb xdotool import convert lnkinfo nginx openssl python3 x86_64-w64-mingw32-g++
# The scratch folder; at the end the server's logs are kept in WYNIKI.
przebieg kv-e2e "$WYNIKI"

# ------------------------------------------------------------------ display
# A display of our own; an occupied number is skipped.
xvfb_uruchom "$tmp/xvfb.log" ${KV_E2E_EKRAN:-} 14 $(seq 140 149) || blad "no X server of our own"

# ------------------------------------------------------------------ server
krok "server"
# 8 MiB at 2 MiB/s: the bar is seen moving for about four seconds.
serwer_uruchom "$ADRES_URL" "$WYNIKI/demo" 2m

# ------------------------------------------------------------------ prefix
# Drive C: and the user's folders, laid out as Wine lays them out.
prefiks_bez_wine "$tmp/wine"
przed=$(stan_dysku)
miejsca_instalacji

# ------------------------------------------------------------------ installer
# Starts the installer and finds its window: sets pid_inst, L and T.
uruchom_instalator() {
  "$INSTALATOR" >>"$WYNIKI/instalator.log" 2>&1 &
  pid_inst=$!
  okno_instalatora "$pid_inst" "$WYNIKI/instalator.log" || blad "the installer's window"
  [ "$L" -eq 275 ] && [ "$T" -eq 220 ] || blad "the window is not centred on the 1280x800 screen"
}

akceptuj() {
  # The presentation ends with the pointer on the acceptance group, which is
  # enabled only then.
  czekaj_na_wskaznik 58 318 120 "the presentation did not end"
  sleep 0.3
  # "Akceptuję": the first item of RGAkceptacja (8,246 on PanelLic at 0,32).
  kliknij 50 307
  # The acceptance glides the pointer onto the program's name.
  czekaj_na_wskaznik 64 162 30 "no glide to the program choice"
  sleep 0.5
}
# "Zamknij": BBClose at 633,289 (80x30).
zamknij() { zamknij_instalator 673 338; }

krok "installer"
uruchom_instalator
# The presentation while the agreement is typed, and once it has ended (the
# same states are shot of the Windows build, to be seen side by side).
czekaj_na_wskaznik 50 72 30 "no glide onto the agreement list"
sleep 0.15
zdjecie licencja_pisanie
czekaj_na_wskaznik 58 318 120 "the presentation did not end"
sleep 0.5
zdjecie licencja
krok "accept"
akceptuj
zdjecie strona

krok "install"
zainstaluj

krok "check the installed files"
sprawdz_instalacje "Drive type			: Fixed (3)"

krok "remove the installation"
usun_instalacje "$przed"

krok "close"
zamknij

# ------------------------------------------------------------------ the keyboard alone
# The whole road again with keys only. "Uruchom" starts the program through
# wine: a stand-in on the PATH writes down what it was asked to start.
krok "the keyboard alone"
mkdir -p "$tmp/atrapy"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$tmp/uruchomione" >"$tmp/atrapy/wine"
chmod +x "$tmp/atrapy/wine"
uruchomiony_przez_wine() {
  uruchomiony() {
    [ -s "$tmp/uruchomione" ] && [ "$(realpath -m "$(head -n 1 "$tmp/uruchomione")")" = "$(realpath -m "$PROGRAM")" ]
  }
  czekaj_na 10 "Alt+R: the program started through wine" uruchomiony
}
sciezka=$PATH
PATH="$tmp/atrapy:$PATH"
uruchom_instalator
PATH=$sciezka
czekaj_na_wskaznik 58 318 120 "the presentation did not end"
sleep 0.3
klawiatura_droga "$przed" uruchomiony_przez_wine

# ------------------------------------------------------------------ removal without installation
# A stale desktop shortcut on a fresh start enables the removal while the
# installation folder is still the bare drive: files of someone else on the
# drive that bear the installation's names must stay.
krok "removal right after acceptance"
printf 'stary skrot' >"$SKROT_PULPIT"
mkdir -p "$WINEPREFIX/drive_c/Sterowniki/BDE"
printf 'cudzy program' >"$WINEPREFIX/drive_c/_Kavrostel.exe"
printf 'cudzy setup' >"$WINEPREFIX/drive_c/Sterowniki/BDE/setup.exe"
uruchom_instalator
akceptuj
# "Usunięcie instalacji", enabled by the shortcut found.
kliknij 531 338
nie_ma_skrotu() { [ ! -e "$SKROT_PULPIT" ]; }
czekaj_na 10 "the removal of the stale shortcut" nie_ma_skrotu
sleep 1
zdjecie usuniete_po_akceptacji
[ "$(cat "$WINEPREFIX/drive_c/_Kavrostel.exe")" = "cudzy program" ] || blad "C:\\_Kavrostel.exe was touched"
[ "$(cat "$WINEPREFIX/drive_c/Sterowniki/BDE/setup.exe")" = "cudzy setup" ] \
  || blad "C:\\Sterowniki\\BDE\\setup.exe was touched"
zamknij

# ------------------------------------------------------------------ a damaged file on the server
# An installed program, and a server whose copy no longer matches the
# digest it sends (a broken mirror): the download fails with its own
# notice, then "Instalacja przerwana.", and the installed program stays as
# it was, with nothing beside it.
krok "a damaged file on the server"
wymagaj tesseract
mkdir -p "$FOLDER"
cp "$WYNIKI/demo/_Kavrostel.exe" "$PROGRAM"
python3 - "$tmp/drzewo/programy/wersja8/aktualne/_Kavrostel._exe" <<'PY'
import sys
with open(sys.argv[1], "r+b") as plik:
    plik.seek(4 << 20)
    bajt = plik.read(1)
    plik.seek(4 << 20)
    plik.write(bytes([bajt[0] ^ 0x5A]))
PY
zadania_przed=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe' "$tmp/serwer/access.log" || true)

uruchom_instalator
akceptuj
kliknij 345 338
# The notices, found by their titles: the notice box carries its caption,
# the standard message dialog the application's title.
zamknij_okno "Uwaga!" uszkodzony_zastapienie "zostanie"
sleep 1.5
zdjecie uszkodzony_pobieranie
zamknij_okno "Instalator" uszkodzony_blad "Nieudane pobranie pliku" "Repr-Digest"
zamknij_okno "Uwaga!" uszkodzony_przerwana "Instalacja przerwana"
sleep 0.5
zdjecie uszkodzony_koniec

cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the installed program changed"
zawartosc=$(cd "$FOLDER" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$zawartosc" = "./_Kavrostel.exe " ] || blad "the installation folder holds: $zawartosc"
[ ! -e "$SKROT_PULPIT" ] && [ ! -e "$SKROT_MENU" ] || blad "shortcuts were made after a failed download"
zadania=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe' "$tmp/serwer/access.log" || true)
[ "$zadania" -eq $((zadania_przed + 1)) ] || blad "expected one more request of the program file, saw $((zadania - zadania_przed))"
zamknij

# ------------------------------------------------------------------ a man in the middle
# The release packed again whole; on the installer's address a proxy that
# puts another program in the reply with that program's own digest (the
# maker's signature no longer covers it): refused, the installed program
# kept.
krok "a man in the middle"
klucz_podpisu
bash "$ZRODLA/server/pakuj.sh" -k "$KV_KLUCZ_PRYWATNY" -i "$KV_KLUCZ_ID" -b "$baza" "$tmp/wydanie" "$tmp/drzewo" >/dev/null
mitm_uruchom "$(dirname "$INSTALATOR")/Program/_Aktualizacja.exe"
uruchom_instalator
akceptuj
sprawdz_odmowe_mitm mitm
zamknij
echo "E2E OK"
