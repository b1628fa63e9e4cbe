// The installer's entry on Windows: COM for the user-interface thread, the
// Win32 backend of the forms, the system behind its interfaces, the two
// forms, and the message loop until the main window closes.
#include <windows.h>

#include <memory>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "Instal.h"
#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "PlatformaWin32.h"
#include "Uslugi.h"
#include "Win32Pomoc.h"
#include "ZapleczeWin32.h"
#include "platform/Platforma.h"

int WINAPI wWinMain(HINSTANCE instancja, HINSTANCE, PWSTR, int) {
    // A single-threaded apartment, before anything else: the shell-link
    // object, the pictures' decoder and the file dialog all live in it.
    platforma::ZainicjujCom();
    ZapleczeWin32 zaplecze(instancja);

    platforma::Platforma system = platforma::UtworzPlatforme();
    // Programs the shell starts, and its questions about them, belong to the
    // main window.
    system.powloka = platforma::UtworzPowlokeWin32([&zaplecze] { return zaplecze.OknoGlowne(); });
    // "Instalator", from the program's own file name.
    TAplikacja aplikacja(zaplecze, TytulAplikacji(system.powloka->SciezkaProgramu()));
    std::unique_ptr<IKlientHttp> http = UtworzKlientaHttp();

    UslugiInterfejsu uslugi{Kontekst(), *system.pliki, *system.powloka, *system.skroty, zaplecze,
                            zaplecze,   zaplecze,      *http,           KAVROSTEL_SERVER_URL};

    FormMain = new TFormMain(uslugi);
    FormInstal = new TFormInstal(uslugi);
    FormMain->Show();
    const int wynik = aplikacja.Run();

    delete FormInstal;
    FormInstal = nullptr;
    delete FormMain;
    FormMain = nullptr;
    return wynik;
}
