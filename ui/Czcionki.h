#pragma once
// The fonts of the forms, chosen in this one place.
//
// The forms were designed for "MS Sans Serif", which Linux does not have. Its
// substitute is DejaVu Sans (Debian package fonts-dejavu-core): at a pixel
// size of 17 its line is 20 pixels high and at 13 pixels it is 15 pixels high,
// the heights the layouts of the window and of the notice box rest on. The
// same family stands in for Arial, so that every machine with the one package
// draws the same.
#include <QFont>
#include <QString>

// The family that stands in for "MS Sans Serif" and Arial.
QString RodzinaZastepcza();

// A font of the given character height in pixels.
QFont CzcionkaPx(int px, bool pogrubiona = false);

// The main window's default font: "MS Sans Serif", 13 pixels.
QFont CzcionkaOkna();

// Arial of the given height (the completion view's label).
QFont CzcionkaArial(int px, bool pogrubiona = false);
