#include "WidokWin32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "Czcionki.h"
#include "Win32Pomoc.h"
#include "platform/Blad.h"

using platforma::Szeroki;

namespace {

// The view a window belongs to, under the id it was subclassed with; the
// subclass's own data cannot be asked for (comctl32 exports that call by
// ordinal only on older systems).
const wchar_t* NazwaWlasciwosci(UINT_PTR id) { return id == ID_WIDOKU ? L"KavrostelWidok" : L"KavrostelElement"; }

LRESULT CALLBACK ProcWidoku(HWND okno, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR dane) {
    auto* widok = reinterpret_cast<WidokWin32*>(dane);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(okno, ProcWidoku, id);
        RemovePropW(okno, NazwaWlasciwosci(id));
        if (id == ID_WIDOKU) widok->Odlaczono();
        return DefSubclassProc(okno, msg, wp, lp);
    }
    try {
        if (id == ID_WIDOKU) return widok->Komunikat(okno, msg, wp, lp);
        return widok->KomunikatElementu(okno, msg, wp, lp);
    } catch (...) {
        BladWOknie();
    }
    return DefSubclassProc(okno, msg, wp, lp);
}

HWND OknoPojemnikaRodzica(ZasobyWin32& z, const TControl& kontrolka) {
    if (const TControl* rodzic = kontrolka.Parent())
        if (WidokWin32* widok = WidokWin32::Z(*rodzic))
            if (HWND pojemnik = widok->Pojemnik()) return pojemnik;
    return z.Przechowalnia();
}

// The views of the realised controls, by control.
std::map<const TComponent*, WidokWin32*>& Widoki() {
    static std::map<const TComponent*, WidokWin32*> widoki;
    return widoki;
}

}  // namespace

