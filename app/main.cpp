// The installer's entry on Qt: the toolkit, the system behind its
// interfaces and the Qt backend of the forms; then the start-up that every
// toolkit shares.
#include <QApplication>

#include "Start.h"
#include "ZapleczeQt.h"
#include "platform/Platforma.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    platforma::Platforma system = platforma::UtworzPlatforme();
    ZapleczeQt zaplecze(*system.pliki, *system.zegar);
    return UruchomInstalator(zaplecze, system, KAVROSTEL_SERVER_URL);
}
