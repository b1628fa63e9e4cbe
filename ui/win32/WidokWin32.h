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

class ZapleczeWin32;

class WidokWin32 : public IWidok {
public:
    // `stan`: the change of the model that UstawStan mirrors, if any.
    WidokWin32(ZapleczeWin32& zaplecze, TControl& kontrolka, std::optional<TZmiana> stan = std::nullopt);
    ~WidokWin32() override;
    WidokWin32(const WidokWin32&) = delete;
    WidokWin32& operator=(const WidokWin32&) = delete;

    void Zmiana(TZmiana co, int indeks) override;

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
    // The model control of a window, or of the control a window belongs to
    // (the items of a radio group belong to the group); null for others.
    static TControl* KontrolkaOkna(HWND okno);

    // One message of the view's window (the subclass procedure's body).
    LRESULT Komunikat(HWND okno, UINT msg, WPARAM wp, LPARAM lp);
    // One message of a window the view made inside its own (a radio item).
    virtual LRESULT KomunikatElementu(HWND okno, UINT msg, WPARAM wp, LPARAM lp);
    // The window was destroyed under the view.
    void Odlaczono() { okno_ = nullptr; }

    // Kinds that take the keyboard focus.
    static bool PrzyjmujeFokus(TRodzaj rodzaj);

protected:
    // Makes the native window under the parent's view (or the hidden window
    // when there is no parent), on top of its siblings, and takes its messages.
    void Utworz(const wchar_t* klasa, DWORD styl, DWORD stylRozszerzony = 0, HWND wlasciciel = nullptr);
    // Applies every property; called once the window exists.
    virtual void ZastosujWszystko();
    // The state the native control keeps of its own (a check mark, a bar's
    // position, an edit's text...): set once the window exists, and again
    // whenever the model reports the change given to the constructor.
    virtual void UstawStan() {}
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
    // with: the control's colour, or what lies under it (PokazujePodspod).
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

    ZapleczeWin32& z_;
    TControl& kontrolka_;
    HWND okno_ = nullptr;

private:
    std::optional<TZmiana> stan_;
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
    WidokObramowania(ZapleczeWin32& z, TControl& kontrolka, std::optional<TZmiana> stan = std::nullopt)
        : WidokWin32(z, kontrolka, stan) {}

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

// The views, one per kind.
std::unique_ptr<IWidok> UtworzWidokFormy(ZapleczeWin32& z, TForm& forma);
std::unique_ptr<IWidok> UtworzWidokPanelu(ZapleczeWin32& z, TControl& panel);
std::unique_ptr<IWidok> UtworzWidokRamki(ZapleczeWin32& z, TGroupBox& ramka);
std::unique_ptr<IWidok> UtworzWidokEtykiety(ZapleczeWin32& z, TLabel& etykieta);
std::unique_ptr<IWidok> UtworzWidokObrazu(ZapleczeWin32& z, TImage& obraz);
std::unique_ptr<IWidok> UtworzWidokPrzycisku(ZapleczeWin32& z, TButton& przycisk);
std::unique_ptr<IWidok> UtworzWidokPolaWyboru(ZapleczeWin32& z, TCheckBox& pole);
std::unique_ptr<IWidok> UtworzWidokGrupyOpcji(ZapleczeWin32& z, TRadioGroup& grupa);
std::unique_ptr<IWidok> UtworzWidokPolaEdycji(ZapleczeWin32& z, TEdit& pole);
std::unique_ptr<IWidok> UtworzWidokListy(ZapleczeWin32& z, TListBox& lista);
std::unique_ptr<IWidok> UtworzWidokPaska(ZapleczeWin32& z, TProgressBar& pasek);
std::unique_ptr<IWidok> UtworzWidokZegara(ZapleczeWin32& z, TTimer& zegar);

// The bitmap a picture view shows at its current size; null without one.
HBITMAP BitmapaObrazu(ZapleczeWin32& z, const TImage& obraz);

// The form view's keyboard handling: Tab and Shift+Tab through the tab
// order, Enter and Escape to the form, the arrows within a radio group,
// Alt+letter for a button's mnemonic. True when the key was used.
bool KlawiszFormy(ZapleczeWin32& z, HWND korzen, const MSG& komunikat);
// Gives the focus to the form's active control when its window is active.
void PrzywrocFokus(TForm& forma);
// The arrow keys on an item of a radio group: the focus and the choice move
// `krok` items on, round the group. False when `element` is no such item.
bool PrzesunWGrupieOpcji(HWND element, int krok);

// Reports an error that reached a window procedure to the top-level error
// display, so that no exception crosses into the system's code.
void BladWOknie() noexcept;

// The classes of this backend's own windows.
inline constexpr wchar_t KLASA_FORMY[] = L"KavrostelForma";
inline constexpr wchar_t KLASA_PANELU[] = L"KavrostelPanel";
inline constexpr wchar_t KLASA_OBRAZU[] = L"KavrostelObraz";
inline constexpr wchar_t KLASA_PRZECHOWALNI[] = L"KavrostelUkryte";
