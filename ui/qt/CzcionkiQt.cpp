#include "CzcionkiQt.h"

#include <QApplication>

QString RodzinaZastepcza() { return QStringLiteral("DejaVu Sans"); }

QFont CzcionkaQt(const TFont& czcionka) {
    QFont f(RodzinaZastepcza());
    f.setPixelSize(czcionka.Height > 0 ? czcionka.Height : 13);
    f.setBold(czcionka.Bold);
    f.setUnderline(czcionka.Underline);
    return f;
}

QColor KolorQt(TColor kolor) {
    if (!KolorSystemowy(kolor)) return QColor(Czerwona(kolor), Zielona(kolor), Niebieska(kolor));
    const QPalette paleta = QApplication::palette();
    switch (IndeksKoloruSystemowego(kolor)) {
    case IndeksKoloruSystemowego(clWindow):
        return paleta.color(QPalette::Base);
    case IndeksKoloruSystemowego(clWindowText):
        return paleta.color(QPalette::WindowText);
    case IndeksKoloruSystemowego(clBtnFace):
        return paleta.color(QPalette::Button);
    case IndeksKoloruSystemowego(clBtnText):
        return paleta.color(QPalette::ButtonText);
    case IndeksKoloruSystemowego(clInfoBk):
        return paleta.color(QPalette::ToolTipBase);
    default:
        return paleta.color(QPalette::Window);
    }
}
