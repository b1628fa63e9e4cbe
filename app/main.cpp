// The installer's entry on Qt: the toolkit, the Qt backend and the
// application object over it, the system behind its interfaces, the two
// forms, and the message loop until the main window closes.
#include <QApplication>
#include <memory>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "Instal.h"
#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "Uslugi.h"
#include "ZapleczeQt.h"
#include "platform/Platforma.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    platforma::Platforma system = platforma::UtworzPlatforme();
    ZapleczeQt zaplecze(*system.pliki, *system.zegar);
    TAplikacja aplikacja(zaplecze, TytulAplikacji(QCoreApplication::applicationFilePath().toStdU16String()));

    std::unique_ptr<IKlientHttp> http = UtworzKlientaHttp();
    UslugiInterfejsu uslugi{Kontekst(), *system.pliki, *system.powloka, *system.skroty, *http,
                            KAVROSTEL_SERVER_URL};

    auto glowne = std::make_unique<TFormMain>(uslugi);
    auto strona = std::make_unique<TFormInstal>(uslugi);
    glowne->Show();
    const int wynik = aplikacja.Run();

    strona.reset();
    glowne.reset();
    return wynik;
}
