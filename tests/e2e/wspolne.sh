# Shell helpers for the two end-to-end tests, of the Linux build
# (instalacja_e2e.sh) and of the Windows build under Wine
# (instalacja_win32_e2e.sh): the steps both take on the installation page and
# the checks of what the installer leaves on drive C: and in the server's
# log. Source it after tests/support/sterowanie.sh; it sets nothing by itself.
#
# Besides what sterowanie.sh takes: INSTALATOR, the installer (its Program
# folder holds the updater it copies); WINEPREFIX, PULPIT and PROGRAMY, the
# prefix and the user's desktop and Start-menu programs in it; tmp/serwer,
# the server's working folder, and WYNIKI/demo, the program it serves
# (serwer_uruchom).

# miejsca_instalacji
# Sets where the installation goes: FOLDER, PROGRAM (the program file in
# it), SKROT_PULPIT and SKROT_MENU (the two shortcuts).
miejsca_instalacji() {
  FOLDER="$WINEPREFIX/drive_c/KV-Tek/Kavrostel8"
  PROGRAM="$FOLDER/_Kavrostel.exe"
  SKROT_PULPIT="$PULPIT/_Kavrostel 8.lnk"
  SKROT_MENU="$PROGRAMY/Orveliane/_Kavrostel 8.lnk"
}

# stan_dysku [PATTERN...]
# What lies on drive C:, one path a line, sorted; without what lies at or
# below the paths matching a PATTERN (find -path).
stan_dysku() {
  local pomin=() wzor
  for wzor in "$@"; do pomin+=(-path "$wzor" -prune -o); done
  (cd "$WINEPREFIX/drive_c" && find . "${pomin[@]}" -print | sort)
}

skroty_gotowe() { [ -e "$SKROT_PULPIT" ] && [ -e "$SKROT_MENU" ]; }
usuniete() { [ ! -e "$WINEPREFIX/drive_c/KV-Tek" ] && [ ! -e "$SKROT_PULPIT" ] && [ ! -e "$SKROT_MENU" ]; }

# zainstaluj
# "Instaluj" on the installation page: the download is shot while the bar
# moves, when no shortcut may exist yet; then, once both shortcuts are there
# (within 60 s), the completion view.
zainstaluj() {
  # "Instaluj": BBInstal at 243,289 (204x30) on PanelInstalacji at 0,34.
  kliknij 345 338
  sleep 1.5
  zdjecie pobieranie
  [ ! -e "$SKROT_MENU" ] || blad "the shortcuts exist before the download has ended"
  czekaj_na 60 "the shortcuts after the download" skroty_gotowe
  sleep 1
  zdjecie koniec
}

# sprawdz_instalacje [FIELD...]
# What the installation left: the program byte for byte as the server has
# it, the updater as the installer's medium has it and nothing else in the
# folder; one successful GET of the program file in the server's log, with
# the credentials of tamrix4; both shortcuts (sprawdz_skrot, with FIELDs).
sprawdz_instalacje() {
  local zawartosc dostep
  cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the program file differs from the server's"
  cmp "$FOLDER/_Aktualizacja.exe" "$(dirname "$INSTALATOR")/Program/_Aktualizacja.exe" \
    || blad "the updater copy differs from the installer's medium"
  zawartosc=$(cd "$FOLDER" && find . -mindepth 1 | sort | tr '\n' ' ')
  [ "$zawartosc" = "./_Aktualizacja.exe ./_Kavrostel.exe " ] || blad "the installation folder holds: $zawartosc"
  dostep=$(grep -c 'GET /programy/wersja8/aktualne/_Kavrostel._exe HTTP/1.1" 200' "$tmp/serwer/access.log" || true)
  [ "$dostep" -eq 1 ] || blad "expected one successful GET of the program file, saw $dostep"
  grep -q '^127.0.0.1 - tamrix4 ' "$tmp/serwer/access.log" || blad "the request carried no Basic credentials of tamrix4"
  sprawdz_skrot "$SKROT_PULPIT" "$@"
  sprawdz_skrot "$SKROT_MENU" "$@"
}

