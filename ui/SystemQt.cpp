#include "SystemQt.h"

#include <QApplication>
#include <QCursor>
#include <QPoint>

platforma::PunktEkranu KursorQt::Pozycja() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void KursorQt::Ustaw(platforma::PunktEkranu punkt) {
    QCursor::setPos(punkt.x, punkt.y);
}

bool KursorQt::AplikacjaAktywna() {
    return QApplication::activeWindow() != nullptr;
}

void PetlaKomunikatowQt::Pompuj() {
    QCoreApplication::processEvents();
}