std::unique_ptr<IWidokFormy> FabrykaWidokowWin32::Utworz(TForm& s) { return UtworzWidokFormy(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TPanel& s) { return UtworzWidokPanelu(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TLabel& s) { return UtworzWidokEtykiety(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TImage& s) { return UtworzWidokObrazu(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TGroupBox& s) { return UtworzWidokRamki(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TButton& s) { return UtworzWidokPrzycisku(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TCheckBox& s) { return UtworzWidokPolaWyboru(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TRadioGroup& s) { return UtworzWidokGrupyOpcji(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TEdit& s) { return UtworzWidokPolaEdycji(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TListBox& s) { return UtworzWidokListy(z_, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowWin32::Utworz(TProgressBar& s) { return UtworzWidokPaska(z_, s); }
std::unique_ptr<IWidok> FabrykaWidokowWin32::Utworz(TTimer& s) { return UtworzWidokZegara(z_, s); }

void PodlaczOkno(HWND okno, WidokWin32& widok, UINT_PTR id) {
    SetPropW(okno, NazwaWlasciwosci(id), &widok);
    SetWindowSubclass(okno, ProcWidoku, id, reinterpret_cast<DWORD_PTR>(&widok));
}

void OdlaczOkno(HWND okno, UINT_PTR id) {
    RemoveWindowSubclass(okno, ProcWidoku, id);
    RemovePropW(okno, NazwaWlasciwosci(id));
}

// ---------------------------------------------------------------- WidokWin32

WidokWin32::WidokWin32(ZasobyWin32& zasoby, TControl& kontrolka) : z_(zasoby), kontrolka_(kontrolka) {
    Widoki()[&kontrolka_] = this;
}

WidokWin32::~WidokWin32() {
    Widoki().erase(&kontrolka_);
    for (auto& [okno, wzor] : wzory_) {
        DeleteObject(wzor.pedzel);
        DeleteObject(wzor.bitmapa);
    }
    if (!okno_) return;
    HWND okno = okno_;
    okno_ = nullptr;
    // From here the window's messages no longer reach this view, whose model
    // may be half gone already.
    OdlaczOkno(okno, ID_WIDOKU);
    z_.UsunPodpowiedz(okno);
    DestroyWindow(okno);
}

WidokWin32* WidokWin32::Z(const TComponent& kontrolka) {
    const auto it = Widoki().find(&kontrolka);
    return it == Widoki().end() ? nullptr : it->second;
}

WidokWin32* WidokWin32::Z(HWND okno) {
    return okno ? static_cast<WidokWin32*>(GetPropW(okno, NazwaWlasciwosci(ID_WIDOKU))) : nullptr;
}

void WidokWin32::Utworz(const wchar_t* klasa, DWORD styl, DWORD stylRozszerzony, HWND wlasciciel) {
    const bool forma = kontrolka_.Rodzaj() == TRodzaj::Forma;
    HWND rodzic = forma ? wlasciciel : OknoPojemnikaRodzica(z_, kontrolka_);
    if (!forma) styl |= WS_CHILD | WS_CLIPSIBLINGS;
    if (kontrolka_.Visible) styl |= WS_VISIBLE;
    const TProstokat m = kontrolka_.MiejsceWidoku();
    okno_ = CreateWindowExW(stylRozszerzony, klasa, L"", styl, m.Left, m.Top, m.Width, m.Height, rodzic,
                            nullptr, z_.Instancja(), nullptr);
    if (!okno_)
        throw platforma::BladPlatformy(u"CreateWindowExW: " + platforma::TekstBledu(GetLastError()));
    PodlaczOkno(okno_, *this, ID_WIDOKU);
    // A control made later lies over the earlier ones.
    if (!forma) SetWindowPos(okno_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WidokWin32::OdmalujTeraz() {
    if (okno_) RedrawWindow(okno_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WidokWin32::Zmiana(TZmiana co, int) {
    if (!okno_) return;
    switch (co) {
    case TZmiana::Rodzic: {
        SetParent(okno_, OknoPojemnikaRodzica(z_, kontrolka_));
        const TProstokat m = kontrolka_.MiejsceWidoku();
        SetWindowPos(okno_, HWND_TOP, m.Left, m.Top, m.Width, m.Height, SWP_NOACTIVATE);
        break;
    }
    case TZmiana::Miejsce:
        UstawMiejsce();
        break;
    case TZmiana::Widocznosc:
        ShowWindow(okno_, kontrolka_.Visible ? SW_SHOWNA : SW_HIDE);
        break;
    case TZmiana::Dostepnosc:
        EnableWindow(okno_, kontrolka_.Enabled);
        break;
    case TZmiana::Napis:
        SetWindowTextW(okno_, Szeroki(kontrolka_.Caption()));
        break;
    case TZmiana::Podpowiedz:
        z_.UstawPodpowiedz(okno_, kontrolka_.PokazywanaPodpowiedz());
        break;
    case TZmiana::Czcionka:
        UstawCzcionke(true);
        break;
    case TZmiana::Kolor:
    case TZmiana::KolorRodzica:
    case TZmiana::Przezroczystosc:
    case TZmiana::TloRodzica:
        // The children without a background of their own show this one.
        RedrawWindow(okno_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    case TZmiana::Kolejnosc:
        SetWindowPos(okno_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    default:
        break;
    }
}

void WidokWin32::UstawMiejsce() {
    const TProstokat m = kontrolka_.MiejsceWidoku();
    SetWindowPos(okno_, nullptr, m.Left, m.Top, m.Width, m.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT WidokWin32::Czcionka() const { return z_.Fonty().Daj(kontrolka_.CzcionkaWidoku()); }

void WidokWin32::UstawCzcionke(bool odmaluj) {
    SendMessageW(okno_, WM_SETFONT, reinterpret_cast<WPARAM>(Czcionka()), odmaluj ? TRUE : FALSE);
    if (odmaluj) InvalidateRect(okno_, nullptr, TRUE);
}

LRESULT WidokWin32::Domyslnie(UINT msg, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(okno_, msg, wp, lp);
}

LRESULT WidokWin32::Komunikat(HWND okno, UINT msg, WPARAM wp, LPARAM lp) {
    // Notifications go to the native parent; they belong to the child.
    HWND nadawca = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        nadawca = reinterpret_cast<HWND>(lp);
        break;
    case WM_NOTIFY:
        nadawca = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        break;
    case WM_DRAWITEM:
        nadawca = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem;
        break;
    default:
        break;
    }
    LRESULT wynik = 0;
    if (nadawca && nadawca != okno)
        if (WidokWin32* dziecko = Z(nadawca); dziecko && dziecko->Odbity(msg, wp, lp, wynik))
            return wynik;
    if (Wlasny(msg, wp, lp, wynik)) return wynik;
    return DefSubclassProc(okno, msg, wp, lp);
}

LRESULT WidokWin32::KomunikatElementu(HWND okno, UINT msg, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(okno, msg, wp, lp);
}

bool WidokWin32::Odbity(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool WidokWin32::Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) {
    switch (msg) {
    case WM_SETFOCUS:
        kontrolka_.ZdarzenieOtrzymaniaFokusu();
        return false;
    case WM_SETCURSOR:
        if (KursorMyszy(wp, lp)) {
            wynik = TRUE;
            return true;
        }
        return false;
    default:
        if (ZglaszaMysz() && Mysz(msg, wp, lp)) {
            wynik = 0;
            return true;
        }
        return false;
    }
}

bool WidokWin32::Mysz(UINT msg, WPARAM, LPARAM lp) {
    TMouseButton przycisk;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        przycisk = TMouseButton::mbLeft;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        przycisk = TMouseButton::mbRight;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        przycisk = TMouseButton::mbMiddle;
        break;
    case WM_LBUTTONUP: {
        if (!wcisniety_) return false;
        wcisniety_ = false;
        if (GetCapture() == okno_) ReleaseCapture();
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        RECT klient;
        GetClientRect(okno_, &klient);
        // A click: pressed and released over the control.
        if (PtInRect(&klient, p)) kontrolka_.ZdarzenieKlikniecia();
        return true;
    }
    case WM_CAPTURECHANGED:
        wcisniety_ = false;
        return false;
    default:
        return false;
    }
    const std::weak_ptr<void> zyje = zycie_;
    if (przycisk == TMouseButton::mbLeft) {
        wcisniety_ = true;
        SetCapture(okno_);
    }
    kontrolka_.ZdarzenieNacisku(przycisk, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    if (zyje.expired()) return true;
    // The press started a window drag (or a dialog): its release is not ours.
    if (przycisk == TMouseButton::mbLeft && GetCapture() != okno_) wcisniety_ = false;
    return true;
}

bool WidokWin32::KursorMyszy(WPARAM wp, LPARAM lp) {
    if (reinterpret_cast<HWND>(wp) != okno_ || LOWORD(lp) != HTCLIENT) return false;
    if (kontrolka_.Cursor != TCursor::crHandPoint) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

LRESULT WidokWin32::KoloryKontrolki(HDC dc) {
    SetTextColor(dc, KolorWin32(kontrolka_.Font().Color, COLOR_WINDOWTEXT));
    if (kontrolka_.PokazujePodspod()) {
        SetBkMode(dc, TRANSPARENT);
        const TProstokat m = kontrolka_.MiejsceWidoku();
        return reinterpret_cast<LRESULT>(PedzelPodspodu(okno_, 0, 0, m.Width, m.Height));
    }
    const COLORREF tlo = KolorTla(kontrolka_);
    SetBkColor(dc, tlo);
    return reinterpret_cast<LRESULT>(z_.Pedzel(tlo));
}

void WidokWin32::MalujTlo(HDC dc) {
    if (kontrolka_.PokazujePodspod()) {
        MalujPodKontrolka(z_, kontrolka_, dc);
        return;
    }
    RECT klient;
    GetClientRect(okno_, &klient);
    FillRect(dc, &klient, z_.Pedzel(KolorTla(kontrolka_)));
}

void WidokWin32::ZapomnijPedzel(HWND dla) {
    if (auto it = wzory_.find(dla); it != wzory_.end()) {
        DeleteObject(it->second.pedzel);
        DeleteObject(it->second.bitmapa);
        wzory_.erase(it);
    }
}

HBRUSH WidokWin32::PedzelPodspodu(HWND dla, int x, int y, int szerokosc, int wysokosc) {
    ZapomnijPedzel(dla);
    HDC ekran = GetDC(nullptr);
    HDC pamiec = CreateCompatibleDC(ekran);
    HBITMAP bitmapa = CreateCompatibleBitmap(ekran, std::max(1, szerokosc), std::max(1, wysokosc));
    ReleaseDC(nullptr, ekran);
    HGDIOBJ poprzednia = SelectObject(pamiec, bitmapa);
    SetViewportOrgEx(pamiec, -x, -y, nullptr);
    MalujPodKontrolka(z_, kontrolka_, pamiec);
    SelectObject(pamiec, poprzednia);
    DeleteDC(pamiec);
    // The pattern starts at the window's corner, where the class's DC has
    // its origin.
    HBRUSH pedzel = CreatePatternBrush(bitmapa);
    wzory_[dla] = Wzor{bitmapa, pedzel};
    return pedzel;
}

// ---------------------------------------------------------------- colours

COLORREF KolorWin32(TColor kolor, int domyslnySystemowy) {
    if (kolor == clDefault) return GetSysColor(domyslnySystemowy);
    if (KolorSystemowy(kolor)) return GetSysColor(IndeksKoloruSystemowego(kolor));
    return RGB(Czerwona(kolor), Zielona(kolor), Niebieska(kolor));
}

COLORREF KolorTla(const TControl& kontrolka) {
    const TColor kolor = kontrolka.KolorEfektywny();
    if (kolor != clDefault) return KolorWin32(kolor, COLOR_BTNFACE);
    switch (kontrolka.Rodzaj()) {
    case TRodzaj::Forma:
    case TRodzaj::Panel:
        return GetSysColor(COLOR_BTNFACE);
    case TRodzaj::PoleEdycji:
    case TRodzaj::Lista:
        return GetSysColor(COLOR_WINDOW);
    default:
        return kontrolka.Parent() ? KolorTla(*kontrolka.Parent()) : GetSysColor(COLOR_BTNFACE);
    }
}

void MalujPodKontrolka(ZasobyWin32& z, const TControl& kontrolka, HDC dc) {
    const TControl* rodzic = kontrolka.Parent();
    const TProstokat m = kontrolka.MiejsceWidoku();
    RECT obszar{0, 0, m.Width, m.Height};
    if (!rodzic) {
        FillRect(dc, &obszar, z.Pedzel(GetSysColor(COLOR_BTNFACE)));
        return;
    }
    if (rodzic->PokazujePodspod()) {
        // The parent has no background of its own: what lies under it shows,
        // drawn in the parent's coordinates.
        POINT poczatek;
        OffsetViewportOrgEx(dc, -m.Left, -m.Top, &poczatek);
        MalujPodKontrolka(z, *rodzic, dc);
        SetViewportOrgEx(dc, poczatek.x, poczatek.y, nullptr);
    } else {
        FillRect(dc, &obszar, z.Pedzel(KolorTla(*rodzic)));
    }
    HDC pamiec = nullptr;
    for (const TControl* brat : rodzic->Controls()) {
        if (brat == &kontrolka) break;
        const WidokWin32* widok = brat->Visible ? WidokWin32::Z(*brat) : nullptr;
        HBITMAP bitmapa = widok ? widok->Bitmapa() : nullptr;
        if (!bitmapa) continue;
        if (!pamiec) pamiec = CreateCompatibleDC(dc);
        BITMAP opis{};
        GetObjectW(bitmapa, sizeof opis, &opis);
        HGDIOBJ poprzednia = SelectObject(pamiec, bitmapa);
        const TProstokat b = brat->MiejsceWidoku();
        BitBlt(dc, b.Left - m.Left, b.Top - m.Top, std::min<int>(b.Width, opis.bmWidth),
               std::min<int>(b.Height, opis.bmHeight), pamiec, 0, 0, SRCCOPY);
        SelectObject(pamiec, poprzednia);
    }
    if (pamiec) DeleteDC(pamiec);
}
