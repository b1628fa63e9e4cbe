// The installer's entry: the application object, the system behind its
// interfaces, the two forms, and the message loop until the main window closes.
#include <QWidget>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "DialogZapisuQt.h"
#include "Instal.h"
#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "SystemQt.h"
#include "Uslugi.h"
#include "platform/Platforma.h"

int main(int argc, char** argv) {
    TAplikacja aplikacja(argc, argv);
    Q_INIT_RESOURCE(obrazy);

    platforma::Platforma system = platforma::UtworzPlatforme();
    std::unique_ptr<IKlientHttp> http = UtworzKlientaHttp();
    KursorQt kursor;
    PetlaKomunikatowQt petla;
    DialogZapisuQt dialogZapisu(*system.pliki);

    UslugiInterfejsu uslugi{Kontekst(),      *system.pliki, *system.powloka, *system.skroty,
                            kursor,          *system.zegar, petla,           *http,
                            dialogZapisu,    KAVROSTEL_SERVER_URL};

    FormMain = new TFormMain(uslugi);
    FormInstal = new TFormInstal(uslugi);

    FormMain->show();
    // Without a window manager nobody activates the window; the presentation
    // runs only while the installer is the active application.
    FormMain->raise();
    FormMain->activateWindow();

    const int wynik = aplikacja.exec();

    delete FormInstal;
    FormInstal = nullptr;
    delete FormMain;
    FormMain = nullptr;
    return wynik;
}
