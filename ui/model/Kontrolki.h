#pragma once
// The control model the forms are written against: one class per kind of
// control the forms use, with the properties and events of the classic form
// designer's controls (Caption, Enabled, ItemIndex, OnClick ...). A form's
// handler reads like its steps: `Edit1->Enabled = gotowe;`,
// `BBInstal->Caption = u"Instaluj";`.
//
// Assigning a property that really changes reports the change to the
// control's view (IWidok), which mirrors it into the native control. The
// user's actions come back through the Zdarzenie... entry points, which the
// backend calls; they run the handlers under the top-level error display.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Zaplecze.h"

// Colours as the classic designer stores them: 0x00BBGGRR for a fixed colour;
// the high bit set means the system colour with the index in the low byte
// (GetSysColor). clDefault leaves the native control's own colour.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindow = 0x80000005;      // COLOR_WINDOW
inline constexpr TColor clWindowText = 0x80000008;  // COLOR_WINDOWTEXT
inline constexpr TColor clBtnFace = 0x8000000F;     // COLOR_BTNFACE
inline constexpr TColor clBtnText = 0x80000012;     // COLOR_BTNTEXT
inline constexpr TColor clInfoBk = 0x80000018;      // COLOR_INFOBK, the tooltip background
inline constexpr TColor clDefault = 0x20000000;

inline constexpr bool KolorSystemowy(TColor c) { return (c & 0x80000000u) != 0; }
inline constexpr int IndeksKoloruSystemowego(TColor c) { return static_cast<int>(c & 0xFFu); }
inline constexpr int Czerwona(TColor c) { return static_cast<int>(c & 0xFFu); }
inline constexpr int Zielona(TColor c) { return static_cast<int>((c >> 8) & 0xFFu); }
inline constexpr int Niebieska(TColor c) { return static_cast<int>((c >> 16) & 0xFFu); }

// A font as the forms name it. The backend chooses the face it really draws
// with (a substitute where the named one is missing); Height is the
// character height in pixels.
struct TFont {
    std::u16string Name = u"MS Sans Serif";
    int Height = 13;
    bool Bold = false;
    bool Underline = false;
    TColor Color = clWindowText;
    friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TCursor { crDefault, crHandPoint };
enum class TAlignment { taLeftJustify, taCenter };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
// The keys the model handles for a form: Enter and Escape for its Default
// and Cancel buttons, Tab and Shift+Tab through its tab stops, the arrows
// within a radio group.
enum class TKlawisz { Enter, Escape, Tab, TabWstecz, Lewo, Prawo, Gora, Dol };

// Which modifiers were held with a letter, as the backend saw them. Only the
// left Alt alone makes an access key: AltGr (reported as Ctrl with Alt, or
// as the right Alt) types the Polish letters.
struct TModyfikatory {
    bool lewyAlt = false;
    bool prawyAlt = false;
    bool ctrl = false;
    friend bool operator==(const TModyfikatory&, const TModyfikatory&) = default;
};
enum class TGlif { Brak, Zatwierdzenie };  // a button's glyph: none, a green check mark
enum class TPozycjaFormy { poDesigned, poScreenCenter };

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// The kinds of control a backend realises.
enum class TRodzaj {
    Forma,
    Panel,
    Etykieta,      // TLabel; an opaque one stands for a static text
    Obraz,         // TImage
    Ramka,         // TGroupBox
    Przycisk,      // TButton: push button, button with a glyph, speed button
    PoleWyboru,    // TCheckBox
    GrupaOpcji,    // TRadioGroup
    PoleEdycji,    // TEdit
    Lista,         // TListBox
    PasekPostepu,  // TProgressBar
    Zegar,         // TTimer
};

class TComponent;
class TControl;
class TForm;

// A property of a component: reads like its value, and an assignment that
// really changes the value reports the change to the component.
template <typename T>
class TWlasciwosc {
public:
    TWlasciwosc(TComponent& wlasciciel, TZmiana zmiana, T poczatkowa = T{})
        : wlasciciel_(wlasciciel), zmiana_(zmiana), wartosc_(std::move(poczatkowa)) {}
    TWlasciwosc(const TWlasciwosc&) = delete;
    TWlasciwosc& operator=(const TWlasciwosc&) = delete;

