#include "Start.h"

#include <exception>
#include <memory>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "Instal.h"
#include "KlientHttp.h"
#include "KontekstInstalacji.h"
#include "Uslugi.h"
#include "platform/Blad.h"
#include "platform/Tekst.h"

int UruchomInstalator(IZaplecze& zaplecze, platforma::Platforma& system,
                      const std::string& adresSerwera) {
    // "Instalator", from the program's own file name.
    TAplikacja aplikacja(zaplecze, TytulAplikacji(system.powloka->SciezkaProgramu()));
    try {
        std::unique_ptr<IKlientHttp> http = UtworzKlientaHttp();
        UslugiInterfejsu uslugi{Kontekst(),       *system.pliki, *system.powloka,
                                *system.skroty,   *http,         adresSerwera};

        // The main window first: its creation handler fills the install
        // context that the installation page's creation handler reads.
        auto glowne = std::make_unique<TFormMain>(uslugi);
        auto strona = std::make_unique<TFormInstal>(uslugi);
        glowne->Show();
        const int wynik = aplikacja.Run();

        // The page's panel lies on the main window: the page goes first.
        strona.reset();
        glowne.reset();
        return wynik;
    } catch (const platforma::BladPlatformy& blad) {
        aplikacja.PokazBlad(blad.Tekst());
    } catch (const std::exception& blad) {
        aplikacja.PokazBlad(platforma::Utf16(blad.what()));
    }
    return 1;
}
