#include "Win32Pomoc.h"

#include <objbase.h>

#include <cstdio>

namespace platforma {

std::u16string TekstBledu(DWORD kod, HMODULE modul) {
    wchar_t* bufor = nullptr;
    DWORD zrodlo = modul ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
    DWORD dlugosc = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | zrodlo | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   modul, kod, 0, reinterpret_cast<wchar_t*>(&bufor), 0, nullptr);
    if (dlugosc == 0 && modul) {
        // Codes outside the module's table may still be the system's.
        dlugosc = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, kod, 0, reinterpret_cast<wchar_t*>(&bufor), 0, nullptr);
    }
    std::u16string tekst;
    if (dlugosc > 0 && bufor) {
        tekst = ZSzerokiego(bufor, dlugosc);
    }
    if (bufor) {
        LocalFree(bufor);
    }
    while (!tekst.empty() && (tekst.back() == u'\r' || tekst.back() == u'\n' || tekst.back() == u' ')) {
        tekst.pop_back();
    }
    if (tekst.empty()) {
        char kodTekst[32];
        std::snprintf(kodTekst, sizeof kodTekst, "0x%08lX", static_cast<unsigned long>(kod));
        for (const char* z = kodTekst; *z; ++z) {
            tekst.push_back(static_cast<char16_t>(*z));
        }
    }
    return tekst;
}

namespace {

// Keeps the apartment for the life of the process; a thread that was
// already in another apartment is left as it was.
struct ApartamentCom {
    HRESULT wynik;
    ApartamentCom() : wynik(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ApartamentCom() {
        if (SUCCEEDED(wynik)) {
            CoUninitialize();
        }
    }
};

}  // namespace

void ZainicjujCom() {
    static ApartamentCom apartament;
    (void)apartament;
}

}  // namespace platforma