# sprawdz_skrot FILE [FIELD...]
# A shortcut as lnkinfo reads it: the program's path, its folder as the
# working directory, the description, and every FIELD (a line of lnkinfo's
# output); the show command and the hot key from the header.
sprawdz_skrot() {
  local plik=$1 opis pole
  shift
  opis=$(lnkinfo "$plik") || blad "lnkinfo cannot read $plik"
  for pole in "Local path			: C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe" \
              "Working directory		: C:\\KV-Tek\\Kavrostel8" \
              "Description			: Skrót do programu Vestra _Kavrostel 8.0" \
              "$@"; do
    grep -qF "$pole" <<<"$opis" || blad "$plik: no '$pole' in lnkinfo's output:
$opis"
  done
  # lnkinfo 20181227 prints 0 for both whatever the file holds: the show
  # command (1) and the hot key (Ctrl+Alt+K) are read at their offsets.
  [ "$(od -An -tx1 -j60 -N4 "$plik" | tr -d ' ')" = "01000000" ] || blad "$plik: show command"
  [ "$(od -An -tx1 -j64 -N2 "$plik" | tr -d ' ')" = "4b06" ] || blad "$plik: hot key"
}

# usun_instalacje BEFORE [PATTERN...]
# "Usunięcie instalacji" below the completion view: waits (20 s) for the
# folders and both shortcuts to go, shoots the page, and checks that drive
# C: is as it was before the installation (BEFORE, stan_dysku with the same
# PATTERNs).
usun_instalacje() {
  local przed=$1 po
  shift
  # "Usunięcie instalacji": BBDeinstal at 450,289 (162x30).
  kliknij 531 338
  czekaj_na 20 "the removal" usuniete
  sleep 1
  zdjecie usuniete
  po=$(stan_dysku "$@")
  [ "$przed" = "$po" ] || blad "the removal left something behind:
$(diff <(echo "$przed") <(echo "$po"))"
}

# mitm_uruchom FOREIGN_FILE
# A man in the middle on the installer's address: the server kit moves to a
# free port (same tree, same working folder), and on hostport a proxy
# (tests/support/posrednik_mitm.py) passes every request on but answers the
# program file with FOREIGN_FILE and its own Repr-Digest, the maker's
# signature kept. Sets pid_mitm (sprzataj ends it).
mitm_uruchom() {
  local obcy=$1 wolny
  wolny=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  bash "$ZRODLA/server/serwer.sh" -w "$tmp/serwer" -l "$hostport" stop >/dev/null
  bash "$ZRODLA/server/serwer.sh" -t "$tmp/drzewo" -w "$tmp/serwer" -l "127.0.0.1:$wolny" start >/dev/null
  python3 "$ZRODLA/tests/support/posrednik_mitm.py" "${hostport##*:}" "127.0.0.1:$wolny" "$obcy" \
    >"$tmp/mitm.log" 2>&1 &
  pid_mitm=$!
  for _ in $(seq 1 100); do grep -q '^ready' "$tmp/mitm.log" && return 0; sleep 0.1; done
  blad "the man in the middle did not start: $(cat "$tmp/mitm.log")"
}

# sprawdz_odmowe_mitm NAME
# "Instaluj" over an installed program, through the man in the middle: the
# notice of the replacement, the failed download with a Polish reason, then
# "Instalacja przerwana."; the installed program stays byte for byte, with
# nothing beside it, and no shortcut is made. Screenshots NAME_*.
sprawdz_odmowe_mitm() {
  local nazwa=$1 zawartosc
  # "Instaluj": BBInstal at 243,289 (204x30) on PanelInstalacji at 0,34.
  kliknij 345 338
  zamknij_okno "Uwaga!" "${nazwa}_zastapienie" "zostanie"
  zamknij_okno "Instalator" "${nazwa}_blad" "Nieudane pobranie pliku"
  zamknij_okno "Uwaga!" "${nazwa}_przerwana" "Instalacja przerwana"
  sleep 0.5
  zdjecie "${nazwa}_koniec"
  cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "the man in the middle changed the installed program"
  zawartosc=$(cd "$FOLDER" && find . -mindepth 1 | sort | tr '\n' ' ')
  [ "$zawartosc" = "./_Kavrostel.exe " ] || blad "the installation folder holds: $zawartosc"
  [ ! -e "$SKROT_PULPIT" ] && [ ! -e "$SKROT_MENU" ] || blad "shortcuts were made after a forged download"
  grep -q 'GET /programy/wersja8/aktualne/_Kavrostel._exe' "$tmp/mitm.log" || blad "the request did not pass the proxy"
}

