// Panels, group boxes, labels, pictures, the progress bar and the timer.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "Obrazy.h"
#include "WidokWin32.h"

namespace {

// A panel: a window of this backend's class in its colour, without a bevel;
// with ParentBackground, what lies under it shows instead.
class WidokPanelu final : public WidokWin32 {
public:
    WidokPanelu(ZasobyWin32& z, TControl& panel) : WidokWin32(z, panel) {
        Utworz(KLASA_PANELU, WS_CLIPCHILDREN);
    }

protected:
    bool ZglaszaMysz() const override { return true; }
    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        if (msg == WM_ERASEBKGND) {
            MalujTlo(reinterpret_cast<HDC>(wp));
            wynik = 1;
            return true;
        }
        return WidokWin32::Wlasny(msg, wp, lp, wynik);
    }
};

// A group box that reports the mouse to the model.
class WidokRamki final : public WidokObramowania {
public:
    WidokRamki(ZasobyWin32& z, TGroupBox& ramka) : WidokObramowania(z, ramka) { UtworzRamke(); }

protected:
    bool ZglaszaMysz() const override { return true; }
};

// A label: the system's static control. A transparent one fills its
// background with what lies under it (the parent's background and the
// pictures below it).
class WidokEtykiety final : public WidokWin32 {
public:
    WidokEtykiety(ZasobyWin32& z, TLabel& etykieta) : WidokWin32(z, etykieta), etykieta_(etykieta) {
        Utworz(WC_STATICW, Styl());
    }

    void Zmiana(TZmiana co, int indeks) override {
        if ((co == TZmiana::Wyrownanie || co == TZmiana::Zawijanie) && okno_) {
            const LONG_PTR styl = GetWindowLongPtrW(okno_, GWL_STYLE);
            SetWindowLongPtrW(okno_, GWL_STYLE, (styl & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | Styl());
            InvalidateRect(okno_, nullptr, TRUE);
            return;
        }
        WidokWin32::Zmiana(co, indeks);
        // A transparent label shows what lies under it, which moved with it.
        if (co == TZmiana::Miejsce && okno_) InvalidateRect(okno_, nullptr, TRUE);
    }

protected:
    bool ZglaszaMysz() const override { return true; }
    bool Odbity(UINT msg, WPARAM wp, LPARAM, LRESULT& wynik) override {
        if (msg != WM_CTLCOLORSTATIC) return false;
        wynik = KoloryKontrolki(reinterpret_cast<HDC>(wp));
        return true;
    }

private:
    DWORD Styl() const {
        // SS_NOTIFY: a static lets the mouse through to what lies below unless asked.
        DWORD styl = SS_NOTIFY | SS_NOPREFIX;
        if (etykieta_.Alignment == TAlignment::taCenter)
            styl |= SS_CENTER;  // the class wraps centred text at words
        else
            styl |= etykieta_.WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
        return styl;
    }
    TLabel& etykieta_;
};

// A picture: a window of this backend's class that paints the decoded
// JPEG, stretched to the control or at its own size from the top left.
class WidokObrazu final : public WidokWin32 {
public:
    WidokObrazu(ZasobyWin32& z, TImage& obraz) : WidokWin32(z, obraz), obraz_(obraz) {
        Utworz(KLASA_OBRAZU, 0);
    }

    HBITMAP Bitmapa() const override {
        if (obraz_.Picture().empty()) return nullptr;
        const TProstokat m = obraz_.MiejsceWidoku();
        if (obraz_.Stretch && m.Width > 0 && m.Height > 0) return z_.Grafika().Daj(obraz_.Picture, m.Width, m.Height);
        // At its own size, which is design pixels too: scaled with the
        // window by WIC's filter, never stretched by the system.
        const SIZE wlasny = z_.Grafika().Rozmiar(obraz_.Picture);
        return z_.Grafika().Daj(obraz_.Picture, obraz_.Skaluj(wlasny.cx), obraz_.Skaluj(wlasny.cy));
    }

