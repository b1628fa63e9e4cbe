#pragma once
// The install context: the texts that every part of the installer reads to
// compose paths, captions and server names. Each part reads them as they
// stand at the moment of use; nobody keeps a copy.
#include <string>

struct KontekstInstalacji {
    std::u16string FolderInstalatora;   // folder of the running installer (its medium)
    std::u16string NazwaKatalogu;       // the product's folder inside the suite folder
    std::u16string PlikProgramu;        // base name of the shortcut files
    std::u16string NazwaProgramu;       // base name of the program file
    std::u16string FolderBDE;           // database engine's installer, below the installation
    std::u16string WersjaProgramu;      // version text
    std::u16string KoncowkaSkrotu;      // ending of a shortcut file name, begins with a blank
    std::u16string FolderPulpitu;       // the user's desktop
    std::u16string FolderMenuProgramy;  // the Programs folder of the Start menu
    std::u16string DyskInstalacji;      // the page's drive text, mirrored
    std::u16string FolderInstalacji;    // the full installation folder
    std::u16string FolderPakietu;       // the suite folder below the drive
};

// The one context of the running installer.
KontekstInstalacji& Kontekst();

// The three files of an installation, composed from the current values.
std::u16string SkrotNaPulpicie(const KontekstInstalacji& k);
std::u16string SkrotWMenuStart(const KontekstInstalacji& k);
std::u16string PlikProgramuInstalacji(const KontekstInstalacji& k);
// The Start-menu group that holds the program's shortcut.
std::u16string FolderGrupyMenuStart(const KontekstInstalacji& k);
// The installation folder the installer composes from the drive text:
// DyskInstalacji\FolderPakietu, then \NazwaKatalogu when that is set.
std::u16string ZlozonyFolderInstalacji(const KontekstInstalacji& k);