    operator const T&() const { return wartosc_; }
    const T& operator()() const { return wartosc_; }
    TWlasciwosc& operator=(T nowa);

    // Takes a value the native control already shows (the user changed it):
    // nothing is reported back to the view and no handler runs.
    void UstawCicho(T nowa) { wartosc_ = std::move(nowa); }

    friend bool operator==(const TWlasciwosc& a, const T& b) { return a.wartosc_ == b; }

private:
    TComponent& wlasciciel_;
    TZmiana zmiana_;
    T wartosc_;
};

// Anything a form owns: a control, or a timer.
class TComponent {
public:
    TComponent(TForm* wlasciciel, std::string nazwa);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string Name;
    virtual TRodzaj Rodzaj() const = 0;
    TForm& Owner() const { return *wlasciciel_; }

    // The native view, once the owning form has been realised; null before.
    IWidok* Widok() const { return widok_.get(); }

    // The properties this kind has, in the order a new view is given them.
    virtual std::span<const TZmiana> Wlasciwosci() const = 0;

protected:
    template <typename T>
    friend class TWlasciwosc;
    friend class TForm;
    // A property changed. The default reports it to the view; kinds with a
    // rule of their own (a handler to run, a value to keep in range) add it.
    virtual void Zmieniono(TZmiana co) { Powiadom(co); }
    void Powiadom(TZmiana co, int indeks = -1) const;
    void Realizuj();
    // Asks the factory for the view of this kind (and keeps it, Przyjmij).
    virtual void UtworzWidok(IFabrykaWidokow& fabryka) = 0;
    // Keeps the new view and gives it every property of the kind.
    void Przyjmij(std::unique_ptr<IWidok> widok);

    TForm* wlasciciel_;
    std::unique_ptr<IWidok> widok_;
};

template <typename T>
TWlasciwosc<T>& TWlasciwosc<T>::operator=(T nowa) {
    if (!(wartosc_ == nowa)) {
        wartosc_ = std::move(nowa);
        wlasciciel_.Zmieniono(zmiana_);
    }
    return *this;
}

// A visible control. Places are in pixels relative to the parent's client
// area; a form's place is its outer window on the screen.
// A caption as the user reads it: each single "&" marks the next letter as
// the access key and is not shown, "&&" shows one "&".
std::u16string NapisWidoczny(const std::u16string& napis);
// The caption marks `znak` (in either case) as its access key.
bool OznaczaKlawisz(const std::u16string& napis, char16_t znak);

class TControl : public TComponent {
public:
    TControl(TForm* wlasciciel, TControl* rodzic, std::string nazwa);
    ~TControl() override;

    TControl* Parent() const { return rodzic_; }
    // Moves the control onto another parent, on top of its new siblings.
    void SetParent(TControl* rodzic);
    // The children, bottom to top: a later one lies over an earlier one.
    const std::vector<TControl*>& Controls() const { return dzieci_; }
    // Place in the tab order among the siblings: the order of creation.
    int TabOrder() const { return kolejnoscTab_; }

