// The one-line edit and the list box: the system's edit and listbox classes.
#include <windows.h>
#include <commctrl.h>

#include "Win32Pomoc.h"
#include "WidokWin32.h"

using platforma::Szeroki;

namespace {

class WidokPolaEdycji final : public WidokWin32 {
public:
    WidokPolaEdycji(ZasobyWin32& z, TEdit& pole) : WidokWin32(z, pole), pole_(pole) {
        Utworz(WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL | (pole.ReadOnly ? ES_READONLY : 0), WS_EX_CLIENTEDGE);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (!okno_) return;
        switch (co) {
        case TZmiana::TylkoDoOdczytu:
            SendMessageW(okno_, EM_SETREADONLY, pole_.ReadOnly ? TRUE : FALSE, 0);
            break;
        case TZmiana::Tekst:
            // The model's text, not the caption the common handling would show.
            pokazuje_ = true;
            SetWindowTextW(okno_, Szeroki(pole_.Text()));
            pokazuje_ = false;
            break;
        case TZmiana::Napis:
            break;
        case TZmiana::CalyTekst:
            SendMessageW(okno_, EM_SETSEL, 0, -1);
            break;
        default:
            WidokWin32::Zmiana(co, indeks);
        }
    }

protected:

    bool Odbity(UINT msg, WPARAM wp, LPARAM, LRESULT& wynik) override {
        if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
            // The class tells of every change; only the user's are news.
            if (pokazuje_) return false;
            wynik = 0;
            pole_.ZdarzenieZmianyTekstu(TekstOkna());
            return true;
        }
        // An edit that can be typed in asks for WM_CTLCOLOREDIT, a read-only
        // or disabled one for WM_CTLCOLORSTATIC: both in the control's colour.
        if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
        wynik = KoloryKontrolki(reinterpret_cast<HDC>(wp));
        return true;
    }

private:
    std::u16string TekstOkna() const {
        std::u16string tekst(static_cast<std::size_t>(GetWindowTextLengthW(okno_)) + 1, u'\0');
        tekst.resize(static_cast<std::size_t>(
            GetWindowTextW(okno_, reinterpret_cast<wchar_t*>(tekst.data()), static_cast<int>(tekst.size()))));
        return tekst;
    }
    TEdit& pole_;
    bool pokazuje_ = false;
};

// A list box of fixed-height items. Every change of the model's items is
// mirrored item by item, so that an explicit repaint paints only what changed.
class WidokListy final : public WidokWin32 {
public:
    WidokListy(ZasobyWin32& z, TListBox& lista) : WidokWin32(z, lista), lista_(lista) {
        Utworz(WC_LISTBOXW, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (!okno_) return;
        switch (co) {
        case TZmiana::ElementDodany:
            SendMessageW(okno_, LB_INSERTSTRING, static_cast<WPARAM>(indeks),
                         reinterpret_cast<LPARAM>(Szeroki(lista_.Items[indeks])));
            break;
        case TZmiana::ElementZmieniony:
            ZmienElement(indeks);
            break;
        case TZmiana::ElementyWyczyszczone:
            SendMessageW(okno_, LB_RESETCONTENT, 0, 0);
            break;
        case TZmiana::Elementy:
            SendMessageW(okno_, LB_RESETCONTENT, 0, 0);
            for (int i = 0; i < lista_.Items.Count(); ++i)
                SendMessageW(okno_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Szeroki(lista_.Items[i])));
            break;
        case TZmiana::WysokoscElementu:
            SendMessageW(okno_, LB_SETITEMHEIGHT, 0, lista_.WysokoscElementuWidoku());
            InvalidateRect(okno_, nullptr, TRUE);
            break;
        case TZmiana::GornyElement:
            SendMessageW(okno_, LB_SETTOPINDEX, static_cast<WPARAM>(lista_.TopIndex()), 0);
            break;
        case TZmiana::Wybor:
            SendMessageW(okno_, LB_SETCURSEL, static_cast<WPARAM>(lista_.ItemIndex()), 0);
            // Selecting scrolls an item out of sight into view.
            ZglosPrzewiniecie();
            break;
        default:
            WidokWin32::Zmiana(co, indeks);
        }
    }

protected:
    bool Odbity(UINT msg, WPARAM wp, LPARAM, LRESULT& wynik) override {
        switch (msg) {
        case WM_COMMAND: {
            if (HIWORD(wp) != LBN_SELCHANGE) return false;
            wynik = 0;
            const std::weak_ptr<void> zyje = Zycie();
            lista_.ZdarzenieWyboru(static_cast<int>(SendMessageW(okno_, LB_GETCURSEL, 0, 0)));
            if (!zyje.expired()) ZglosPrzewiniecie();
            return true;
        }
        case WM_CTLCOLORLISTBOX:
            wynik = KoloryKontrolki(reinterpret_cast<HDC>(wp));
            return true;
        default:
            return false;
        }
    }

    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        switch (msg) {
        case WM_VSCROLL:
        case WM_MOUSEWHEEL:
        case WM_KEYDOWN: {
            // The class scrolls; the model learns where the list stands now.
            wynik = Domyslnie(msg, wp, lp);
            ZglosPrzewiniecie();
            return true;
        }
        default:
            return WidokWin32::Wlasny(msg, wp, lp, wynik);
        }
    }

private:
    void ZmienElement(int indeks) {
        const LRESULT wybrany = SendMessageW(okno_, LB_GETCURSEL, 0, 0);
        const LRESULT gorny = SendMessageW(okno_, LB_GETTOPINDEX, 0, 0);
        SendMessageW(okno_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(okno_, LB_DELETESTRING, static_cast<WPARAM>(indeks), 0);
        SendMessageW(okno_, LB_INSERTSTRING, static_cast<WPARAM>(indeks),
                     reinterpret_cast<LPARAM>(Szeroki(lista_.Items[indeks])));
        if (wybrany == indeks) SendMessageW(okno_, LB_SETCURSEL, static_cast<WPARAM>(indeks), 0);
        SendMessageW(okno_, LB_SETTOPINDEX, static_cast<WPARAM>(gorny), 0);
        SendMessageW(okno_, WM_SETREDRAW, TRUE, 0);
        RECT element;
        if (SendMessageW(okno_, LB_GETITEMRECT, static_cast<WPARAM>(indeks), reinterpret_cast<LPARAM>(&element)) !=
            LB_ERR)
            InvalidateRect(okno_, &element, TRUE);
    }

    void ZglosPrzewiniecie() {
        const int gorny = static_cast<int>(SendMessageW(okno_, LB_GETTOPINDEX, 0, 0));
        if (gorny != lista_.TopIndex) lista_.ZdarzeniePrzewiniecia(gorny);
    }

    TListBox& lista_;
};

}  // namespace

std::unique_ptr<IWidokKontrolki> UtworzWidokPolaEdycji(ZasobyWin32& z, TEdit& pole) {
    return std::make_unique<WidokPolaEdycji>(z, pole);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokListy(ZasobyWin32& z, TListBox& lista) {
    return std::make_unique<WidokListy>(z, lista);
}
