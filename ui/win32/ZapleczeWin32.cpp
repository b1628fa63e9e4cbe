#include "ZapleczeWin32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "Aplikacja.h"
#include "Win32Pomoc.h"

using platforma::Szeroki;

ZapleczeWin32::ZapleczeWin32(HINSTANCE instancja) : zasoby_(instancja) {}

ZapleczeWin32::~ZapleczeWin32() = default;

HWND ZapleczeWin32::Okno(const TControl& kontrolka) {
    const WidokWin32* widok = WidokWin32::Z(kontrolka);
    return widok ? widok->Okno() : nullptr;
}

HWND ZapleczeWin32::OknoGlowne() const {
    return Application && Application->MainForm ? Okno(*Application->MainForm) : nullptr;
}

// ---------------------------------------------------------------- loops

void ZapleczeWin32::Pompuj() {
    MSG komunikat;
    while (PeekMessageW(&komunikat, nullptr, 0, 0, PM_REMOVE)) {
        if (komunikat.message == WM_QUIT) {
            // The end was asked for inside a handler: every loop below this
            // one must see it too.
            zasoby_.Zakonczono(static_cast<int>(komunikat.wParam));
            PostQuitMessage(zasoby_.KodWyjscia());
            return;
        }
        PrzetworzKomunikat(komunikat);
    }
}

int ZapleczeWin32::PetlaGlowna() {
    MSG komunikat;
    while (!zasoby_.Zakonczona()) {
        const BOOL wynik = GetMessageW(&komunikat, nullptr, 0, 0);
        if (wynik == 0) {
            zasoby_.Zakonczono(static_cast<int>(komunikat.wParam));
            break;
        }
        if (wynik < 0) break;
        PrzetworzKomunikat(komunikat);
    }
    return zasoby_.KodWyjscia();
}

void ZapleczeWin32::Zakoncz() {
    if (zasoby_.Zakonczona()) return;
    zasoby_.Zakonczono(0);
    PostQuitMessage(0);
}

// ---------------------------------------------------------------- the system's services

void ZapleczeWin32::Spij(std::uint32_t milisekundy) { Sleep(milisekundy); }

platforma::PunktEkranu ZapleczeWin32::Pozycja() {
    POINT p{0, 0};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void ZapleczeWin32::Ustaw(platforma::PunktEkranu punkt) { SetCursorPos(punkt.x, punkt.y); }

bool ZapleczeWin32::AplikacjaAktywna() {
    HWND aktywne = GetForegroundWindow();
    if (!aktywne) return false;
    DWORD proces = 0;
    GetWindowThreadProcessId(aktywne, &proces);
    return proces == GetCurrentProcessId();
}

void ZapleczeWin32::KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) {
    MessageBoxW(OknoGlowne(), Szeroki(tekst), Szeroki(tytul), MB_OK);
}

void ZapleczeWin32::KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) {
    MessageBoxW(OknoGlowne(), Szeroki(tekst), Szeroki(tytul), MB_OK | MB_ICONERROR);
}

std::optional<std::u16string> ZapleczeWin32::DialogZapisu(TForm* wlasciciel, const std::u16string& tytul,
                                                          const std::u16string& nazwaPliku,
                                                          const std::u16string& folderPoczatkowy) {
    // Long paths fit: the buffer takes the longest path Windows knows.
    std::vector<wchar_t> plik(32768, L'\0');
    std::copy_n(Szeroki(nazwaPliku), std::min(nazwaPliku.size(), plik.size() - 1), plik.begin());
    const std::u16string& folder = folderPoczatkowy;

    OPENFILENAMEW opis{};
    opis.lStructSize = sizeof opis;
    opis.hwndOwner = wlasciciel ? Okno(*wlasciciel) : nullptr;
    if (!opis.hwndOwner) opis.hwndOwner = OknoGlowne();
    opis.lpstrFile = plik.data();
    opis.nMaxFile = static_cast<DWORD>(plik.size());
    opis.lpstrTitle = tytul.empty() ? nullptr : Szeroki(tytul);
    opis.lpstrInitialDir = folder.empty() ? nullptr : Szeroki(folder);
    // Only the folder of the chosen name is used: the file is neither
    // created to test it nor questioned when it exists.
    opis.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 OFN_PATHMUSTEXIST | OFN_NOTESTFILECREATE;
    if (!GetSaveFileNameW(&opis)) return std::nullopt;
    return platforma::ZSzerokiego(plik.data());
}

TRozmiar ZapleczeWin32::ZmierzTekst(const TFont& czcionka, const std::u16string& tekst,
                                     int szerokoscZawijania) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ poprzednia = SelectObject(dc, zasoby_.Fonty().Daj(czcionka));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int linia = std::max<int>(1, tm.tmHeight);
    // The same rules the static control draws with: DrawText breaks lines at
    // a carriage return, a line feed or both, and at words when wrapping.
    RECT obszar{0, 0, std::max(0, szerokoscZawijania), 0};
    if (!tekst.empty()) {
        const UINT sposob = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (szerokoscZawijania > 0 ? DT_WORDBREAK : 0);
        DrawTextW(dc, Szeroki(tekst), static_cast<int>(tekst.size()), &obszar, sposob);
    }
    SelectObject(dc, poprzednia);
    ReleaseDC(nullptr, dc);
    const int linie = std::max(1, (static_cast<int>(obszar.bottom - obszar.top) + linia - 1) / linia);
    return {szerokoscZawijania > 0 ? szerokoscZawijania : static_cast<int>(obszar.right - obszar.left),
            linie * linia};
}

TProstokat ZapleczeWin32::ObszarEkranu() {
    RECT obszar{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &obszar, 0);
    return {obszar.left, obszar.top, obszar.right - obszar.left, obszar.bottom - obszar.top};
}
