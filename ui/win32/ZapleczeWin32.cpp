#include "ZapleczeWin32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "Aplikacja.h"
#include "Czcionki.h"
#include "Obrazy.h"
#include "Win32Pomoc.h"
#include "WidokWin32.h"

using platforma::Szeroki;

namespace {

void ZarejestrujKlase(HINSTANCE instancja, const wchar_t* nazwa, WNDPROC procedura) {
    WNDCLASSEXW klasa{};
    klasa.cbSize = sizeof klasa;
    klasa.lpfnWndProc = procedura;
    klasa.hInstance = instancja;
    klasa.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    klasa.lpszClassName = nazwa;
    // A second backend in the same process (the tests make several) finds
    // the class already there.
    RegisterClassExW(&klasa);
}

struct DoWylaczenia {
    HWND modalne;
    std::vector<HWND> okna;
};

BOOL CALLBACK WylaczInne(HWND okno, LPARAM dane) {
    auto* d = reinterpret_cast<DoWylaczenia*>(dane);
    if (okno != d->modalne && IsWindowVisible(okno) && IsWindowEnabled(okno)) {
        EnableWindow(okno, FALSE);
        d->okna.push_back(okno);
    }
    return TRUE;
}

}  // namespace

ZapleczeWin32::ZapleczeWin32(HINSTANCE instancja) : instancja_(instancja) {
    platforma::ZainicjujCom();
    INITCOMMONCONTROLSEX kontrolki{sizeof kontrolki,
                                   ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&kontrolki);
    // The backend's own windows do everything in their views (subclasses);
    // the class itself only has the default handling.
    ZarejestrujKlase(instancja_, KLASA_FORMY, DefWindowProcW);
    ZarejestrujKlase(instancja_, KLASA_PANELU, DefWindowProcW);
    ZarejestrujKlase(instancja_, KLASA_OBRAZU, DefWindowProcW);
    ZarejestrujKlase(instancja_, KLASA_PRZECHOWALNI, ProcPrzechowalni);
    przechowalnia_ = CreateWindowExW(WS_EX_TOOLWINDOW, KLASA_PRZECHOWALNI, L"", WS_POPUP, 0, 0, 0, 0,
                                     nullptr, nullptr, instancja_, nullptr);
    SetWindowLongPtrW(przechowalnia_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    czcionki_ = std::make_unique<Czcionki>();
    obrazy_ = std::make_unique<Obrazy>(instancja_);
}

ZapleczeWin32::~ZapleczeWin32() {
    if (podpowiedzi_) DestroyWindow(podpowiedzi_);
    if (przechowalnia_) {
        SetWindowLongPtrW(przechowalnia_, GWLP_USERDATA, 0);
        DestroyWindow(przechowalnia_);
    }
    for (auto& [kolor, pedzel] : pedzle_) DeleteObject(pedzel);
}

LRESULT CALLBACK ZapleczeWin32::ProcPrzechowalni(HWND okno, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        auto* z = reinterpret_cast<ZapleczeWin32*>(GetWindowLongPtrW(okno, GWLP_USERDATA));
        if (!z) return 0;
        // A tick of a timer that has gone meanwhile finds nothing.
        const auto it = z->zegary_.find(wp);
        if (it == z->zegary_.end()) return 0;
        try {
            it->second->ZdarzenieTykniecia();
        } catch (...) {
            BladWOknie();
        }
        return 0;
    }
    return DefWindowProcW(okno, msg, wp, lp);
}

// ---------------------------------------------------------------- views

