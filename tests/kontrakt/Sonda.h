#pragma once
// The contract every backend keeps with the control model, written once
// (kontrakt_test.cpp) and run against each backend: the Qt one natively, the
// Win32 one under Wine. A backend's probe reads what its native controls
// show and acts as the user does on them; the cases compare that with the
// model. What only one toolkit has stays in that toolkit's own tests.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Aplikacja.h"
#include "Kontrolki.h"

class Sonda {
public:
    virtual ~Sonda() = default;

    virtual IZaplecze& Zaplecze() = 0;
    // The error displays shown (title, text), recorded instead of shown.
    virtual const std::vector<std::pair<std::u16string, std::u16string>>& Bledy() const = 0;
    // Handles the pending messages until `warunek` holds or the time is up.
    virtual bool Czekaj(const std::function<bool()>& warunek, int milisekundy = 3000) = 0;
    void Przepusc(int milisekundy = 30) {
        Czekaj([] { return false; }, milisekundy);
    }

    // What the native control shows, by its own flags.
    virtual TProstokat Miejsce(const TControl& k) = 0;  // in its native parent's client area
    virtual bool Widoczny(const TControl& k) = 0;
    virtual bool Wlaczony(const TControl& k) = 0;
    virtual std::u16string Napis(const TControl& k) = 0;  // a caption, a window title, an edit's text
    virtual bool Zaznaczony(const TCheckBox& k) = 0;
    virtual std::vector<std::u16string> Elementy(const TRadioGroup& k) = 0;
    virtual int Wybrany(const TRadioGroup& k) = 0;  // the checked item, or -1
    virtual int Gorny(const TListBox& k) = 0;       // the item at the top of the view
    virtual std::pair<int, int> Pasek(const TProgressBar& k) = 0;  // the maximum and the position
    virtual bool TylkoDoOdczytu(const TEdit& k) = 0;
    virtual bool Wcisniety(const TButton& k) = 0;
    // The control whose native control has the keyboard focus (the form for
    // its own window); null for none of the model's.
    virtual const TControl* Fokus() = 0;
    // The native parent of the control is the view of its model parent (or,
    // without one, no window of the model).
    virtual bool PodRodzicem(const TControl& k) = 0;

    // The user's actions on the native controls.
    virtual void Kliknij(const TControl& k) = 0;  // a button or a check box
    virtual void WybierzElement(const TRadioGroup& k, int indeks) = 0;
    virtual void Wpisz(const TEdit& k, const std::u16string& tekst) = 0;  // replaces the text
    virtual void Przewin(const TListBox& k, int gorny) = 0;               // with the scroll bar
    // A key pressed on the control that has the focus: Enter, Escape, Tab,
    // an arrow (Shift+Tab is left to the model's own tests).
    virtual void Klawisz(TKlawisz klawisz) = 0;
    virtual void KlawiszDostepu(char16_t litera) = 0;  // Alt with the letter
    virtual void ZamknijOkno(const TForm& forma) = 0;   // as the system's close
};

// The probe of the backend this program is built with.
std::unique_ptr<Sonda> UtworzSonde();
