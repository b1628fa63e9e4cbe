// The shell's own link object, for the comparison of the two link writers:
//   kv_lnk_com zapisz <fields file> <link>   writes the link through COM
//   kv_lnk_com czytaj <link>                  prints the fields read back
//                                             through IShellLinkW
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

#include "PlatformaWin32.h"
#include "OdczytSkrotu.h"
#include "PolaSkrotu.h"

namespace {

std::u16string U(const wchar_t* s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s));
}

bool CzytajPlik(const wchar_t* sciezka, std::string& tresc) {
    HANDLE h = CreateFileW(sciezka, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    char bufor[4096];
    DWORD n = 0;
    while (ReadFile(h, bufor, sizeof bufor, &n, nullptr) && n > 0) {
        tresc.append(bufor, n);
    }
    CloseHandle(h);
    return true;
}

void Wypisz(const std::string& tekst) {
    DWORD n = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), tekst.data(), static_cast<DWORD>(tekst.size()), &n, nullptr);
}

int Zapisz(const wchar_t* plikPol, const wchar_t* link) {
    std::string tresc;
    if (!CzytajPlik(plikPol, tresc)) {
        std::fprintf(stderr, "cannot read the fields file\n");
        return 2;
    }
    auto fabryka = platforma::UtworzFabrykeSkrotowWin32();
    auto obiekt = fabryka->Utworz();
    UstawPola(*obiekt, CzytajPola(tresc));
    return obiekt->Save(U(link), false) ? 0 : 1;
}

int Czytaj(const wchar_t* link) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    PolaSkrotu pola;
    if (!WczytajPrzezPowloke(link, pola)) {
        std::fprintf(stderr, "IShellLinkW could not load the link\n");
        return 1;
    }
    Wypisz(ZapiszPola(pola));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && lstrcmpW(argv[1], L"zapisz") == 0) {
        return Zapisz(argv[2], argv[3]);
    }
    if (argc == 3 && lstrcmpW(argv[1], L"czytaj") == 0) {
        return Czytaj(argv[2]);
    }
    std::fprintf(stderr, "usage: kv_lnk_com zapisz <fields> <link> | czytaj <link>\n");
    return 2;
}
