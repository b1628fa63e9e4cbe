#!/usr/bin/env python3
"""The resources of the built instalator.exe, read back from the file with
icoutils (wrestool, icotool), as Explorer would find them: every resource
tagged Polish, the icon's five sizes (bitmaps up to 48 px, PNG at 256 px),
and the version information's fields.

    python3 zasoby_programu_test.py instalator.exe
"""
import os
import struct
import subprocess
import sys
import tempfile

POLSKI = 0x0415
OCZEKIWANE_POLA = {
    "CompanyName": "Pracownia Projektowa KV-Tek",
    "FileDescription": "Instalator programu Kavrostel 8.0",
    "FileVersion": "8.0.0.0",
    "InternalName": "instalator",
    "LegalCopyright": "© Pracownia Projektowa KV-Tek. Wszelkie prawa zastrzeżone.",
    "OriginalFilename": "instalator.exe",
    "ProductName": "Kavrostel 8.0 – wersja demonstracyjna",
    "ProductVersion": "8.0",
}
bledy = []


def sprawdz(warunek, opis):
    if not warunek:
        bledy.append(opis)


def wrestool(*argumenty):
    return subprocess.run(["wrestool", *argumenty], check=True, capture_output=True).stdout


def zasoby(plik):
    """(type, name, language) of every resource, as wrestool lists them."""
    wynik = []
    for wiersz in wrestool("-l", plik).decode().splitlines():
        pola = dict(p[2:].split("=", 1) for p in wiersz.split() if p.startswith("--"))
        wynik.append((pola["type"], pola["name"], int(pola["language"])))
    return wynik


def wezel(dane, poz):
    """One node of VS_VERSIONINFO: (key, value bytes, children, end)."""
    dlugosc, dl_wartosci, typ = struct.unpack_from("<HHH", dane, poz)
    koniec = poz + dlugosc
    k = poz + 6
    klucz_koniec = k
    while dane[klucz_koniec:klucz_koniec + 2] != b"\0\0":
        klucz_koniec += 2
    klucz = dane[k:klucz_koniec].decode("utf-16-le")
    k = (klucz_koniec + 2 + 3) & ~3
    # wValueLength counts characters for text values, bytes otherwise.
    rozmiar = dl_wartosci * 2 if typ == 1 else dl_wartosci
    wartosc = dane[k:k + rozmiar]
    k = (k + rozmiar + 3) & ~3
    dzieci = []
    while k < koniec:
        dziecko = wezel(dane, k)
        dzieci.append(dziecko)
        k = (dziecko[3] + 3) & ~3
    return klucz, wartosc, dzieci, koniec


def tekst(wartosc):
    return wartosc.decode("utf-16-le").rstrip("\0")


def main():
    plik = sys.argv[1]
    lista = zasoby(plik)
    typy = {t for t, _, _ in lista}
    # icon (3), group icon (14), version (16), manifest (24) and the pictures (RCDATA, 10).
    for typ in ("3", "14", "16", "24", "10"):
        sprawdz(typ in typy, f"no resource of type {typ}")
    for typ, nazwa, jezyk in lista:
        sprawdz(jezyk == POLSKI, f"resource {typ}/{nazwa} is tagged {jezyk}, not Polish (1045)")

    with tempfile.TemporaryDirectory() as folder:
        ikona = os.path.join(folder, "ikona.ico")
        grupy = [n for t, n, _ in lista if t == "14"]
        sprawdz(grupy[:1] == ["1"], f"the first icon group is {grupy[:1]}, not 1")
        with open(ikona, "wb") as f:
            f.write(wrestool("-x", "-t14", "-n1", plik))
        opis = subprocess.run(["icotool", "-l", ikona], check=True, capture_output=True).stdout.decode()
        rozmiary = sorted(int(p.split("=")[1]) for p in opis.split() if p.startswith("--width="))
        sprawdz(rozmiary == [16, 24, 32, 48, 256], f"icon sizes {rozmiary}")
        sprawdz(opis.count("--bit-depth=32") == 5, "not every size has 32-bit colour with alpha:\n" + opis)
        # The images themselves: bitmaps (a BITMAPINFOHEADER) up to 48 px,
        # PNG at 256 px, each a picture and not an empty square.
        dane = open(ikona, "rb").read()
        _, typ, ile = struct.unpack_from("<HHH", dane, 0)
        sprawdz(typ == 1 and ile == 5, f"icon header: type {typ}, {ile} images")
        for i in range(ile):
            szer, _, _, _, _, _, rozmiar, poz = struct.unpack_from("<BBBBHHII", dane, 6 + 16 * i)
            bok = szer or 256
            obraz = dane[poz:poz + rozmiar]
            if bok == 256:
                sprawdz(obraz[:8] == b"\x89PNG\r\n\x1a\n", "the 256 px image is not stored as PNG")
            else:
                sprawdz(struct.unpack_from("<I", obraz, 0)[0] == 40, f"the {bok} px image is not a bitmap")
                piksele = obraz[40:40 + bok * bok * 4]
                kolory = {piksele[k:k + 4] for k in range(0, len(piksele), 4)}
                sprawdz(len(kolory) > 3, f"the {bok} px image has only {len(kolory)} colours")

    wersja = wrestool("-x", "--raw", "-t16", "-n1", plik)
    klucz, stala, dzieci, _ = wezel(wersja, 0)
    sprawdz(klucz == "VS_VERSION_INFO", f"version block key {klucz!r}")
    podpis, _, plik_ms, plik_ls, prod_ms, prod_ls = struct.unpack_from("<IIIIII", stala, 0)
    sprawdz(podpis == 0xFEEF04BD, "no VS_FIXEDFILEINFO")
    sprawdz((plik_ms, plik_ls, prod_ms, prod_ls) == (0x80000, 0, 0x80000, 0), "binary version is not 8.0.0.0")
    bloki = {k: d for k, _, d, _ in dzieci}
    sprawdz(set(bloki) == {"StringFileInfo", "VarFileInfo"}, f"version blocks {sorted(bloki)}")
    tablice = bloki.get("StringFileInfo", [])
    sprawdz([t[0] for t in tablice] == ["041504B0"], f"string tables {[t[0] for t in tablice]}")
    pola = {k: tekst(w) for t in tablice for k, w, _, _ in t[2]}
    sprawdz(pola == OCZEKIWANE_POLA, f"version strings {pola}")
    tlumaczenia = [w for k, w, _, _ in bloki.get("VarFileInfo", []) if k == "Translation"]
    sprawdz(tlumaczenia == [struct.pack("<HH", POLSKI, 1200)], f"translation {tlumaczenia}")

    rozmiar = os.path.getsize(plik)
    sprawdz(rozmiar < 1024 * 1024, f"the program is {rozmiar} bytes, not under 1 MiB")
    print(f"{os.path.basename(plik)}: {len(lista)} resources, all Polish; {rozmiar} bytes")
    for b in bledy:
        print("FAIL:", b)
    return 1 if bledy else 0


if __name__ == "__main__":
    sys.exit(main())
