// A form: a top-level window of this backend's class, without a title bar or
// a frame. BorderWidth is a plain inner border in the form's colour, made as
// the window's non-client area, so that the children's coordinates start
// inside it. Its modal loop, its drag and the keys that reach the model live
// here too.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "WidokWin32.h"

namespace {

// The form whose window this is, for the keys of a message loop.
constexpr wchar_t WLASCIWOSC_FORMY[] = L"KavrostelForma";

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

// The window's dots per inch: GetDpiForWindow where the system has it (from
// Windows 10 1607 on; looked up at run time so that the program still starts
// on older systems), else the screen's, which an older system applies to
// every window alike.
int DpiOkna(HWND okno) {
    using GetDpiForWindowF = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowF>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && okno)
        if (const UINT dpi = getDpiForWindow(okno); dpi > 0) return static_cast<int>(dpi);
    HDC ekran = GetDC(nullptr);
    const int dpi = ekran ? GetDeviceCaps(ekran, LOGPIXELSY) : 96;
    if (ekran) ReleaseDC(nullptr, ekran);
    return dpi > 0 ? dpi : 96;
}

HWND OknoWlasciciela(const TForm& forma) {
    const TForm* wlasciciel = forma.WlascicielOkna();
    const WidokWin32* widok = wlasciciel ? WidokWin32::Z(*wlasciciel) : nullptr;
    return widok ? widok->Okno() : nullptr;
}