    void Zmiana(TZmiana co, int indeks) override {
        WidokWin32::Zmiana(co, indeks);
        if (!okno_ || (co != TZmiana::Obraz && co != TZmiana::Rozciagniecie && co != TZmiana::Miejsce)) return;
        // What lies over the picture (a transparent label) shows it too.
        const TProstokat m = obraz_.MiejsceWidoku();
        RECT miejsce{m.Left, m.Top, m.Left + m.Width, m.Top + m.Height};
        HWND rodzic = GetParent(okno_);
        RedrawWindow(rodzic, &miejsce, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }

protected:
    bool ZglaszaMysz() const override { return true; }
    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override {
        switch (msg) {
        case WM_ERASEBKGND:
            wynik = 1;  // all in WM_PAINT
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(okno_, &ps);
            Maluj(dc);
            EndPaint(okno_, &ps);
            wynik = 0;
            return true;
        }
        default:
            return WidokWin32::Wlasny(msg, wp, lp, wynik);
        }
    }

private:
    void Maluj(HDC dc) {
        HBITMAP bitmapa = Bitmapa();
        BITMAP opis{};
        if (bitmapa) GetObjectW(bitmapa, sizeof opis, &opis);
        const TProstokat m = obraz_.MiejsceWidoku();
        // Where the picture does not cover the control, what lies under it shows.
        if (!bitmapa || opis.bmWidth < m.Width || opis.bmHeight < m.Height) MalujPodKontrolka(z_, obraz_, dc);
        if (!bitmapa) return;
        HDC pamiec = CreateCompatibleDC(dc);
        HGDIOBJ poprzednia = SelectObject(pamiec, bitmapa);
        BitBlt(dc, 0, 0, std::min<int>(opis.bmWidth, m.Width), std::min<int>(opis.bmHeight, m.Height), pamiec, 0,
               0, SRCCOPY);
        SelectObject(pamiec, poprzednia);
        DeleteDC(pamiec);
    }
    TImage& obraz_;
};

// The common controls' progress bar.
class WidokPaska final : public WidokWin32 {
public:
    WidokPaska(ZasobyWin32& z, TProgressBar& pasek) : WidokWin32(z, pasek), pasek_(pasek) {
        Utworz(PROGRESS_CLASSW, 0);
    }

    void Zmiana(TZmiana co, int indeks) override {
        if (co == TZmiana::Minimum || co == TZmiana::Maksimum || co == TZmiana::Postep) {
            if (okno_) UstawPasek();
            return;
        }
        WidokWin32::Zmiana(co, indeks);
    }

private:
    void UstawPasek() {
        SendMessageW(okno_, PBM_SETRANGE32, static_cast<WPARAM>(pasek_.Min()), static_cast<LPARAM>(pasek_.Max()));
        SendMessageW(okno_, PBM_SETPOS, static_cast<WPARAM>(pasek_.Position()), 0);
    }

    TProgressBar& pasek_;
};

// A timer: SetTimer on the backend's hidden window while it is enabled.
class WidokZegara final : public IWidok {
public:
    WidokZegara(ZasobyWin32& z, TTimer& zegar) : z_(z), zegar_(zegar), id_(z.ZarejestrujZegar(zegar)) {}
    ~WidokZegara() override { z_.WyrejestrujZegar(id_); }
    WidokZegara(const WidokZegara&) = delete;
    WidokZegara& operator=(const WidokZegara&) = delete;

    void Zmiana(TZmiana co, int) override {
        if (co == TZmiana::Dostepnosc || co == TZmiana::Interwal) Ustaw();
    }

private:
    void Ustaw() {
        KillTimer(z_.Przechowalnia(), id_);
        if (zegar_.Enabled && zegar_.Interval > 0)
            SetTimer(z_.Przechowalnia(), id_, static_cast<UINT>(zegar_.Interval()), nullptr);
    }
    ZasobyWin32& z_;
    TTimer& zegar_;
    UINT_PTR id_;
};

}  // namespace

void WidokObramowania::UtworzRamke() { Utworz(WC_BUTTONW, BS_GROUPBOX | WS_CLIPCHILDREN); }

bool WidokObramowania::Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) {
    switch (msg) {
    case WM_NCHITTEST:
        // The presses between the items inside are the group's, as a window
        // of its own would take them, not the page's below.
        wynik = HTCLIENT;
        return true;
    case WM_ERASEBKGND:
        MalujTlo(reinterpret_cast<HDC>(wp));
        wynik = 1;
        return true;
    default:
        return WidokWin32::Wlasny(msg, wp, lp, wynik);
    }
}

bool WidokObramowania::Odbity(UINT msg, WPARAM wp, LPARAM, LRESULT& wynik) {
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) return false;
    wynik = KoloryKontrolki(reinterpret_cast<HDC>(wp));
    return true;
}


std::unique_ptr<IWidokKontrolki> UtworzWidokPanelu(ZasobyWin32& z, TControl& panel) {
    return std::make_unique<WidokPanelu>(z, panel);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokRamki(ZasobyWin32& z, TGroupBox& ramka) {
    return std::make_unique<WidokRamki>(z, ramka);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokEtykiety(ZasobyWin32& z, TLabel& etykieta) {
    return std::make_unique<WidokEtykiety>(z, etykieta);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokObrazu(ZasobyWin32& z, TImage& obraz) {
    return std::make_unique<WidokObrazu>(z, obraz);
}
std::unique_ptr<IWidokKontrolki> UtworzWidokPaska(ZasobyWin32& z, TProgressBar& pasek) {
    return std::make_unique<WidokPaska>(z, pasek);
}
std::unique_ptr<IWidok> UtworzWidokZegara(ZasobyWin32& z, TTimer& zegar) {
    return std::make_unique<WidokZegara>(z, zegar);
}