    TWlasciwosc<int> Left{*this, TZmiana::Miejsce};
    TWlasciwosc<int> Top{*this, TZmiana::Miejsce};
    TWlasciwosc<int> Width{*this, TZmiana::Miejsce};
    TWlasciwosc<int> Height{*this, TZmiana::Miejsce};
    TWlasciwosc<bool> Visible{*this, TZmiana::Widocznosc, true};
    TWlasciwosc<bool> Enabled{*this, TZmiana::Dostepnosc, true};
    TWlasciwosc<std::u16string> Caption{*this, TZmiana::Napis};
    TWlasciwosc<std::u16string> Hint{*this, TZmiana::Podpowiedz};
    TWlasciwosc<TFont> Font{*this, TZmiana::Czcionka};
    TWlasciwosc<TColor> Color{*this, TZmiana::Kolor, clDefault};
    // Takes the parent's colour instead of its own.
    TWlasciwosc<bool> ParentColor{*this, TZmiana::KolorRodzica, false};
    TWlasciwosc<TCursor> Cursor{*this, TZmiana::Kursor, TCursor::crDefault};

    void SetBounds(int lewo, int gora, int szerokosc, int wysokosc);
    void Show() { Visible = true; }
    void Hide() { Visible = false; }
    // Lies over every sibling; the tab order stays.
    void BringToFront();
    // Paints the control now (IWidokKontrolki::OdmalujTeraz).
    void Repaint();
    // The control takes the keyboard focus: it becomes the ActiveControl of
    // the form it lies on (which need not be its owner: a page moved onto
    // another window takes the focus there).
    void SetFocus();
    bool Focused() const;
    // The form the control lies on: the top of its chain of parents when that
    // is a form; null for a control without a form above it.
    TForm* Forma() const;

    // Visible, it and every parent up to its form.
    bool Showing() const;
    // Showing and enabled, it and every parent: it can take the user's input.
    bool Dostepna() const;
    // A visible control lying over it (a later sibling of it or of one of
    // its parents) covers it whole: the user cannot see it.
    bool Zakryta() const;
    // It can hold the keyboard focus on its form: a kind that takes the
    // focus, visible and enabled with every parent below the form, and not
    // covered. (The form's own visibility does not count: a form remembers
    // its focus while it is hidden.)
    bool MozeMiecFokus() const;
    // The hint the control shows: its hint while it is enabled, none otherwise.
    std::u16string PokazywanaPodpowiedz() const;
    // The colour the control is drawn with: its own, or its parent's with ParentColor.
    TColor KolorEfektywny() const;
    // True when the control has no background of its own and shows what lies
    // under it: a transparent label, a panel with ParentBackground, and a
    // group box, check box, radio group or button without a colour of its
    // own (none set, or its parent's taken).
    virtual bool PokazujePodspod() const { return ParentColor || Color == clDefault; }
    // This kind takes the keyboard focus (a tab stop while it can take input).
    virtual bool PrzyjmujeFokus() const { return false; }
    // What this control does for its access key ("&" in its caption); false
    // for a kind that has none.
    virtual bool ZdarzenieKlawiszaDostepu() { return false; }
    // Alt with `znak`: when this control's caption (a radio group: one of its
    // items) marks that letter, it does what a click does; false otherwise.
    virtual bool KlawiszDostepu(char16_t znak);
    // An arrow key while the control has the focus (krok -1: left or up, 1:
    // right or down); false when the kind leaves arrows to the native control.
    virtual bool ZdarzenieStrzalki(int) { return false; }
    // The control was entered with Tab.
    virtual void WejscieTabulacja() {}
    // The native view; null before the form is realised.
    IWidokKontrolki* WidokKontrolki() const { return widokKontrolki_; }

    // What the view applies, in the pixels of the window the control lies on
    // (see TForm::Dpi): the place and size (of a form: its window on the
    // screen), and the font with its height.
    TProstokat MiejsceWidoku() const;
    TFont CzcionkaWidoku() const;
    // Design pixels in the pixels of the window the control lies on.
    int Skaluj(int piksele) const;
    // The size of `tekst` in `czcionka`, wrapped at `szerokoscZawijania`
    // (0: one line), in design pixels: measured by the backend at the
    // window's scale and rounded up, so that the scaled size holds the text.
    TRozmiar ZmierzNapis(const TFont& czcionka, const std::u16string& tekst,
                         int szerokoscZawijania) const;
    // The window's scale changed: every value of the view that scales is
    // reported again (a label measures its text anew first).
    virtual void Przeskalowano();

