#include "Czcionki.h"

QString RodzinaZastepcza() { return QStringLiteral("DejaVu Sans"); }

QFont CzcionkaPx(int px, bool pogrubiona) {
    QFont czcionka(RodzinaZastepcza());
    czcionka.setPixelSize(px);
    czcionka.setBold(pogrubiona);
    return czcionka;
}

QFont CzcionkaOkna() { return CzcionkaPx(13); }

QFont CzcionkaArial(int px, bool pogrubiona) { return CzcionkaPx(px, pogrubiona); }
