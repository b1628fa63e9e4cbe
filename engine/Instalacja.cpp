#include "Instalacja.h"

#include "PlikProgramu.h"
#include "Skroty.h"

namespace {

constexpr char16_t UWAGA[] = u"Uwaga!";

}  // namespace

void BBInstalClick(Srodowisko& s) {
    IStronaInstalacji& strona = s.strona;

    // In the completion view the button starts the installed program. The
    // page's own form is asked to close; it is never shown by itself, so the
    // installer stays open on the completion view.
    if (strona.KoniecWidoczny()) {
        s.powloka.UruchomProgram(PlikProgramuInstalacji(s.kontekst));
        strona.ZamknijFormularzStrony();
        return;
    }

    // The folder button is enabled only in the accepted state with the
    // program chosen; anything else is a click that must not install.
    if (!strona.PrzegladajWlaczony()) return;

    const bool pobrany = PrzygotujPlikProgramu(s);

    // The user closed the installer while the file was being fetched: the
    // window is going away, so neither shortcuts nor notices follow.
    if (strona.ZamkniecieZadane()) return;

    // The preparation has just fixed FolderInstalacji; compose the target anew.
    const std::u16string program = PlikProgramuInstalacji(s.kontekst);
    const bool jest = s.pliki.PlikIstnieje(program);

    if (jest && pobrany) {
        // Errors while the links are written are unexpected ones: they go to
        // the top-level error display and no completion view is shown.
        UtworzSkroty(s);
        strona.PokazKoniec();
        strona.UstawPrzyciskInstalacji(u"Uruchom", u"Uruchomienie programu");
        strona.UstawTytul(u"Instalacja zakończona pomyślnie");
    } else if (jest) {
        // The download failed but an older program file is still in place.
        strona.Informacja(UWAGA, u"Instalacja przerwana.");
    } else {
        strona.Informacja(UWAGA, u"Wymagane jest pobranie pliku z internetu.");
    }
}