    std::function<void()> OnClick;
    std::function<void(TControl& nadawca, TMouseButton przycisk, int x, int y)> OnMouseDown;

    // The user clicked the control (a button, a picture, a label). Ignored
    // while the control cannot take input.
    void ZdarzenieKlikniecia();
    // A mouse button went down on the control at (x, y) of its client area.
    void ZdarzenieNacisku(TMouseButton przycisk, int x, int y);
    // The native focus came to the control (or to a form's own window). The
    // form it lies on hears of it: the control, when its kind takes the
    // focus; otherwise the form itself holds it.
    void ZdarzenieOtrzymaniaFokusu();

protected:
    void Zmieniono(TZmiana co) override;
    // The properties every control has and those of its kind, in the order
    // of TZmiana.
    static std::vector<TZmiana> WlasciwosciRodzaju(std::initializer_list<TZmiana> wlasne);
    void PrzyjmijWidok(std::unique_ptr<IWidokKontrolki> widok);

private:
    friend class TForm;
    IWidokKontrolki* widokKontrolki_ = nullptr;
    TControl* rodzic_ = nullptr;
    std::vector<TControl*> dzieci_;
    int kolejnoscTab_ = 0;
    bool jestForma_ = false;  // set by TForm; asked without a virtual call, also in destructors
};

// A plain panel. It paints its background in its colour, unless
// ParentBackground is set: then it paints none, and whatever lies behind it
// on the parent (a picture, the parent's own background) shows through.
class TPanel : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::Panel; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return ParentBackground; }

    TWlasciwosc<bool> ParentBackground{*this, TZmiana::TloRodzica, false};

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

class TGroupBox : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::Ramka; }
    std::span<const TZmiana> Wlasciwosci() const override;

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// A text label. With AutoSize it takes the size of its text; with WordWrap as
// well it keeps its width and takes the height of the wrapped text. A label
// that is not Transparent paints its background (a static text).
class TLabel : public TControl {
public:
    TLabel(TForm* wlasciciel, TControl* rodzic, std::string nazwa);
    TRodzaj Rodzaj() const override { return TRodzaj::Etykieta; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return Transparent; }

    TWlasciwosc<bool> AutoSize{*this, TZmiana::AutoRozmiar, true};
    TWlasciwosc<bool> WordWrap{*this, TZmiana::Zawijanie, false};
    TWlasciwosc<TAlignment> Alignment{*this, TZmiana::Wyrownanie, TAlignment::taLeftJustify};
    TWlasciwosc<bool> Transparent{*this, TZmiana::Przezroczystosc, true};

protected:
    void Zmieniono(TZmiana co) override;
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
    void Przeskalowano() override;

private:
    void DopasujRozmiar();
};

// A picture, one of the installer's built-in JPEG files, named by file name.
class TImage : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::Obraz; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return false; }

    TWlasciwosc<std::u16string> Picture{*this, TZmiana::Obraz};
    TWlasciwosc<bool> Stretch{*this, TZmiana::Rozciagniecie, false};

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// A push button; with a glyph, a button with a glyph; with Down, a speed
// button held pressed. Default answers Enter and Cancel answers Escape on its form.
class TButton : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::Przycisk; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PrzyjmujeFokus() const override { return true; }
    // As a click: the button takes the focus and runs OnClick.
    bool ZdarzenieKlawiszaDostepu() override;

    TWlasciwosc<TGlif> Glyph{*this, TZmiana::Glif, TGlif::Brak};
    TWlasciwosc<bool> Down{*this, TZmiana::Wcisniety, false};
    TWlasciwosc<bool> Default{*this, TZmiana::Domyslny, false};
    TWlasciwosc<bool> Cancel{*this, TZmiana::Anulujacy, false};

    // As a click by the user.
    void Click() { ZdarzenieKlikniecia(); }

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// The green check mark of a button with a glyph, in the glyph's 18 x 18
// pixels: a polyline of a round pen 3 pixels wide through these pixel
// centres, every backend drawing it alike.
struct TZnakZatwierdzenia {
    static constexpr int Rozmiar = 18;
    static constexpr int Grubosc = 3;
    static constexpr TColor Kolor = 0x009600;  // RGB(0, 150, 0)
    struct Punkt {
        int x, y;
    };
    static constexpr Punkt Punkty[3] = {{3, 10}, {7, 14}, {15, 4}};
};