std::unique_ptr<IWidok> ZapleczeWin32::UtworzWidok(TComponent& s) {
    switch (s.Rodzaj()) {
    case TRodzaj::Forma:
        return UtworzWidokFormy(*this, static_cast<TForm&>(s));
    case TRodzaj::Panel:
        return UtworzWidokPanelu(*this, static_cast<TControl&>(s));
    case TRodzaj::Etykieta:
        return UtworzWidokEtykiety(*this, static_cast<TLabel&>(s));
    case TRodzaj::Obraz:
        return UtworzWidokObrazu(*this, static_cast<TImage&>(s));
    case TRodzaj::Ramka:
        return UtworzWidokRamki(*this, static_cast<TGroupBox&>(s));
    case TRodzaj::Przycisk:
        return UtworzWidokPrzycisku(*this, static_cast<TButton&>(s));
    case TRodzaj::PoleWyboru:
        return UtworzWidokPolaWyboru(*this, static_cast<TCheckBox&>(s));
    case TRodzaj::GrupaOpcji:
        return UtworzWidokGrupyOpcji(*this, static_cast<TRadioGroup&>(s));
    case TRodzaj::PoleEdycji:
        return UtworzWidokPolaEdycji(*this, static_cast<TEdit&>(s));
    case TRodzaj::Lista:
        return UtworzWidokListy(*this, static_cast<TListBox&>(s));
    case TRodzaj::PasekPostepu:
        return UtworzWidokPaska(*this, static_cast<TProgressBar&>(s));
    case TRodzaj::Zegar:
        return UtworzWidokZegara(*this, static_cast<TTimer&>(s));
    }
    return nullptr;
}

HWND ZapleczeWin32::Okno(const TControl& kontrolka) {
    auto* widok = dynamic_cast<WidokWin32*>(kontrolka.Widok());
    return widok ? widok->Okno() : nullptr;
}

HWND ZapleczeWin32::OknoGlowne() const {
    return Application && Application->MainForm ? Okno(*Application->MainForm) : nullptr;
}

HBRUSH ZapleczeWin32::Pedzel(COLORREF kolor) {
    auto it = pedzle_.find(kolor);
    if (it == pedzle_.end()) it = pedzle_.emplace(kolor, CreateSolidBrush(kolor)).first;
    return it->second;
}

void ZapleczeWin32::UstawPodpowiedz(HWND okno, const std::u16string& tekst) {
    if (tekst.empty()) {
        UsunPodpowiedz(okno);
        return;
    }
    if (!podpowiedzi_) {
        podpowiedzi_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, przechowalnia_,
                                       nullptr, instancja_, nullptr);
        SendMessageW(podpowiedzi_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    TTTOOLINFOW narzedzie{};
    narzedzie.cbSize = sizeof narzedzie;
    narzedzie.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    narzedzie.hwnd = okno;
    narzedzie.uId = reinterpret_cast<UINT_PTR>(okno);
    narzedzie.lpszText = const_cast<wchar_t*>(Szeroki(tekst));
    const bool jest = !narzedzia_.insert(okno).second;
    SendMessageW(podpowiedzi_, jest ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&narzedzie));
}

void ZapleczeWin32::UsunPodpowiedz(HWND okno) {
    if (!podpowiedzi_ || narzedzia_.erase(okno) == 0) return;
    TTTOOLINFOW narzedzie{};
    narzedzie.cbSize = sizeof narzedzie;
    narzedzie.hwnd = okno;
    narzedzie.uId = reinterpret_cast<UINT_PTR>(okno);
    SendMessageW(podpowiedzi_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&narzedzie));
}

UINT_PTR ZapleczeWin32::ZarejestrujZegar(TTimer& zegar) {
    const UINT_PTR id = nastepnyZegar_++;
    zegary_.emplace(id, &zegar);
    return id;
}

void ZapleczeWin32::WyrejestrujZegar(UINT_PTR id) {
    KillTimer(przechowalnia_, id);
    zegary_.erase(id);
}

void ZapleczeWin32::ZglosFokus(TControl* kontrolka, HWND okno) {
    // A control reports to the form it lies on (a page's button to the main
    // window); the window itself, or a control that takes no focus, to the
    // form of that window.
    TForm* forma = kontrolka ? kontrolka->Forma() : nullptr;
    if (!kontrolka) {
        WidokWin32* korzen = WidokWin32::Z(GetAncestor(okno, GA_ROOT));
        if (korzen && korzen->Kontrolka().Rodzaj() == TRodzaj::Forma) forma = static_cast<TForm*>(&korzen->Kontrolka());
    }
    if (forma) forma->ZdarzenieFokusu(kontrolka);
}

// ---------------------------------------------------------------- loops

bool ZapleczeWin32::Klawisz(const MSG& komunikat) {
    if (komunikat.message != WM_KEYDOWN && komunikat.message != WM_SYSCHAR) return false;
    if (!komunikat.hwnd) return false;
    try {
        return KlawiszFormy(*this, GetAncestor(komunikat.hwnd, GA_ROOT), komunikat);
    } catch (...) {
        BladWOknie();
        return true;
    }
}

