#include "PlikProgramu.h"

#include "Pobieranie.h"

namespace {

// A folder the program would be started from that other users may change is
// refused: whoever can replace the program there runs code as every user who
// starts it through a shortcut.
bool FolderProgramuGotowy(Srodowisko& s, const std::u16string& folder) {
    const char16_t* powod = nullptr;
    switch (s.pliki.PrzygotujFolderProgramu(folder)) {
        case platforma::StanFolderuProgramu::Chroniony:
        case platforma::StanFolderuProgramu::Brak:
            return true;
        case platforma::StanFolderuProgramu::Obcy:
            powod = u" należy do innego użytkownika komputera.";
            break;
        case platforma::StanFolderuProgramu::OtwartyDlaInnych:
            powod = u" mogą zmieniać inni użytkownicy komputera.";
            break;
    }
    s.strona.Informacja(u"Uwaga!", u"Folder \"" + folder + u"\"" + powod +
                                       u"\rProgram nie zostanie w nim zainstalowany. "
                                       u"Wybierz inny folder instalacji.");
    return false;
}

}  // namespace

bool UstalFolderInstalacji(Srodowisko& s) {
    auto& k = s.kontekst;
    // The whole folder is fixed first, so that a refusal leaves the caller
    // looking for an installed program where it would be.
    const std::u16string pakiet = k.DyskInstalacji + u"\\" + k.FolderPakietu;
    k.FolderInstalacji = k.NazwaKatalogu.empty() ? pakiet : pakiet + u"\\" + k.NazwaKatalogu;
    if (!FolderProgramuGotowy(s, pakiet)) return false;
    return k.FolderInstalacji == pakiet || FolderProgramuGotowy(s, k.FolderInstalacji);
}

bool PrzygotujPlikProgramu(Srodowisko& s) {
    s.strona.UstawPozycjePaska(0);
    if (!UstalFolderInstalacji(s)) return false;
    return PobierzPlik(s, u"programy/wersja8/aktualne", s.kontekst.NazwaProgramu, u"exe",
                       s.kontekst.FolderInstalacji);
}