class TCheckBox : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::PoleWyboru; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PrzyjmujeFokus() const override { return true; }
    // As a click on the box: it takes the focus and toggles.
    bool ZdarzenieKlawiszaDostepu() override;

    TWlasciwosc<bool> Checked{*this, TZmiana::Zaznaczenie, false};

    // The user toggled the box; the native box shows it already.
    void ZdarzenieZaznaczenia(bool zaznaczone);

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// A group box of radio buttons in columns. ItemIndex is -1 with no item
// selected. OnClick runs whenever the selection changes to an item, whether
// the user clicks it or code selects it; selecting no item runs nothing.
class TRadioGroup : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::GrupaOpcji; }
    std::span<const TZmiana> Wlasciwosci() const override;
    // The focus goes to an item: a group without items takes none.
    bool PrzyjmujeFokus() const override { return !Items().empty(); }

    TWlasciwosc<std::vector<std::u16string>> Items{*this, TZmiana::Elementy};
    TWlasciwosc<int> Columns{*this, TZmiana::Kolumny, 1};
    TWlasciwosc<int> ItemIndex{*this, TZmiana::Wybor, -1};

    // The user chose an item.
    void ZdarzenieWyboru(int indeks);
    // An arrow key on the group: the item `krok` on from the chosen one
    // (from the first when none is), round the group, is chosen.
    bool ZdarzenieStrzalki(int krok) override;
    // An item whose text marks the letter is chosen, as a click on it.
    bool KlawiszDostepu(char16_t znak) override;

    // Where item `indeks` lies inside the group, as the classic designer's
    // radio group arranges its buttons: columns of (Width - 10) / Columns
    // from 8 pixels in, the rows sharing the height below the caption line
    // (`wysokoscLinii`, the group's font) less 5 pixels. Every backend places
    // the items here, so that they lie alike on every system. In the
    // window's pixels (MiejsceWidoku, `wysokoscLinii` measured in the view's
    // font). Empty for an index out of range.
    TProstokat MiejsceElementu(int indeks, int wysokoscLinii) const;

protected:
    void Zmieniono(TZmiana co) override;
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// A one-line edit. OnChange runs when its text really changes; setting the
// text it already has runs nothing.
class TEdit : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::PoleEdycji; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return false; }
    bool PrzyjmujeFokus() const override { return true; }

    TWlasciwosc<std::u16string> Text{*this, TZmiana::Tekst};
    TWlasciwosc<bool> ReadOnly{*this, TZmiana::TylkoDoOdczytu, false};

    std::function<void()> OnChange;

    // The user changed the text; the native edit shows it already. OnChange
    // runs when it really differs. An edit that takes no typing (disabled,
    // hidden, read-only) keeps its text, and the view is told to show it again.
    void ZdarzenieZmianyTekstu(std::u16string tekst);
    // As in a dialog: an edit entered with Tab has its whole text selected.
    void WejscieTabulacja() override { Powiadom(TZmiana::CalyTekst); }

protected:
    void Zmieniono(TZmiana co) override;
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

class TListBox;

