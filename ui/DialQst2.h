#pragma once
// The installer's own notice box FormQst: borderless, rounded, two centred
// lines and one "&Ok" button, shown modally over the main window.
#include <string>

#include "Kontrolki.h"

// The argument list of MessageBoxW: owner and style are ignored (callers pass 0).
int Informacja(void* wlasciciel, const std::u16string& tekst, const std::u16string& tytul,
               unsigned styl);

// Shows a notice and returns when it is closed, or at once when a box is
// already on screen (that box then shows the new texts).
void PokazKomunikat(const std::u16string& tytul, const std::u16string& linia1,
                    const std::u16string& linia2);

class TFormQst : public TForm {
public:
    // Builds the design and realises it; the box stays hidden until shown.
    TFormQst();
    ~TFormQst() override;

    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TPanel* Panel2 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* B1 = nullptr;

    // Lays out, places and shapes the box as it becomes visible.
    void FormShow();
    void B1Click();
    // The box has closed: the global reference is emptied; whoever made the
    // box then disposes of it.
    void FormClose();

    // Panel1, Label1, Panel2 and Label2 lie one below the other from the top:
    // a label that takes a new height moves the controls below it.
    void UlozOdGory();

private:
    void Projekt();
};

// The box on screen, or null.
extern TFormQst* FormQst;
