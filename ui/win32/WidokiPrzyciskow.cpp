// Push buttons, check boxes and radio groups: the system's button class.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "Win32Pomoc.h"
#include "WidokWin32.h"

using platforma::Szeroki;

namespace {

bool KolorDomyslnyNapisu(TColor kolor) {
    return kolor == clDefault || kolor == clWindowText || kolor == clBtnText;
}

// The model's green check mark of a button with a glyph, from (x, y).
// `skala` turns the glyph's design pixels into the window's (TControl::Skaluj).
template <typename Skala>
void RysujZnakZatwierdzenia(HDC dc, int x, int y, bool wylaczony, Skala skala) {
    using Znak = TZnakZatwierdzenia;
    LOGBRUSH opis{BS_SOLID, wylaczony ? GetSysColor(COLOR_GRAYTEXT) : KolorWin32(Znak::Kolor, COLOR_BTNTEXT), 0};
    HPEN pioro =
        ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, skala(Znak::Grubosc), &opis, 0, nullptr);
    HGDIOBJ poprzednie = SelectObject(dc, pioro);
    POINT punkty[std::size(Znak::Punkty)];
    for (std::size_t i = 0; i < std::size(Znak::Punkty); ++i)
        punkty[i] = POINT{x + skala(Znak::Punkty[i].x), y + skala(Znak::Punkty[i].y)};
    Polyline(dc, punkty, static_cast<int>(std::size(punkty)));
    SelectObject(dc, poprzednie);
    DeleteObject(pioro);
}

// A push button. Its frame and face are the system's; a button with a glyph
// or with a coloured caption has its caption drawn here, at the
// custom-drawing stage the class offers for it.
class WidokPrzycisku final : public WidokWin32 {
public:
    WidokPrzycisku(ZasobyWin32& z, TButton& przycisk) : WidokWin32(z, przycisk), przycisk_(przycisk) {
        Utworz(WC_BUTTONW, WS_TABSTOP | (przycisk.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (!okno_) return;
        switch (co) {
        case TZmiana::Domyslny:
            SendMessageW(okno_, BM_SETSTYLE, przycisk_.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
            break;
        case TZmiana::Wcisniety:
            SendMessageW(okno_, BM_SETSTATE, przycisk_.Down ? TRUE : FALSE, 0);
            break;
        case TZmiana::Napis:
            WidokWin32::Zmiana(co, indeks);
            InvalidateRect(okno_, nullptr, TRUE);
            break;
        case TZmiana::Glif:
            InvalidateRect(okno_, nullptr, TRUE);
            break;
        default:
            WidokWin32::Zmiana(co, indeks);
        }
    }

protected:
    bool Odbity(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) != BN_CLICKED) return false;
            wynik = 0;
            przycisk_.ZdarzenieKlikniecia();
            return true;
        case WM_CTLCOLORBTN:
            wynik = KoloryKontrolki(reinterpret_cast<HDC>(wp));
            return true;
        case WM_NOTIFY: {
            auto* rysowanie = reinterpret_cast<NMCUSTOMDRAW*>(lp);
            if (rysowanie->hdr.code != NM_CUSTOMDRAW || !WlasnyNapis()) return false;
            if (rysowanie->dwDrawStage == CDDS_PREPAINT) {
                RysujNapis(rysowanie->hdc, rysowanie->rc, rysowanie->uItemState);
                wynik = CDRF_SKIPDEFAULT;
            } else {
                wynik = CDRF_DODEFAULT;
            }
            return true;
        }
        default:
            return false;
        }
    }

private:
    bool WlasnyNapis() const {
        return przycisk_.Glyph != TGlif::Brak || !KolorDomyslnyNapisu(przycisk_.Font().Color);
    }