// The items of a list box. Every change is reported with the item it
// touched, so that a view repaints only what changed.
class TElementyListy {
public:
    explicit TElementyListy(TListBox& lista) : lista_(lista) {}
    int Count() const { return static_cast<int>(elementy_.size()); }
    const std::u16string& operator[](int i) const { return elementy_.at(static_cast<std::size_t>(i)); }
    const std::vector<std::u16string>& Wszystkie() const { return elementy_; }
    void Add(std::u16string tekst);
    void Set(int i, std::u16string tekst);
    void Clear();

private:
    TListBox& lista_;
    std::vector<std::u16string> elementy_;
};

// A list box of fixed-height items (ItemHeight pixels each). TopIndex is the
// item at the top of the view; ItemIndex the selected one, or -1.
class TListBox : public TControl {
public:
    TListBox(TForm* wlasciciel, TControl* rodzic, std::string nazwa);
    TRodzaj Rodzaj() const override { return TRodzaj::Lista; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return false; }
    bool PrzyjmujeFokus() const override { return true; }

    TElementyListy Items{*this};
    TWlasciwosc<int> ItemHeight{*this, TZmiana::WysokoscElementu, 16};
    TWlasciwosc<int> TopIndex{*this, TZmiana::GornyElement, 0};
    TWlasciwosc<int> ItemIndex{*this, TZmiana::Wybor, -1};

    // Whole items that fit the list's height.
    int WidoczneElementy() const;
    // ItemHeight in the window's pixels, as the view applies it.
    int WysokoscElementuWidoku() const { return Skaluj(ItemHeight); }

    // The user selected an item or scrolled the list.
    void ZdarzenieWyboru(int indeks);
    void ZdarzeniePrzewiniecia(int gorny);

protected:
    friend class TElementyListy;
    void Zmieniono(TZmiana co) override;
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
    void Przeskalowano() override;
};

// A horizontal bar; Position is held within Min..Max.
class TProgressBar : public TControl {
public:
    using TControl::TControl;
    TRodzaj Rodzaj() const override { return TRodzaj::PasekPostepu; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return false; }

    TWlasciwosc<int> Min{*this, TZmiana::Minimum, 0};
    TWlasciwosc<int> Max{*this, TZmiana::Maksimum, 100};
    TWlasciwosc<int> Position{*this, TZmiana::Postep, 0};

protected:
    void Zmieniono(TZmiana co) override;
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// A timer of its form. While Enabled, the backend ticks it every Interval
// milliseconds. A tick is handled only once the form has been shown and
// painted: ticks that come earlier are dropped, so the first handled tick
// always finds the window on the screen.
class TTimer : public TComponent {
public:
    TTimer(TForm* wlasciciel, std::string nazwa) : TComponent(wlasciciel, std::move(nazwa)) {}
    TRodzaj Rodzaj() const override { return TRodzaj::Zegar; }
    std::span<const TZmiana> Wlasciwosci() const override;

    TWlasciwosc<bool> Enabled{*this, TZmiana::Dostepnosc, true};
    TWlasciwosc<int> Interval{*this, TZmiana::Interwal, 1000};

    std::function<void()> OnTimer;

    void ZdarzenieTykniecia();

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
};

// The file-save dialog of a form: its settings as properties, shown by
// Execute through the backend. Not a control; it has no view.
class TSaveDialog {
public:
    explicit TSaveDialog(TForm& wlasciciel) : wlasciciel_(wlasciciel) {}
    std::u16string Title;
    std::u16string FileName;  // proposed before, the chosen full path after Execute
    std::u16string InitialDir;
    // True when the user chose a file; FileName then holds its full path.
    bool Execute();

private:
    TForm& wlasciciel_;
};

// A window. It owns every component made for it; Left/Top/Width/Height are
// the outer window on the screen, the client area lies BorderWidth pixels in
// on every side, and children are placed relative to the client area.
class TForm : public TControl {
public:
    explicit TForm(std::string nazwa);
    ~TForm() override;
    TRodzaj Rodzaj() const override { return TRodzaj::Forma; }
    std::span<const TZmiana> Wlasciwosci() const override;
    bool PokazujePodspod() const override { return false; }
    IWidokFormy* WidokFormy() const { return widokFormy_; }

