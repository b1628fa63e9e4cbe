#pragma once
// The installer's own notice box FormQst: borderless, rounded, two centred
// lines and one "&Ok" button, shown modally over the main window.
#include <string>

#include <QWidget>

// The argument list of MessageBoxW: owner and style are ignored (callers pass 0).
int Informacja(void* wlasciciel, const std::u16string& tekst, const std::u16string& tytul,
               unsigned styl);

// Shows a notice and returns when it is closed, or at once when a box is
// already on screen (that box then shows the new texts).
void PokazKomunikat(const std::u16string& tytul, const std::u16string& linia1,
                    const std::u16string& linia2);

class TFormQst;
// The box on screen, or null.
extern TFormQst* FormQst;