    void RysujNapis(HDC dc, RECT obszar, UINT stan) {
        const bool wylaczony = (stan & CDIS_DISABLED) != 0;
        const LRESULT ui = SendMessageW(okno_, WM_QUERYUISTATE, 0, 0);
        RECT napis = obszar;
        if (SendMessageW(okno_, BM_GETSTATE, 0, 0) & BST_PUSHED) OffsetRect(&napis, 1, 1);
        if (przycisk_.Glyph == TGlif::Zatwierdzenie) {
            const auto skala = [this](int v) { return przycisk_.Skaluj(v); };
            RysujZnakZatwierdzenia(dc, napis.left + skala(2), (napis.top + napis.bottom) / 2 - skala(9), wylaczony,
                                   skala);
            napis.left += skala(2 + 18);
        }
        HGDIOBJ poprzednia = SelectObject(dc, Czcionka());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, wylaczony ? GetSysColor(COLOR_GRAYTEXT)
                                   : KolorWin32(przycisk_.Font().Color, COLOR_BTNTEXT));
        UINT sposob = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (ui & UISF_HIDEACCEL) sposob |= DT_HIDEPREFIX;
        DrawTextW(dc, Szeroki(przycisk_.Caption()), -1, &napis, sposob);
        SelectObject(dc, poprzednia);
        if ((stan & CDIS_FOCUS) && !(ui & UISF_HIDEFOCUS)) {
            RECT ramka = obszar;
            InflateRect(&ramka, -przycisk_.Skaluj(4), -przycisk_.Skaluj(4));
            DrawFocusRect(dc, &ramka);
        }
    }

    TButton& przycisk_;
};

// A check box of the class's own automatic kind: the box shows the user's
// change at once, and the model either keeps it or sets it back.
class WidokPolaWyboru final : public WidokWin32 {
public:
    WidokPolaWyboru(ZasobyWin32& z, TCheckBox& pole) : WidokWin32(z, pole), pole_(pole) {
        Utworz(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (co == TZmiana::Zaznaczenie) {
            if (okno_) SendMessageW(okno_, BM_SETCHECK, pole_.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
            return;
        }
        WidokWin32::Zmiana(co, indeks);
    }

protected:

    bool Odbity(UINT msg, WPARAM wp, LPARAM, LRESULT& wynik) override {
        switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) != BN_CLICKED) return false;
            wynik = 0;
            pole_.ZdarzenieZaznaczenia(SendMessageW(okno_, BM_GETCHECK, 0, 0) == BST_CHECKED);
            return true;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            wynik = KoloryKontrolki(reinterpret_cast<HDC>(wp));
            return true;
        default:
            return false;
        }
    }

private:
    TCheckBox& pole_;
};

// A radio group: a group box with one radio button per item, laid out in
// columns, made anew when the items change. The buttons are of the manual
// kind: a button is checked only when the model's ItemIndex names it.
class WidokGrupyOpcji final : public WidokObramowania {
public:
    WidokGrupyOpcji(ZasobyWin32& z, TRadioGroup& grupa) : WidokObramowania(z, grupa), grupa_(grupa) {
        UtworzRamke();
    }

    ~WidokGrupyOpcji() override {
        // The items go with the group box; their messages must not reach a
        // view that is going.
        for (HWND element : elementy_) OdlaczOkno(element, ID_ELEMENTU);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (!okno_) return;
        switch (co) {
        case TZmiana::Elementy:
            UtworzElementy();
            break;
        case TZmiana::Wybor: {
            UstawWybor();
            // The focus, on an item, goes with the choice.
            const HWND fokus = GetFocus();
            if (std::find(elementy_.begin(), elementy_.end(), fokus) != elementy_.end() && OknoFokusu() != fokus)
                SetFocus(OknoFokusu());
            break;
        }
        case TZmiana::Kolumny:
            UlozElementy();
            break;
        case TZmiana::Miejsce:
            WidokWin32::Zmiana(co, indeks);
            UlozElementy();
            break;
        case TZmiana::Czcionka:
            WidokWin32::Zmiana(co, indeks);
            for (HWND element : elementy_)
                SendMessageW(element, WM_SETFONT, reinterpret_cast<WPARAM>(Czcionka()), TRUE);
            UlozElementy();
            break;
        case TZmiana::Dostepnosc:
            WidokWin32::Zmiana(co, indeks);
            for (HWND element : elementy_) EnableWindow(element, grupa_.Enabled);
            break;
        case TZmiana::Kolor:
        case TZmiana::KolorRodzica:
            WidokWin32::Zmiana(co, indeks);
            for (HWND element : elementy_) InvalidateRect(element, nullptr, TRUE);
            break;
        default:
            WidokWin32::Zmiana(co, indeks);
        }
    }

