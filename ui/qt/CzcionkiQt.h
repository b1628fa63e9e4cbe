#pragma once
// Fonts and colours of the model as Qt draws them, chosen in this one place.
//
// The forms were designed for "MS Sans Serif", which Linux does not have. Its
// substitute is DejaVu Sans (Debian package fonts-dejavu-core): at a pixel
// size of 17 its line is 20 pixels high and at 13 pixels it is 15 pixels high,
// the heights the layouts of the window and of the notice box rest on. The
// same family stands in for Arial, so that every machine with the one package
// draws the same.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include "Kontrolki.h"

// The family that stands in for "MS Sans Serif" and Arial.
QString RodzinaZastepcza();

// The font a model font is drawn with: the substitute family, the character
// height in pixels, bold and underline as the model says.
QFont CzcionkaQt(const TFont& czcionka);

// A fixed colour as it is; a system colour as the application's palette has
// it (the button face, the tooltip background ...).
QColor KolorQt(TColor kolor);