# klawisz KEY...
# Keys to the installer's window (OKNO, found by its title) and nothing
# else: the X focus is set on it, no pointer event is sent. xdotool's "alt"
# is the left Alt.
klawisz() {
  xdotool windowfocus "$OKNO" 2>/dev/null || true
  sleep 0.1
  xdotool key --delay 120 "$@"
  sleep 0.4
}

# klawiatura_droga BEFORE URUCHOMIONY [PATTERN...]
# The whole road from the keyboard alone, on the licence page once the
# presentation has ended: Alt+A accepts; Alt+F opens the folder dialog,
# Escape closes it; Alt+P twice leaves the desktop shortcut chosen, Alt+M
# drops the Start-menu one; Alt+I installs (the desktop shortcut only);
# Alt+R starts the program (URUCHOMIONY, a command, checks that it started
# and ends it); Alt+U removes; Tab, Tab and Space install again from where
# the focus went (both shortcuts, as the page chooses them anew); Alt+W goes back to the page, Alt+U removes
# there, Alt+W goes back to the licence, Alt+Z ends the installer. Drive C:
# must then be as it was (BEFORE, stan_dysku with the same PATTERNs).
# Screenshots klawiatura_*.png.
klawiatura_droga() {
  local przed=$1 uruchomiony=$2 dialog po
  shift 2
  OKNO=$(okno_o_tytule "Warunki licencji" 10) || blad "no window titled \"Warunki licencji\""
  klawisz alt+a
  czekaj_na_wskaznik 64 162 30 "Alt+A: no glide to the program choice"
  sleep 0.5
  zdjecie klawiatura_strona

  klawisz alt+f
  dialog=$(okno_o_tytule "Wskaż folder instalacji" 20) || blad "Alt+F opened no folder dialog"
  sleep 0.5
  zdjecie klawiatura_folder
  xdotool windowfocus "$dialog" 2>/dev/null || true
  sleep 0.1
  xdotool key Escape
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^Wskaż folder instalacji\$" 2>/dev/null | grep -qx "$dialog" || break
    sleep 0.1
  done
  xdotool search --onlyvisible --name "^Wskaż folder instalacji\$" 2>/dev/null | grep -qx "$dialog" \
    && blad "Escape did not close the folder dialog"

  klawisz alt+p alt+p alt+m
  zdjecie klawiatura_skroty
  klawisz alt+i
  tylko_pulpit() { [ -e "$PROGRAM" ] && [ -e "$SKROT_PULPIT" ]; }
  czekaj_na 60 "Alt+I: the program and the desktop shortcut" tylko_pulpit
  sleep 1
  [ ! -e "$SKROT_MENU" ] || blad "a Start-menu shortcut though Alt+M unchecked its box"
  cmp "$PROGRAM" "$WYNIKI/demo/_Kavrostel.exe" || blad "Alt+I: the program file differs from the server's"
  zdjecie klawiatura_koniec

  klawisz alt+r
  "$uruchomiony"

  klawisz alt+u
  czekaj_na 20 "Alt+U: the removal" usuniete
  sleep 0.5
  zdjecie klawiatura_usuniete

  # The removal has disabled its own focused button: the focus has gone on
  # to "<< Wstecz", two Tabs reach "Instaluj" and Space presses it.
  klawisz Tab Tab space
  czekaj_na 60 "Tab, Tab, Space after the removal: the program and both shortcuts" skroty_gotowe
  sleep 1
  zdjecie klawiatura_ponownie

  klawisz alt+w
  sleep 0.3
  klawisz alt+u
  czekaj_na 20 "Alt+U on the page: the removal" usuniete
  po=$(stan_dysku "$@")
  [ "$przed" = "$po" ] || blad "the keyboard's road left something behind:
$(diff <(echo "$przed") <(echo "$po"))"
  klawisz alt+w
  sleep 0.5
  zdjecie klawiatura_licencja
  klawisz alt+z
  for _ in $(seq 1 100); do kill -0 "$pid_inst" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid_inst" 2>/dev/null && blad "Alt+Z did not end the installer"
  wait "$pid_inst" || blad "the installer ended with status $?"
  pid_inst=""
}