    HWND OknoFokusu() const override {
        const int wybrany = grupa_.ItemIndex;
        if (wybrany >= 0 && wybrany < static_cast<int>(elementy_.size())) return elementy_[static_cast<std::size_t>(wybrany)];
        return elementy_.empty() ? nullptr : elementy_.front();
    }

    LRESULT KomunikatElementu(HWND okno, UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_SETFOCUS) grupa_.ZdarzenieOtrzymaniaFokusu();
        return DefSubclassProc(okno, msg, wp, lp);
    }

protected:

    // The notifications of the items, whose parent the group box is.
    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        switch (msg) {
        case WM_COMMAND: {
            if (HIWORD(wp) != BN_CLICKED) return false;
            const auto it = std::find(elementy_.begin(), elementy_.end(), reinterpret_cast<HWND>(lp));
            if (it == elementy_.end()) return false;
            wynik = 0;
            grupa_.ZdarzenieWyboru(static_cast<int>(it - elementy_.begin()));
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            wynik = KoloryElementu(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
            return true;
        default:
            return WidokObramowania::Wlasny(msg, wp, lp, wynik);
        }
    }

private:
    // An item lies inside the group: what lies under the group shows under it.
    LRESULT KoloryElementu(HDC dc, HWND element) {
        if (!grupa_.PokazujePodspod()) return KoloryKontrolki(dc);
        SetTextColor(dc, KolorWin32(grupa_.Font().Color, COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        RECT r;
        GetWindowRect(element, &r);
        MapWindowPoints(nullptr, okno_, reinterpret_cast<POINT*>(&r), 2);
        return reinterpret_cast<LRESULT>(PedzelPodspodu(element, r.left, r.top, r.right - r.left, r.bottom - r.top));
    }

    void UtworzElementy() {
        for (HWND element : elementy_) {
            OdlaczOkno(element, ID_ELEMENTU);
            ZapomnijPedzel(element);
            DestroyWindow(element);
        }
        elementy_.clear();
        const auto& napisy = grupa_.Items();
        for (std::size_t i = 0; i < napisy.size(); ++i) {
            const DWORD styl = WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
            HWND element = CreateWindowExW(0, WC_BUTTONW, Szeroki(napisy[i]), styl, 0, 0, 0, 0, okno_,
                                           nullptr, z_.Instancja(), nullptr);
            if (!element) continue;
            PodlaczOkno(element, *this, ID_ELEMENTU);
            SendMessageW(element, WM_SETFONT, reinterpret_cast<WPARAM>(Czcionka()), FALSE);
            EnableWindow(element, grupa_.Enabled);
            elementy_.push_back(element);
        }
        UlozElementy();
        UstawWybor();
    }

    // The items lie where the model's rule puts them, with the line height
    // of the group's font.
    void UlozElementy() {
        if (elementy_.empty()) return;
        HDC dc = GetDC(okno_);
        HGDIOBJ poprzednia = SelectObject(dc, Czcionka());
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, poprzednia);
        ReleaseDC(okno_, dc);
        for (std::size_t i = 0; i < elementy_.size(); ++i) {
            const TProstokat m = grupa_.MiejsceElementu(static_cast<int>(i), tm.tmHeight);
            SetWindowPos(elementy_[i], nullptr, m.Left, m.Top, m.Width, m.Height, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    void UstawWybor() {
        for (std::size_t i = 0; i < elementy_.size(); ++i)
            SendMessageW(elementy_[i], BM_SETCHECK,
                         static_cast<int>(i) == grupa_.ItemIndex ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    TRadioGroup& grupa_;
    std::vector<HWND> elementy_;
};

}  // namespace

std::unique_ptr<IWidokKontrolki> UtworzWidokPrzycisku(ZasobyWin32& z, TButton& przycisk) {
    return std::make_unique<WidokPrzycisku>(z, przycisk);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokPolaWyboru(ZasobyWin32& z, TCheckBox& pole) {
    return std::make_unique<WidokPolaWyboru>(z, pole);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokGrupyOpcji(ZasobyWin32& z, TRadioGroup& grupa) {
    return std::make_unique<WidokGrupyOpcji>(z, grupa);
}
