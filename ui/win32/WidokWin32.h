#pragma once
// The native peers of the model's controls on the plain Windows API.
//
// Each view makes one window of the system's own control class (static,
// button, edit, listbox, the progress bar of the common controls) or, for
// windows, panels and pictures, of a class of this backend, and subclasses
// it so that its messages come here. It mirrors every change the model
// reports, and turns the user's actions into the model's Zdarzenie... calls.
// The notifications a control sends its native parent (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR...) are handed back to the control's own view.
//
// A view reads the model when it is told of a change and when it paints,
// never in its destructor. A call into the model may destroy the view (a
// handler closes the notice box): after such a call a view touches nothing
// of its own unless its life token says it is still there.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>

#include "Kontrolki.h"
#include "Zaplecze.h"
#include "ZasobyWin32.h"

// Makes the Win32 views over the backend's shared resources.
class FabrykaWidokowWin32 : public IFabrykaWidokow {
public:
    explicit FabrykaWidokowWin32(ZasobyWin32& zasoby) : z_(zasoby) {}
    std::unique_ptr<IWidokFormy> Utworz(TForm& forma) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TPanel& panel) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TLabel& etykieta) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TImage& obraz) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TGroupBox& ramka) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TButton& przycisk) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TCheckBox& pole) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TRadioGroup& grupa) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TEdit& pole) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TListBox& lista) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TProgressBar& pasek) override;
    std::unique_ptr<IWidok> Utworz(TTimer& zegar) override;

private:
    ZasobyWin32& z_;
};

class WidokWin32 : public virtual IWidokKontrolki {
public:
    WidokWin32(ZasobyWin32& zasoby, TControl& kontrolka);
    ~WidokWin32() override;
    WidokWin32(const WidokWin32&) = delete;
    WidokWin32& operator=(const WidokWin32&) = delete;

    void Zmiana(TZmiana co, int indeks) override;
    void OdmalujTeraz() override;

    HWND Okno() const { return okno_; }
    // The native parent of the children's windows.
    virtual HWND Pojemnik() const { return okno_; }
    // The window that takes the keyboard focus for this control.
    virtual HWND OknoFokusu() const { return okno_; }
    TControl& Kontrolka() const { return kontrolka_; }
    // Expires when the view goes.
    std::weak_ptr<void> Zycie() const { return zycie_; }

    // The view of a window this backend made; null for any other window.
    static WidokWin32* Z(HWND okno);
    // The view of a realised control; null before and for a timer.
    static WidokWin32* Z(const TComponent& kontrolka);

    // One message of the view's window (the subclass procedure's body).
    LRESULT Komunikat(HWND okno, UINT msg, WPARAM wp, LPARAM lp);
    // One message of a window the view made inside its own (a radio item).
    virtual LRESULT KomunikatElementu(HWND okno, UINT msg, WPARAM wp, LPARAM lp);
    // The window was destroyed under the view.
    void Odlaczono() { okno_ = nullptr; }
    // The picture the view shows at its current size, for what lies over
    // it to show it too; null for a view that shows none.
    virtual HBITMAP Bitmapa() const { return nullptr; }

protected:
    // Makes the native window under the parent's view (or the hidden window
    // when there is no parent), on top of its siblings, and takes its
    // messages; the model then gives it every property.
    void Utworz(const wchar_t* klasa, DWORD styl, DWORD stylRozszerzony = 0, HWND wlasciciel = nullptr);
    // A notification the native parent got from this control.
    virtual bool Odbity(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik);
    // A message of the control's own window; false leaves it to the class.
    virtual bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik);
    // The class's own handling of a message, now.
    LRESULT Domyslnie(UINT msg, WPARAM wp, LPARAM lp);

    // Presses, clicks and the pointer's shape for the kinds that report the
    // mouse to the model (windows, panels, group boxes, labels, pictures).
    virtual bool ZglaszaMysz() const { return false; }
    bool Mysz(UINT msg, WPARAM wp, LPARAM lp);
    bool KursorMyszy(WPARAM wp, LPARAM lp);
    // The colours of a control drawn by its class (WM_CTLCOLOR...): the text
    // colour from the font, and the brush the class fills the background
    // with: the control's colour, or what lies under it
    // (TControl::PokazujePodspod).
    LRESULT KoloryKontrolki(HDC dc);
    // The background of a window of this backend or of a group box, in WM_ERASEBKGND.
    void MalujTlo(HDC dc);
    // A brush whose pattern is what lies under the rectangle (x, y, width,
    // height) of this control, for the class of window `dla` to fill its
    // background with. Made on each call; kept until the next call for the
    // same window, or until the view goes.
    HBRUSH PedzelPodspodu(HWND dla, int x, int y, int szerokosc, int wysokosc);
    // Frees that brush of a window that goes.
    void ZapomnijPedzel(HWND dla);
    void UstawMiejsce();
    void UstawCzcionke(bool odmaluj);
    HFONT Czcionka() const;

    ZasobyWin32& z_;
    TControl& kontrolka_;
    HWND okno_ = nullptr;