class WidokFormy final : public WidokWin32, public IWidokFormy {
public:
    WidokFormy(ZasobyWin32& z, TForm& forma) : WidokWin32(z, forma), forma_(forma) {
        // Every other window of the installer belongs to the main one: it
        // stays above it and leaves no button of its own on the taskbar.
        const DWORD styl = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | (forma.Glowna ? WS_MINIMIZEBOX : 0);
        Utworz(KLASA_FORMY, styl, forma.Glowna ? WS_EX_APPWINDOW : 0, OknoWlasciciela(forma));
        SetPropW(okno_, WLASCIWOSC_FORMY, &forma_);
    }
    ~WidokFormy() override {
        if (okno_) RemovePropW(okno_, WLASCIWOSC_FORMY);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (!okno_) return;
        switch (co) {
        case TZmiana::Widocznosc:
            if (forma_.Visible) {
                ShowWindow(okno_, SW_SHOW);
                if (forma_.Glowna) SetForegroundWindow(okno_);
            } else {
                ShowWindow(okno_, SW_HIDE);
            }
            break;
        case TZmiana::Miejsce:
        case TZmiana::Ramka:
            // The border may have changed with the place: the client area is
            // computed anew.
        {
            const TProstokat m = forma_.MiejsceWidoku();
            SetWindowPos(okno_, nullptr, m.Left, m.Top, m.Width, m.Height,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
            Przytnij();
            break;
        case TZmiana::Zaokraglenie:
            Przytnij();
            break;
        case TZmiana::Fokus:
            PrzywrocFokus(forma_);
            break;
        case TZmiana::ModalResult:
            // Wakes a modal loop that waits for messages.
            PostMessageW(okno_, WM_NULL, 0, 0);
            break;
        default:
            WidokWin32::Zmiana(co, indeks);
        }
    }

    void PetlaModalna() override {
        if (!okno_) return;
        const std::weak_ptr<void> zyje = Zycie();
        // As a modal dialog does: the thread's other windows take no input
        // until the loop ends.
        DoWylaczenia wylaczone{okno_, {}};
        EnumThreadWindows(GetCurrentThreadId(), WylaczInne, reinterpret_cast<LPARAM>(&wylaczone));
        ZasobyWin32& z = z_;
        TForm& forma = forma_;
        while (!z.Zakonczona() && !zyje.expired() && forma.ModalResult == mrNone) {
            MSG komunikat;
            const BOOL wynik = GetMessageW(&komunikat, nullptr, 0, 0);
            if (wynik == 0) {
                z.Zakonczono(static_cast<int>(komunikat.wParam));
                PostQuitMessage(z.KodWyjscia());
                break;
            }
            if (wynik < 0) break;
            PrzetworzKomunikat(komunikat);
        }
        // Enabled again before the modal window hides, so that the system
        // gives the activation back to its owner.
        for (HWND okno : wylaczone.okna)
            if (IsWindow(okno)) EnableWindow(okno, TRUE);
    }

    void Przeciagnij() override {
        if (!okno_) return;
        const std::weak_ptr<void> zyje = Zycie();
        HWND okno = okno_;
        TForm& forma = forma_;
        ReleaseCapture();
        // The system's own move loop, as if the caption were dragged; it
        // returns when the button is released.
        SendMessageW(okno, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        RECT miejsce;
        if (!zyje.expired() && GetWindowRect(okno, &miejsce)) forma.ZdarzeniePrzesuniecia(miejsce.left, miejsce.top);
    }

    int Dpi() const override { return DpiOkna(okno_); }

protected:
    bool ZglaszaMysz() const override { return true; }

    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        const int ramka = forma_.RamkaWidoku();
        switch (msg) {
        case WM_NCCALCSIZE: {
            if (ramka <= 0) return false;
            RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
            InflateRect(r, -ramka, -ramka);
            wynik = 0;
            return true;
        }
        case WM_NCPAINT: {
            if (ramka <= 0) return false;
            HDC dc = GetWindowDC(okno_);
            RECT calosc;
            GetWindowRect(okno_, &calosc);
            OffsetRect(&calosc, -calosc.left, -calosc.top);
            ExcludeClipRect(dc, ramka, ramka, calosc.right - ramka, calosc.bottom - ramka);
            FillRect(dc, &calosc, z_.Pedzel(KolorTla(forma_)));
            ReleaseDC(okno_, dc);
            wynik = 0;
            return true;
        }
        case WM_ERASEBKGND: {
            RECT klient;
            GetClientRect(okno_, &klient);
            FillRect(reinterpret_cast<HDC>(wp), &klient, z_.Pedzel(KolorTla(forma_)));
            wynik = 1;
            return true;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(okno_, &ps);
            EndPaint(okno_, &ps);
            wynik = 0;
            if (forma_.Visible) forma_.ZdarzenieMalowania();
            return true;
        }
        case WM_CLOSE:
            wynik = 0;
            forma_.ZdarzenieZamkniecia();
            return true;
        case WM_DPICHANGED: {
            // Another monitor or another scale: the model lays the form out
            // again from its design at the new dpi, where the system proposes.
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            const TProstokat proponowane{r->left, r->top, r->right - r->left, r->bottom - r->top};
            wynik = 0;
            try {
                forma_.ZdarzenieZmianyDpi(HIWORD(wp), &proponowane);
            } catch (...) {
                BladWOknie();
            }
            return true;
        }
        case WM_MOVE: {
            RECT r;
            GetWindowRect(okno_, &r);
            forma_.ZdarzeniePrzesuniecia(r.left, r.top);
            return false;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) return false;
            // The focus goes back to the form's active control, not to the
            // window itself as the default handling would put it.
            wynik = 0;
            PrzywrocFokus(forma_);
            return true;
        default:
            return WidokWin32::Wlasny(msg, wp, lp, wynik);
        }
    }

private:
    // The window's region: its rectangle with the corners rounded by the
    // form's Zaokraglenie, made again only when that or the size changes.
    void Przytnij() {
        const TRozmiar e = forma_.ZaokraglenieWidoku();
        const TProstokat m = forma_.MiejsceWidoku();
        const TRozmiar rozmiar{m.Width, m.Height};
        if (e == zaokraglenie_ && rozmiar == przyciety_) return;
        zaokraglenie_ = e;
        przyciety_ = rozmiar;
        if (e.Width <= 0 && e.Height <= 0) {
            SetWindowRgn(okno_, nullptr, TRUE);
            return;
        }
        HRGN ksztalt = CreateRoundRectRgn(0, 0, rozmiar.Width, rozmiar.Height, e.Width, e.Height);
        // The window owns the region from here on.
        if (!SetWindowRgn(okno_, ksztalt, TRUE)) DeleteObject(ksztalt);
    }

    TForm& forma_;
    TRozmiar zaokraglenie_;
    TRozmiar przyciety_;
};

// The model's keys for the form whose window `korzen` is. True when the key
// was used.
bool KlawiszFormy(HWND korzen, const MSG& komunikat) {
    auto* forma = static_cast<TForm*>(GetPropW(korzen, WLASCIWOSC_FORMY));
    if (!forma || !IsWindowEnabled(korzen)) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (komunikat.message == WM_KEYDOWN) {
        switch (komunikat.wParam) {
        case VK_TAB:
            if (ctrl || alt) return false;
            return forma->ZdarzenieKlawisza(GetKeyState(VK_SHIFT) < 0 ? TKlawisz::TabWstecz : TKlawisz::Tab);
        case VK_RETURN:
            return forma->ZdarzenieKlawisza(TKlawisz::Enter);
        case VK_ESCAPE:
            return forma->ZdarzenieKlawisza(TKlawisz::Escape);
        case VK_LEFT:
            return forma->ZdarzenieKlawisza(TKlawisz::Lewo);
        case VK_UP:
            return forma->ZdarzenieKlawisza(TKlawisz::Gora);
        case VK_RIGHT:
            return forma->ZdarzenieKlawisza(TKlawisz::Prawo);
        case VK_DOWN:
            return forma->ZdarzenieKlawisza(TKlawisz::Dol);
        default:
            return false;
        }
    }
    if (komunikat.message == WM_SYSCHAR)
        return forma->ZdarzenieKlawiszaDostepu(
            static_cast<char16_t>(komunikat.wParam),
            {.lewyAlt = GetKeyState(VK_LMENU) < 0, .prawyAlt = GetKeyState(VK_RMENU) < 0, .ctrl = ctrl});
    return false;
}

}  // namespace

std::unique_ptr<IWidokFormy> UtworzWidokFormy(ZasobyWin32& z, TForm& forma) {
    return std::make_unique<WidokFormy>(z, forma);
}

void PrzetworzKomunikat(MSG& komunikat) {
    if ((komunikat.message == WM_KEYDOWN || komunikat.message == WM_SYSCHAR) && komunikat.hwnd) {
        try {
            if (KlawiszFormy(GetAncestor(komunikat.hwnd, GA_ROOT), komunikat)) return;
        } catch (...) {
            BladWOknie();
            return;
        }
    }
    TranslateMessage(&komunikat);
    DispatchMessageW(&komunikat);
}

void PrzywrocFokus(TForm& forma) {
    const WidokWin32* widokFormy = WidokWin32::Z(forma);
    HWND cel = nullptr;
    if (TControl* aktywna = forma.ActiveControl(); aktywna && aktywna->Dostepna())
        if (const WidokWin32* widok = WidokWin32::Z(*aktywna)) cel = widok->OknoFokusu();
    if (!cel && widokFormy) cel = widokFormy->Okno();
    if (!cel) return;
    // A control of a page lives in another form's window; the focus is set
    // when that window is the active one, and again whenever it becomes so.
    HWND korzen = GetAncestor(cel, GA_ROOT);
    if (!korzen || GetActiveWindow() != korzen) return;
    if (GetFocus() != cel) SetFocus(cel);
}
