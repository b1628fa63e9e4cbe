#pragma once
// The seam between the forms and a window toolkit.
//
// The forms (ui/) are written once against the control model (Kontrolki.h).
// A backend realises that model on one toolkit (ui/qt/, ui/win32/): for every
// model control it makes one native control, its view (IWidok), which mirrors
// the control's properties whenever the model reports a change, and it turns
// the user's actions into the model's events (TControl::Zdarzenie...). What is
// done to one form's window (its modal loop, its drag) is its view's
// (IWidokFormy); the process-wide services that differ per toolkit are the
// backend's interface IZaplecze.
//
// A backend holds no behaviour of its own: which control is enabled, when a
// handler runs, what a click means, where Tab and an access key go, which
// control takes the focus are decided in the model and in ui/. A view reads the
// current values from its model control; it never keeps a second copy of a
// property it could read there.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Kursor.h"

class TComponent;
class TControl;
class TForm;
struct TFont;

// What changed on a component: one value per property, so that a view never
// has to guess which of several properties it must read again. The view reads
// the new value from the component. When a view has been made, the model
// reports every property its kind has (TComponent::Wlasciwosci), in that
// order: the initial state reaches every backend through the same list.
enum class TZmiana {
    // Properties.
    Czcionka,        // Font (face, height, style, colour)
    Kolor,           // Color
    KolorRodzica,    // ParentColor
    Przezroczystosc, // Transparent of a label
    TloRodzica,      // ParentBackground of a panel
    Napis,           // Caption (of a form: the window title)
    Tekst,           // Text of an edit
    Wyrownanie,      // Alignment of a label
    Zawijanie,       // WordWrap of a label
    AutoRozmiar,     // AutoSize of a label
    TylkoDoOdczytu,  // ReadOnly of an edit
    Obraz,           // Picture of an image
    Rozciagniecie,   // Stretch of an image
    Glif,            // Glyph of a button
    Elementy,        // Items of a radio group; of a list box: every item anew
    Kolumny,         // Columns of a radio group
    WysokoscElementu,// ItemHeight of a list box
    Wybor,           // ItemIndex of a radio group or a list box
    Zaznaczenie,     // Checked of a check box
    Minimum,         // Min of a progress bar
    Maksimum,        // Max of a progress bar
    Postep,          // Position of a progress bar
    Wcisniety,       // Down of a speed button
    Domyslny,        // Default of a button
    Anulujacy,       // Cancel of a button
    GornyElement,    // TopIndex of a list box
    Ramka,           // BorderWidth of a form (the client area moves in)
    Polozenie,       // Position of a form (where it first appears)
    Zaokraglenie,    // the corner ellipse of a form's window (TForm::Zaokraglenie)
    Miejsce,         // Left, Top, Width, Height (of a form: the outer window on the screen)
    Dostepnosc,      // Enabled (of a timer: whether it ticks)
    Podpowiedz,      // the hint shown (TControl::PokazywanaPodpowiedz)
    Kursor,          // Cursor shown over the control
    Interwal,        // Interval of a timer
    Widocznosc,      // Visible
    Fokus,           // the form's ActiveControl (the keyboard focus), reported on the form
    ModalResult,     // a form's ModalResult became nonzero: its modal loop must end

    // Events of the model that are no property of their own.
    Rodzic,          // SetParent: the native control moves under the new parent's view
    Kolejnosc,       // BringToFront: z-order among the siblings
    ElementDodany,         // list box: item `indeks` was appended
    ElementZmieniony,      // list box: the text of item `indeks` changed
    ElementyWyczyszczone,  // list box: every item removed
    CalyTekst,       // an edit entered from the keyboard shows its whole text selected
};

// The native side of one component, made by the backend.
class IWidok {
public:
    virtual ~IWidok() = default;
    // `indeks` names the list item for the Element... changes; -1 otherwise.
    virtual void Zmiana(TZmiana co, int indeks) = 0;
};

// The native side of a visible control.
class IWidokKontrolki : public virtual IWidok {
public:
    // Paints the control's pending changes now, without waiting for the
    // message loop; only what changed needs painting.
    virtual void OdmalujTeraz() = 0;
};

