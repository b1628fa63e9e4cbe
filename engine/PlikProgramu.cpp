#include "PlikProgramu.h"

#include "Pobieranie.h"

void UstalFolderInstalacji(Srodowisko& s) {
    auto& k = s.kontekst;
    k.FolderInstalacji = k.DyskInstalacji + u"\\" + k.FolderPakietu;
    if (!s.pliki.FolderIstnieje(k.FolderInstalacji)) s.pliki.UtworzFolder(k.FolderInstalacji);
    if (!k.NazwaKatalogu.empty()) k.FolderInstalacji += u"\\" + k.NazwaKatalogu;
    if (!s.pliki.FolderIstnieje(k.FolderInstalacji)) s.pliki.UtworzFolder(k.FolderInstalacji);
}

bool PrzygotujPlikProgramu(Srodowisko& s) {
    s.strona.UstawPozycjePaska(0);
    UstalFolderInstalacji(s);
    return PobierzPlik(s, u"programy/wersja8/aktualne", s.kontekst.NazwaProgramu, u"exe",
                       s.kontekst.FolderInstalacji);
}
