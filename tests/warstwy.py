#!/usr/bin/env python3
"""The layers' includes run one way.

- Nothing in engine/ or ui/ includes a header of app/.
- Nothing in engine/ or ui/ (the forms and the model) includes a window
  toolkit's header (Qt's, or the Win32 user interface's); only the backends
  ui/qt/ and ui/win32/ may. (The engine's WinHTTP client uses windows.h for
  the system's HTTP, which is no toolkit.)
- No include circles between the units of ui/: a unit is a header with its
  source file (ArkMain.h and ArkMain.cpp), and unit A depends on unit B when a
  file of A includes B's header.

    tests/warstwy.py SOURCE_DIR
"""
import re
import sys
from pathlib import Path

ZRODLA = Path(sys.argv[1])
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.M)
QT = re.compile(r'^(Q[A-Z][A-Za-z]*|Qt[A-Za-z]+/.*)$')
WIN32_UI = re.compile(r'^(windows\.h|commctrl\.h|commdlg\.h|winuser\.h)$', re.I)


def naglowki(plik):
    return INCLUDE.findall(plik.read_text(encoding="utf-8"))


def pliki(katalog, bez=()):
    for p in sorted((ZRODLA / katalog).rglob("*")):
        if p.suffix in (".h", ".cpp") and not any(str(p.relative_to(ZRODLA)).startswith(b) for b in bez):
            yield p


bledy = []
z_app = {p.name for p in (ZRODLA / "app").glob("*.h")}
formularze = list(pliki("ui", bez=("ui/qt/", "ui/win32/")))
for p in list(pliki("engine")) + formularze:
    for n in naglowki(p):
        if Path(n).name in z_app:
            bledy.append(f"{p.relative_to(ZRODLA)} includes {n} of app/")
        if QT.match(n) or (p in formularze and WIN32_UI.match(n)):
            bledy.append(f"{p.relative_to(ZRODLA)} includes the toolkit header {n}")

# The units of ui/ (the forms; the model is one more unit below them).
jednostki = {}
for p in pliki("ui", bez=("ui/qt/", "ui/win32/")):
    jednostki.setdefault(p.stem, set())
for p in pliki("ui", bez=("ui/qt/", "ui/win32/")):
    for n in naglowki(p):
        cel = Path(n).stem
        if cel in jednostki and cel != p.stem:
            jednostki[p.stem].add(cel)


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


for jednostka in sorted(jednostki):
    znaleziony = krag(jednostka, [jednostka], {jednostka})
    if znaleziony:
        bledy.append("include circle in ui/: " + " -> ".join(znaleziony))
        break

for b in bledy:
    print(b)
print(f"{len(jednostki)} units of ui/ checked; {len(bledy)} problems")
sys.exit(1 if bledy else 0)
