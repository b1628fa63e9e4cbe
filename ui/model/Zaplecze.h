#pragma once
// The seam between the forms and a window toolkit.
//
// The forms (ui/) are written once against the control model (Kontrolki.h).
// A backend realises that model on one toolkit (ui/qt/, ui/win32/): for every
// model control it makes one native control, its view (IWidok), which mirrors
// the control's properties whenever the model reports a change, and it turns
// the user's actions into the model's events (TControl::Zdarzenie...). The
// few services that differ per toolkit are the backend's interface IZaplecze.
//
// A backend holds no behaviour of its own: which control is enabled, when a
// handler runs, what a click means are decided in ui/. A view reads the
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

// What changed on a control. The view reads the new value from the control.
enum class TZmiana {
    Rodzic,        // Parent: the native control moves under the new parent's view
    Miejsce,       // Left, Top, Width, Height (of a form: the outer window on the screen)
    Widocznosc,    // Visible
    Dostepnosc,    // Enabled
    Napis,         // Caption (of a form: the window title), Text of an edit
    Podpowiedz,    // the hint shown (TControl::PokazywanaPodpowiedz)
    Czcionka,      // Font (face, height, style, colour)
    Kolor,         // Color or ParentColor, Transparent of a label, ParentBackground of a panel
    Zaznaczenie,   // Checked of a check box
    Wybor,         // ItemIndex of a radio group or a list box
    Elementy,      // Items of a radio group as a whole, Columns
    ElementDodany,       // list box: item `indeks` was appended
    ElementZmieniony,    // list box: the text of item `indeks` changed
    ElementyWyczyszczone,// list box: every item removed
    GornyElement,  // TopIndex of a list box
    Pasek,         // Min, Max, Position of a progress bar
    Fokus,         // the form's ActiveControl (the keyboard focus), reported on the form
    Kolejnosc,     // z-order among the siblings (BringToFront)
    Wcisniety,     // Down of a speed button
    Obraz,         // Picture, Stretch of an image
    Kursor,        // Cursor shown over the control
    Zegar,         // Enabled or Interval of a timer
    ModalResult,   // a form's ModalResult became nonzero: its modal loop must end
    Przyciski,     // Default or Cancel of a button
    Wyrownanie,    // Alignment, WordWrap, ReadOnly
};

// The native side of one model control, made by the backend.
class IWidok {
public:
    virtual ~IWidok() = default;
    // `indeks` names the list item for the Element... changes; -1 otherwise.
    virtual void Zmiana(TZmiana co, int indeks) = 0;
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

    // The native side of a component (a control, or a timer), made when its
    // form is realised (TForm::Realizuj); it reads every property from the
    // component. The backend tells the kind by TComponent::Rodzaj. Parents
    // are realised before their children, and a view is destroyed before the
    // view of its parent.
    virtual std::unique_ptr<IWidok> UtworzWidok(TComponent& skladnik) = 0;

    // Pending window messages are handled, then control returns (IPetlaKomunikatow).
    // Sleep blocks the thread (IZegar). The pointer: GetCursorPos,
    // SetCursorPos and the active-application test (IKursor).

    // Paints the control's pending changes now, without waiting for the
    // message loop; only what changed needs painting.
    virtual void OdmalujTeraz(TControl& kontrolka) = 0;

    // Runs a modal loop for `forma`, which is already visible: the installer's
    // other windows take no input meanwhile, timers and other messages keep
    // running. Returns once the form's ModalResult is nonzero (reported as
    // TZmiana::ModalResult), when the form's view goes away, or when the
    // application ends.
    virtual void PetlaModalna(TForm& forma) = 0;

    // The application's message loop; returns once Zakoncz has been called.
    virtual int PetlaGlowna() = 0;
    // Ends the application: the main loop and every modal loop return.
    virtual void Zakoncz() = 0;

    // Clips the form's window to a rounded rectangle from (0, 0) to
    // (szerokosc, wysokosc) with corner ellipses elipsaX x elipsaY
    // (CreateRoundRectRgn + SetWindowRgn with redraw).
    virtual void UstawKsztalt(TForm& forma, int szerokosc, int wysokosc, int elipsaX,
                              int elipsaY) = 0;

    // The system moves the form's window with the mouse as if its caption
    // were dragged, until the button is released (ReleaseCapture +
    // WM_NCLBUTTONDOWN/HTCAPTION). The backend reports the new place with
    // TForm::ZdarzeniePrzesuniecia.
    virtual void PrzeciagnijOkno(TForm& forma) = 0;

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