void ZapleczeWin32::Przetworz(MSG& komunikat) {
    if (Klawisz(komunikat)) return;
    TranslateMessage(&komunikat);
    DispatchMessageW(&komunikat);
}

void ZapleczeWin32::Pompuj() {
    MSG komunikat;
    while (PeekMessageW(&komunikat, nullptr, 0, 0, PM_REMOVE)) {
        if (komunikat.message == WM_QUIT) {
            // The end was asked for inside a handler: every loop below this
            // one must see it too.
            koniec_ = true;
            kodWyjscia_ = static_cast<int>(komunikat.wParam);
            PostQuitMessage(kodWyjscia_);
            return;
        }
        Przetworz(komunikat);
    }
}

int ZapleczeWin32::PetlaGlowna() {
    MSG komunikat;
    while (!koniec_) {
        const BOOL wynik = GetMessageW(&komunikat, nullptr, 0, 0);
        if (wynik == 0) {
            koniec_ = true;
            kodWyjscia_ = static_cast<int>(komunikat.wParam);
            break;
        }
        if (wynik < 0) break;
        Przetworz(komunikat);
    }
    return kodWyjscia_;
}

void ZapleczeWin32::Zakoncz() {
    if (koniec_) return;
    koniec_ = true;
    PostQuitMessage(0);
}

void ZapleczeWin32::PetlaModalna(TForm& forma) {
    auto* widok = dynamic_cast<WidokWin32*>(forma.Widok());
    if (!widok || !widok->Okno()) return;
    const std::weak_ptr<void> zyje = widok->Zycie();
    // As a modal dialog does: the thread's other windows take no input until
    // the loop ends.
    DoWylaczenia wylaczone{widok->Okno(), {}};
    EnumThreadWindows(GetCurrentThreadId(), WylaczInne, reinterpret_cast<LPARAM>(&wylaczone));
    while (!koniec_ && !zyje.expired() && forma.ModalResult == mrNone) {
        MSG komunikat;
        const BOOL wynik = GetMessageW(&komunikat, nullptr, 0, 0);
        if (wynik == 0) {
            koniec_ = true;
            kodWyjscia_ = static_cast<int>(komunikat.wParam);
            PostQuitMessage(kodWyjscia_);
            break;
        }
        if (wynik < 0) break;
        Przetworz(komunikat);
    }
    // Enabled again before the modal window hides, so that the system gives
    // the activation back to its owner.
    for (HWND okno : wylaczone.okna)
        if (IsWindow(okno)) EnableWindow(okno, TRUE);
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

void ZapleczeWin32::OdmalujTeraz(TControl& kontrolka) {
    if (HWND okno = Okno(kontrolka)) RedrawWindow(okno, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ZapleczeWin32::UstawKsztalt(TForm& forma, int szerokosc, int wysokosc, int elipsaX, int elipsaY) {
    HWND okno = Okno(forma);
    if (!okno) return;
    HRGN ksztalt = CreateRoundRectRgn(0, 0, szerokosc, wysokosc, elipsaX, elipsaY);
    // The window owns the region from here on.
    if (!SetWindowRgn(okno, ksztalt, TRUE)) DeleteObject(ksztalt);
}

void ZapleczeWin32::PrzeciagnijOkno(TForm& forma) {
    auto* widok = dynamic_cast<WidokWin32*>(forma.Widok());
    if (!widok || !widok->Okno()) return;
    const std::weak_ptr<void> zyje = widok->Zycie();
    HWND okno = widok->Okno();
    ReleaseCapture();
    // The system's own move loop, as if the caption were dragged; it returns
    // when the button is released.
    SendMessageW(okno, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    RECT miejsce;
    if (!zyje.expired() && GetWindowRect(okno, &miejsce)) forma.ZdarzeniePrzesuniecia(miejsce.left, miejsce.top);
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
    // A bare drive ("C:") means that drive's root, not the current folder
    // the process happens to have on it.
    std::u16string folder = folderPoczatkowy;
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';

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
    HGDIOBJ poprzednia = SelectObject(dc, czcionki_->Daj(czcionka));
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
