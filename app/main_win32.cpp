// The installer's entry on Windows: COM for the user-interface thread, the
// Win32 backend of the forms and the application object over it, the system
// behind its interfaces, the two forms, and the message loop until the main
// window closes.
#include <windows.h>

#include <exception>
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
#include "platform/Tekst.h"

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
    try {
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
    } catch (const std::exception& blad) {
        // Only start-up can get here (the handlers' errors stop in the
        // top-level error display): say why, instead of vanishing.
        aplikacja.PokazBlad(platforma::Utf16(blad.what()));
        return 1;
    }
}