    // Makes a component of this form. Parents must be made before their
    // children; the order of making is the stacking and the tab order.
    template <typename T, typename... Argumenty>
    T* Utworz(TControl* rodzic, std::string nazwa, Argumenty&&... argumenty);
    template <typename T>
    T* UtworzSkladnik(std::string nazwa);
    // The component of this form with that name, or null.
    TComponent* Znajdz(std::string_view nazwa) const;
    const std::vector<std::unique_ptr<TComponent>>& Skladniki() const { return skladniki_; }

    // Makes the native views of the form and of every component, once the
    // design has been built. Components made later are realised at once.
    void Realizuj();
    bool Zrealizowana() const { return zrealizowana_; }

    TWlasciwosc<int> BorderWidth{*this, TZmiana::Ramka, 0};
    TWlasciwosc<TPozycjaFormy> Position{*this, TZmiana::Polozenie, TPozycjaFormy::poDesigned};
    // The window is clipped to its rectangle with the corners rounded by
    // ellipses of this size (CreateRoundRectRgn); none while it is 0 x 0.
    TWlasciwosc<TRozmiar> Zaokraglenie{*this, TZmiana::Zaokraglenie};
    // The control with the keyboard focus; null: the form itself.
    TWlasciwosc<TControl*> ActiveControl{*this, TZmiana::Fokus, nullptr};
    TWlasciwosc<int> ModalResult{*this, TZmiana::ModalResult, mrNone};
    // The application's main window: closing it ends the application.
    bool Glowna = false;
    // The window this one belongs to: every other window of the installer
    // belongs to the main one (it stays above it and has no taskbar button
    // of its own); null for the main window and while there is none.
    TForm* WlascicielOkna() const;

    // Scaling. The design of every form, and every place, size, font height,
    // list row and corner ellipse the forms set and read (a control's Left
    // and Top, every Width and Height, Font.Height, ItemHeight, Zaokraglenie,
    // BorderWidth), is in pixels at 96 dpi. The model alone owns the factor:
    // a form's window has the dpi its view reports when it is realised
    // (IWidokFormy::Dpi) or later with ZdarzenieZmianyDpi, and a view
    // applies only what the model computes from the design values for that
    // dpi (MiejsceWidoku, CzcionkaWidoku, WysokoscElementuWidoku,
    // ZaokraglenieWidoku, RamkaWidoku, TRadioGroup::MiejsceElementu). Each
    // value is scaled on its own as MulDiv(value, dpi, 96) does: rounded to
    // the nearest pixel, halves away from zero; always from the design
    // value, so that a change of dpi and back gives the same pixels again.
    //
    // The units of the backend's services, so that nothing is scaled twice:
    // the pointer (IKursor), the work area (ObszarEkranu) and a form's own
    // Left and Top (its window's corner on the screen, as the view, the drag
    // and WM_DPICHANGED report it) are the screen's pixels, never scaled by
    // the model, while the window's size is design pixels like every other
    // size (MiejsceWidoku gives the screen's); text measurement (ZmierzTekst)
    // is in the pixels of the font it is given, which the model gives scaled
    // (TControl::ZmierzNapis). A toolkit that scales by itself (Qt) reports
    // 96: its pixels are then its own device-independent ones throughout.
    int Dpi() const { return dpi_; }
    // The corner ellipse and the inner border in the window's pixels.
    TRozmiar ZaokraglenieWidoku() const;
    int RamkaWidoku() const { return Skaluj(BorderWidth); }
    // The screen point (x, y) design pixels from the window's top-left corner.
    platforma::PunktEkranu NaEkranie(int x, int y) const;
    // The backend: the window's dpi changed (it moved to another monitor, or
    // the user changed the scale). `nowe` is the place the system proposes
    // for the window (its left and top are taken); null keeps the place.
    void ZdarzenieZmianyDpi(int dpi, const TProstokat* nowe = nullptr);