// The native side of a form: its window, and what is done to that window
// as a whole.
class IWidokFormy : public virtual IWidokKontrolki {
public:
    // Runs a modal loop for the form, which is already visible: the
    // installer's other windows take no input meanwhile, timers and other
    // messages keep running. Returns once the form's ModalResult is nonzero
    // (reported as TZmiana::ModalResult), when the view goes away, or when
    // the application ends.
    virtual void PetlaModalna() = 0;
    // The system moves the window with the mouse as if its caption were
    // dragged, until the button is released (ReleaseCapture +
    // WM_NCLBUTTONDOWN/HTCAPTION). The view reports the new place with
    // TForm::ZdarzeniePrzesuniecia.
    virtual void Przeciagnij() = 0;
    // The dots per inch of the window, from which the model scales the form
    // (TForm::Dpi); 96 where the toolkit scales by itself.
    virtual int Dpi() const = 0;
};

class TPanel;
class TLabel;
class TImage;
class TGroupBox;
class TButton;
class TCheckBox;
class TRadioGroup;
class TEdit;
class TListBox;
class TProgressBar;
class TTimer;

// Makes the views, one overload per kind: a component asks for the view of
// its own kind, and each kind's view is reached through the interface it
// has. Parents are realised before their children, and a view is destroyed
// before the view of its parent.
class IFabrykaWidokow {
public:
    virtual ~IFabrykaWidokow() = default;
    virtual std::unique_ptr<IWidokFormy> Utworz(TForm& forma) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TPanel& panel) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TLabel& etykieta) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TImage& obraz) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TGroupBox& ramka) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TButton& przycisk) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TCheckBox& pole) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TRadioGroup& grupa) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TEdit& pole) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TListBox& lista) = 0;
    virtual std::unique_ptr<IWidokKontrolki> Utworz(TProgressBar& pasek) = 0;
    virtual std::unique_ptr<IWidok> Utworz(TTimer& zegar) = 0;
};

struct TRozmiar {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TRozmiar&, const TRozmiar&) = default;
};

struct TProstokat {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TProstokat&, const TProstokat&) = default;
};

// The services of one toolkit. The pointer, the clock and the pump are the
// platform's interfaces, so the pointer glide runs over a backend as it is.
class IZaplecze : public platforma::IKursor,
                  public platforma::IZegar,
                  public platforma::IPetlaKomunikatow {
public:
    ~IZaplecze() override = default;

    // The views of this toolkit.
    virtual IFabrykaWidokow& Widoki() = 0;

    // Pending window messages are handled, then control returns (IPetlaKomunikatow).
    // Sleep blocks the thread (IZegar). The pointer: GetCursorPos,
    // SetCursorPos and the active-application test (IKursor).

    // The application's message loop; returns once Zakoncz has been called.
    virtual int PetlaGlowna() = 0;
    // Ends the application: the main loop and every modal loop return.
    virtual void Zakoncz() = 0;

    // The platform's standard message dialog: owner the main window, the
    // given title, no icon, one OK button. Modal; returns when closed.
    virtual void KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) = 0;
    // The same dialog with the error icon, for the top-level error display.
    virtual void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) = 0;

    // The file-save dialog, modal: the chosen full path as a Windows path, or
    // nothing when the user cancels. Nothing is written to the file.
    virtual std::optional<std::u16string> DialogZapisu(TForm* wlasciciel,
                                                       const std::u16string& tytul,
                                                       const std::u16string& nazwaPliku,
                                                       const std::u16string& folderPoczatkowy) = 0;

    // The size of `tekst` drawn in `czcionka`. With `szerokoscZawijania` > 0
    // the text is word-wrapped at that width and the width is that width.
    // A carriage return, a line feed or both start a new line. The height is
    // a whole number of lines, at least one (also for an empty text).
    virtual TRozmiar ZmierzTekst(const TFont& czcionka, const std::u16string& tekst,
                                 int szerokoscZawijania) = 0;

    // The work area of the screen the installer appears on.
    virtual TProstokat ObszarEkranu() = 0;
};
