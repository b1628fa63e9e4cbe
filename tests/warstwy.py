#!/usr/bin/env python3
"""The layers' includes run one way.

- Nothing in engine/ or ui/ includes a header of app/.
- No window toolkit's header outside its backend: Qt's headers only in
  ui/qt/, the Win32 user interface's only in ui/win32/ (the engine's WinHTTP
  client uses windows.h for the system's HTTP, which is no toolkit; the
  program's entry points in app/ choose the backend and are not checked).
- No include circles anywhere in ui/, the backends included: a unit is a
  header with its source file (ArkMain.h and ArkMain.cpp) in one folder, and
  unit A depends on unit B when a file of A includes B's header (looked up in
  A's own folder first, then anywhere in ui/).

    tests/warstwy.py SOURCE_DIR
"""
import re
import sys
from pathlib import Path

ZRODLA = Path(sys.argv[1])
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.M)
QT = re.compile(r'^(Q[A-Z][A-Za-z]*|Qt[A-Za-z]+/.*)$')
WIN32_UI = re.compile(r'^(windows\.h|windowsx\.h|commctrl\.h|commdlg\.h|winuser\.h)$', re.I)


def naglowki(plik):
    return INCLUDE.findall(plik.read_text(encoding="utf-8"))


def pliki(katalog, bez=()):
    for p in sorted((ZRODLA / katalog).rglob("*")):
        if p.suffix in (".h", ".cpp") and not any(str(p.relative_to(ZRODLA)).startswith(b) for b in bez):
            yield p


bledy = []
z_app = {p.name for p in (ZRODLA / "app").glob("*.h")}
for p in list(pliki("engine")) + list(pliki("ui")):
    wzgledna = str(p.relative_to(ZRODLA))
    for n in naglowki(p):
        if Path(n).name in z_app:
            bledy.append(f"{wzgledna} includes {n} of app/")
        if QT.match(n) and not wzgledna.startswith("ui/qt/"):
            bledy.append(f"{wzgledna} includes the toolkit header {n}")
        if WIN32_UI.match(n) and wzgledna.startswith("ui/") and not wzgledna.startswith("ui/win32/"):
            bledy.append(f"{wzgledna} includes the toolkit header {n}")

# The units of ui/, named by folder and stem.
def jednostka(p):
    return str(p.relative_to(ZRODLA).with_suffix(""))


jednostki = {}
for p in pliki("ui"):
    jednostki.setdefault(jednostka(p), set())


def cel_naglowka(p, n):
    """The unit whose header `n`, included by file `p`, is; None outside ui/."""
    stem = Path(n).stem
    tutaj = str(p.relative_to(ZRODLA).parent / stem)
    if tutaj in jednostki:
        return tutaj
    gdzie = [j for j in jednostki if Path(j).name == stem]
    return gdzie[0] if len(gdzie) == 1 else None


for p in pliki("ui"):
    for n in naglowki(p):
        cel = cel_naglowka(p, n)
        if cel and cel != jednostka(p):
            jednostki[jednostka(p)].add(cel)
def krag(od, sciezka, odwiedzone):
    for nastepna in sorted(jednostki[od]):
        if nastepna in sciezka:
            return sciezka[sciezka.index(nastepna):] + [nastepna]
        if nastepna not in odwiedzone:
            odwiedzone.add(nastepna)
            znaleziony = krag(nastepna, sciezka + [nastepna], odwiedzone)
            if znaleziony:
                return znaleziony
    return None


zgloszone = set()
for jednostka in sorted(jednostki):
    znaleziony = krag(jednostka, [jednostka], {jednostka})
    if znaleziony and frozenset(znaleziony) not in zgloszone:
        zgloszone.add(frozenset(znaleziony))
        bledy.append("include circle in ui/: " + " -> ".join(znaleziony))

for b in bledy:
    print(b)
print(f"{len(jednostki)} units of ui/ checked; {len(bledy)} problems")
sys.exit(1 if bledy else 0)