private:
    struct Wzor {
        HBITMAP bitmapa;
        HBRUSH pedzel;
    };
    std::shared_ptr<int> zycie_ = std::make_shared<int>(0);
    bool wcisniety_ = false;
    std::map<HWND, Wzor> wzory_;
};

// A group box: the system's button of the group-box style, the native
// control of a group box and of a radio group. It takes the mouse between
// what lies inside it (the class would let presses through to what lies
// below) and fills its inside, which the class leaves to the parent.
class WidokObramowania : public WidokWin32 {
public:
    WidokObramowania(ZasobyWin32& z, TControl& kontrolka) : WidokWin32(z, kontrolka) {}

protected:
    // Makes the window; called by the view's own constructor.
    void UtworzRamke();
    bool Wlasny(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override;
    bool Odbity(UINT msg, WPARAM wp, LPARAM lp, LRESULT& wynik) override;
};

// Subclasses a window made by a view for `widok` under `id`; items of a
// radio group use an id of their own.
void PodlaczOkno(HWND okno, WidokWin32& widok, UINT_PTR id);
void OdlaczOkno(HWND okno, UINT_PTR id);
inline constexpr UINT_PTR ID_WIDOKU = 1;
inline constexpr UINT_PTR ID_ELEMENTU = 2;

// The views, one per kind (the factory's work).
std::unique_ptr<IWidokFormy> UtworzWidokFormy(ZasobyWin32& z, TForm& forma);
std::unique_ptr<IWidokKontrolki> UtworzWidokPanelu(ZasobyWin32& z, TControl& panel);
std::unique_ptr<IWidokKontrolki> UtworzWidokRamki(ZasobyWin32& z, TGroupBox& ramka);
std::unique_ptr<IWidokKontrolki> UtworzWidokEtykiety(ZasobyWin32& z, TLabel& etykieta);
std::unique_ptr<IWidokKontrolki> UtworzWidokObrazu(ZasobyWin32& z, TImage& obraz);
std::unique_ptr<IWidokKontrolki> UtworzWidokPrzycisku(ZasobyWin32& z, TButton& przycisk);
std::unique_ptr<IWidokKontrolki> UtworzWidokPolaWyboru(ZasobyWin32& z, TCheckBox& pole);
std::unique_ptr<IWidokKontrolki> UtworzWidokGrupyOpcji(ZasobyWin32& z, TRadioGroup& grupa);
std::unique_ptr<IWidokKontrolki> UtworzWidokPolaEdycji(ZasobyWin32& z, TEdit& pole);
std::unique_ptr<IWidokKontrolki> UtworzWidokListy(ZasobyWin32& z, TListBox& lista);
std::unique_ptr<IWidokKontrolki> UtworzWidokPaska(ZasobyWin32& z, TProgressBar& pasek);
std::unique_ptr<IWidok> UtworzWidokZegara(ZasobyWin32& z, TTimer& zegar);

// One message of a loop of this backend: the keys the model handles for the
// form whose window has the focus first (Tab, Enter, Escape, the arrows on
// a radio group, Alt+letter), then translation and dispatch.
void PrzetworzKomunikat(MSG& komunikat);
// Gives the focus to the form's active control when its window is active.
void PrzywrocFokus(TForm& forma);

// The colour of a model colour on this system: a fixed colour as it is, a
// system colour by its index, and clDefault as the given system colour.
COLORREF KolorWin32(TColor kolor, int domyslnySystemowy);

// The background a control is drawn on: its own colour or its parent's
// (KolorEfektywny); with clDefault, the native default of its kind: the
// button face for windows and panels, the window colour for edits and lists,
// and the parent's background for the rest.
COLORREF KolorTla(const TControl& kontrolka);

// Paints into `dc` (in the control's client coordinates) what lies under the
// control: its parent's background (or, for a parent that shows what lies
// under it, that, recursively) and the pictures below it among its siblings.
void MalujPodKontrolka(ZasobyWin32& zasoby, const TControl& kontrolka, HDC dc);