    int ClientWidth() const { return Width - 2 * BorderWidth; }
    int ClientHeight() const { return Height - 2 * BorderWidth; }
    void SetClientSize(int szerokosc, int wysokosc);

    // Shows the form; a form placed poScreenCenter is centred on the screen
    // the first time. OnShow runs first, so it may lay the form out.
    void Show();
    // Closes the form: OnCloseQuery may refuse; a modal form ends its modal
    // loop with mrCancel; otherwise the form hides, OnClose runs, and closing
    // the main window ends the application.
    void Close();
    // Shows the form and runs its modal loop until ModalResult is set; then
    // OnClose runs and the form hides. Returns the ModalResult.
    int ShowModal();
    bool Modalna() const { return modalna_; }
    // The form has been shown and painted at least once.
    bool Namalowana() const { return namalowana_; }
    // The system moves the window with the mouse until the button is released.
    void Przeciagnij();

    std::function<void()> OnShow;
    std::function<void()> OnClose;
    std::function<void(bool& moznaZamknac)> OnCloseQuery;

    // Reports of the backend.
    void ZdarzenieZamkniecia();                 // the user or the system asks the window to close
    void ZdarzeniePrzesuniecia(int lewo, int gora);  // the window was moved (dragged)
    void ZdarzenieMalowania();                  // the window has been painted
    // A key not taken by a control: Enter clicks the focused button, else the
    // Default button lying on this form; Escape clicks the Cancel one; Tab
    // and Shift+Tab move the focus through the tab stops (KolejnoscTabulacji);
    // an arrow on a radio group moves its choice. False when the key is not
    // the model's (the native control may use it).
    bool ZdarzenieKlawisza(TKlawisz klawisz);
    // Alt with a letter: the first button or check box lying on this form
    // that can take the focus (MozeMiecFokus), whose caption marks that
    // letter with "&", does what a click does. Only with the left Alt alone
    // (TModyfikatory). False when none does.
    bool ZdarzenieKlawiszaDostepu(char16_t znak, TModyfikatory modyfikatory = {.lewyAlt = true});
    void ZdarzenieFokusu(TControl* kontrolka);  // the focus moved (null: the form itself)

    // The tab stops lying on this form, in the tab order: each parent's
    // children in the order of TabOrder, a container's stops in its place;
    // only controls that can hold the focus (MozeMiecFokus).
    std::vector<TControl*> KolejnoscTabulacji() const;
    // The focused control can no longer hold the focus (disabled, hidden,
    // covered): the focus moves to the next tab stop after it in the tab
    // order, round the form, or to the form itself when none is left.
    void PilnujFokusu();

protected:
    void UtworzWidok(IFabrykaWidokow& fabryka) override;
    void Przeskalowano() override;

private:
    IWidokFormy* widokFormy_ = nullptr;
    TComponent* Dodaj(std::unique_ptr<TComponent> skladnik);
    std::vector<std::unique_ptr<TComponent>> skladniki_;
    bool zrealizowana_ = false;
    bool modalna_ = false;
    bool namalowana_ = false;
    bool umieszczona_ = false;
    int dpi_ = 96;
};

template <typename T, typename... Argumenty>
T* TForm::Utworz(TControl* rodzic, std::string nazwa, Argumenty&&... argumenty) {
    auto skladnik = std::make_unique<T>(this, rodzic ? rodzic : this, std::move(nazwa),
                                        std::forward<Argumenty>(argumenty)...);
    return static_cast<T*>(Dodaj(std::move(skladnik)));
}

template <typename T>
T* TForm::UtworzSkladnik(std::string nazwa) {
    return static_cast<T*>(Dodaj(std::make_unique<T>(this, std::move(nazwa))));
}
