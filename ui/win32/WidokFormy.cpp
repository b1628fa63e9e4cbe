// A form: a top-level window of this backend's class, without a title bar or
// a frame. BorderWidth is a plain inner border in the form's colour, made as
// the window's non-client area, so that the children's coordinates start
// inside it. The form's keyboard handling lives here too.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "Aplikacja.h"
#include "WidokWin32.h"
#include "ZapleczeWin32.h"

namespace {

class WidokFormy final : public WidokWin32 {
public:
    WidokFormy(ZapleczeWin32& z, TForm& forma) : WidokWin32(z, forma), forma_(forma) {
        HWND wlasciciel = nullptr;
        // Every other window of the installer belongs to the main one: it
        // stays above it and leaves no button of its own on the taskbar.
        if (!forma.Glowna && Application && Application->MainForm && Application->MainForm != &forma)
            wlasciciel = ZapleczeWin32::Okno(*Application->MainForm);
        const DWORD styl = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | (forma.Glowna ? WS_MINIMIZEBOX : 0);
        Utworz(KLASA_FORMY, styl, forma.Glowna ? WS_EX_APPWINDOW : 0, wlasciciel);
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
            // The border may have changed with the place: the client area is
            // computed anew.
            SetWindowPos(okno_, nullptr, forma_.Left, forma_.Top, forma_.Width, forma_.Height,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
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

protected:
    bool ZglaszaMysz() const override { return true; }

    void ZastosujWszystko() override {
        WidokWin32::ZastosujWszystko();
        SetWindowPos(okno_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }

    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        const int ramka = forma_.BorderWidth;
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
    TForm& forma_;
};

// The controls of a form that take the focus, in the tab order: children in
// the order of their TabOrder, each container's children in its place.
void ZbierzTabulacje(const TControl& rodzic, std::vector<TControl*>& wynik) {
    std::vector<TControl*> dzieci(rodzic.Controls().begin(), rodzic.Controls().end());
    std::stable_sort(dzieci.begin(), dzieci.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TControl* dziecko : dzieci) {
        if (!dziecko->Visible || !dziecko->Enabled) continue;
        if (WidokWin32::PrzyjmujeFokus(dziecko->Rodzaj())) {
            auto* widok = dynamic_cast<WidokWin32*>(dziecko->Widok());
            if (widok && widok->OknoFokusu()) wynik.push_back(dziecko);
        } else {
            ZbierzTabulacje(*dziecko, wynik);
        }
    }
}

void PrzejdzTabulacja(TForm& forma, bool wstecz) {
    std::vector<TControl*> kolejka;
    ZbierzTabulacje(forma, kolejka);
    if (kolejka.empty()) return;
    const TControl* teraz = WidokWin32::KontrolkaOkna(GetFocus());
    const auto it = std::find(kolejka.begin(), kolejka.end(), teraz);
    const std::size_t n = kolejka.size();
    std::size_t i;
    if (it == kolejka.end())
        i = wstecz ? n - 1 : 0;
    else
        i = (static_cast<std::size_t>(it - kolejka.begin()) + (wstecz ? n - 1 : 1)) % n;
    auto* widok = static_cast<WidokWin32*>(kolejka[i]->Widok());
    HWND cel = widok->OknoFokusu();
    SetFocus(cel);
    // As in a dialog: an edit entered with Tab has its text selected.
    if (kolejka[i]->Rodzaj() == TRodzaj::PoleEdycji) SendMessageW(cel, EM_SETSEL, 0, -1);
}

// The button or check box whose caption marks `znak` with "&".
HWND Mnemonik(const TControl& rodzic, wchar_t znak) {
    for (const TControl* dziecko : rodzic.Controls()) {
        if (!dziecko->Visible || !dziecko->Enabled) continue;
        if (dziecko->Rodzaj() == TRodzaj::Przycisk || dziecko->Rodzaj() == TRodzaj::PoleWyboru) {
            const std::u16string& napis = dziecko->Caption();
            for (std::size_t i = 0; i + 1 < napis.size(); ++i) {
                if (napis[i] != u'&') continue;
                if (napis[i + 1] != u'&' &&
                    std::towupper(static_cast<wint_t>(napis[i + 1])) == std::towupper(static_cast<wint_t>(znak)))
                    return ZapleczeWin32::Okno(*dziecko);
                ++i;  // "&&" is a plain "&"
            }
        }
        if (HWND znaleziony = Mnemonik(*dziecko, znak)) return znaleziony;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<IWidok> UtworzWidokFormy(ZapleczeWin32& z, TForm& forma) {
    return std::make_unique<WidokFormy>(z, forma);
}

void PrzywrocFokus(TForm& forma) {
    HWND okno = ZapleczeWin32::Okno(forma);
    HWND cel = nullptr;
    if (TControl* aktywna = forma.ActiveControl(); aktywna && aktywna->Dostepna())
        if (auto* widok = dynamic_cast<WidokWin32*>(aktywna->Widok())) cel = widok->OknoFokusu();
    if (!cel) cel = okno;
    if (!cel) return;
    // A control of a page lives in another form's window; the focus is set
    // when that window is the active one, and again whenever it becomes so.
    HWND korzen = GetAncestor(cel, GA_ROOT);
    if (!korzen || GetActiveWindow() != korzen) return;
    if (GetFocus() != cel) SetFocus(cel);
}

bool KlawiszFormy(ZapleczeWin32&, HWND korzen, const MSG& komunikat) {
    WidokWin32* widok = WidokWin32::Z(korzen);
    if (!widok || widok->Kontrolka().Rodzaj() != TRodzaj::Forma || !IsWindowEnabled(korzen)) return false;
    auto& forma = static_cast<TForm&>(widok->Kontrolka());
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (komunikat.message == WM_KEYDOWN) {
        switch (komunikat.wParam) {
        case VK_TAB:
            if (ctrl || alt) return false;
            PrzejdzTabulacja(forma, GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_RETURN:
            forma.ZdarzenieKlawisza(TKlawisz::Enter);
            return true;
        case VK_ESCAPE:
            forma.ZdarzenieKlawisza(TKlawisz::Escape);
            return true;
        case VK_LEFT:
        case VK_UP:
            return PrzesunWGrupieOpcji(GetFocus(), -1);
        case VK_RIGHT:
        case VK_DOWN:
            return PrzesunWGrupieOpcji(GetFocus(), 1);
        default:
            return false;
        }
    }
    if (komunikat.message == WM_SYSCHAR) {
        if (HWND cel = Mnemonik(forma, static_cast<wchar_t>(komunikat.wParam))) {
            SendMessageW(cel, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}
