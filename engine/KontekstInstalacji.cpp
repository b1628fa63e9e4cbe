#include "KontekstInstalacji.h"

KontekstInstalacji& Kontekst() {
    static KontekstInstalacji kontekst;
    return kontekst;
}

std::u16string FolderGrupyMenuStart(const KontekstInstalacji& k) {
    return k.FolderMenuProgramy + u"\\Orveliane";
}

std::u16string SkrotNaPulpicie(const KontekstInstalacji& k) {
    return k.FolderPulpitu + u"\\" + k.PlikProgramu + k.KoncowkaSkrotu;
}

std::u16string SkrotWMenuStart(const KontekstInstalacji& k) {
    return FolderGrupyMenuStart(k) + u"\\" + k.PlikProgramu + k.KoncowkaSkrotu;
}

std::u16string PlikProgramuInstalacji(const KontekstInstalacji& k) {
    return k.FolderInstalacji + u"\\" + k.NazwaProgramu + u".exe";
}

std::u16string ZlozonyFolderInstalacji(const KontekstInstalacji& k) {
    std::u16string folder = k.DyskInstalacji + u"\\" + k.FolderPakietu;
    if (!k.NazwaKatalogu.empty()) folder += u"\\" + k.NazwaKatalogu;
    return folder;
}
