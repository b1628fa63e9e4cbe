// The removal of an installation: which files and folders go, which stay,
// which warnings appear, and how the page is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "Atrapy.h"
#include "Deinstalacja.h"

namespace {

const std::u16string PULPIT = u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk";
const std::u16string GRUPA =
    u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Orveliane";
const std::u16string MENU = GRUPA + u"\\_Kavrostel 8.lnk";
const std::u16string PAKIET = u"C:\\KV-Tek";
const std::u16string FOLDER = u"C:\\KV-Tek\\Kavrostel8";
const std::u16string PROGRAM = FOLDER + u"\\_Kavrostel.exe";
const std::u16string AKTUALIZACJA = FOLDER + u"\\_Aktualizacja.exe";
const std::u16string SETUP = FOLDER + u"\\Sterowniki\\BDE\\setup.exe";

const std::u16string TYTUL = u"Usunięcie programu zakończone pomyślnie";
const std::u16string KONIEC =
    u" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";

std::u16string Ostrzezenie(const std::u16string& folder) { return u"\"" + folder + u"\"" + KONIEC; }

// What an installation leaves: both links, the program, the updater and the
// database engine's installer.
void Instalacja(AtrapaSystemuPlikow& p, const std::u16string& folder = FOLDER) {
    p.DodajPlik(PULPIT, "lnk");
    p.DodajPlik(MENU, "lnk");
    p.DodajPlik(folder + u"\\_Kavrostel.exe", "MZ");
    p.DodajPlik(folder + u"\\_Aktualizacja.exe", "MZ upd");
    p.DodajPlik(folder + u"\\Sterowniki\\BDE\\setup.exe", "MZ bde");
    p.dziennik.clear();
}

std::vector<std::u16string> Teksty(const AtrapaStrony& s) {
    std::vector<std::u16string> wynik;
    for (const auto& [tytul, tekst] : s.informacje) {
        EXPECT_EQ(U8(tytul), "Uwaga!");
        wynik.push_back(tekst);
    }
    return wynik;
}

bool Istnieje(const AtrapaSystemuPlikow& p, const std::u16string& s) {
    return p.PlikIstnieje(s) || p.FolderIstnieje(s);
}

bool WDzienniku(const AtrapaSystemuPlikow& p, const std::string& wpis) {
    return std::find(p.dziennik.begin(), p.dziennik.end(), wpis) != p.dziennik.end();
}

TEST(Deinstalacja, ANormalRemovalLeavesNothingOfTheInstallationAndNoWarning) {
    AtrapySrodowiska a;
    Instalacja(a.pliki);
    a.strona.deinstalacjaWlaczona = true;

    BBDeinstalClick(a.srodowisko);

    for (const auto& s : {PULPIT, MENU, GRUPA, PROGRAM, AKTUALIZACJA, SETUP, FOLDER, PAKIET})
        EXPECT_FALSE(Istnieje(a.pliki, s)) << U8(s);
    // The folders the links lie in are the user's, not the installation's.
    EXPECT_TRUE(a.pliki.FolderIstnieje(a.kontekst.FolderPulpitu));
    EXPECT_TRUE(a.pliki.FolderIstnieje(a.kontekst.FolderMenuProgramy));
    EXPECT_TRUE(a.strona.informacje.empty());
    EXPECT_EQ(U8(a.strona.tytul), U8(TYTUL));
    EXPECT_EQ(U8(a.strona.etykietaFolderu), "\\KV-Tek\\Kavrostel8");
    EXPECT_FALSE(a.strona.skrotPulpit);
    EXPECT_FALSE(a.strona.skrotMenuStart);
    EXPECT_FALSE(a.strona.deinstalacjaWlaczona);
    EXPECT_EQ(a.strona.akceptacje, 0);
}

TEST(Deinstalacja, FilesAreDeletedByNameAndFoldersOnlyOnceEmptyInTheTableOrder) {
    AtrapySrodowiska a;
    Instalacja(a.pliki);

    BBDeinstalClick(a.srodowisko);

    const std::vector<std::string> oczekiwany = {
        "UsunPlik " + U8(PULPIT),
        "UsunPlik " + U8(MENU),
        "UsunFolder " + U8(GRUPA),
        "UsunPlik " + U8(PROGRAM),
        "UsunPlik " + U8(AKTUALIZACJA),
        "UsunPlik " + U8(SETUP),
        "UsunFolder C:\\KV-Tek\\Kavrostel8\\Sterowniki\\BDE",
        "UsunFolder C:\\KV-Tek\\Kavrostel8\\Sterowniki",
        "UsunFolder " + U8(FOLDER),
        "UsunFolder " + U8(PAKIET),
    };
    EXPECT_EQ(a.pliki.dziennik, oczekiwany);
}

// A download killed half-way left its temporary file: it goes, and with it
// the folder; another file of the user's stays and keeps the folder.
TEST(Deinstalacja, ALeftoverOfAKilledDownloadGoesAndNothingTheInstallerDidNotWrite) {
    AtrapySrodowiska a;
    Instalacja(a.pliki);
    a.pliki.DodajPlik(FOLDER + u"\\~tmp7", "MZ pol pliku");
    BBDeinstalClick(a.srodowisko);
    EXPECT_FALSE(Istnieje(a.pliki, FOLDER + u"\\~tmp7"));
    EXPECT_FALSE(Istnieje(a.pliki, FOLDER));
    EXPECT_TRUE(a.strona.informacje.empty());

    AtrapySrodowiska b;
    Instalacja(b.pliki);
    b.pliki.DodajPlik(FOLDER + u"\\notatki.czesc", "moje");
    BBDeinstalClick(b.srodowisko);
    EXPECT_TRUE(Istnieje(b.pliki, FOLDER + u"\\notatki.czesc"));
    EXPECT_EQ(Teksty(b.strona), std::vector<std::u16string>{Ostrzezenie(FOLDER)});
}

struct Przypadek {
    const char* nazwa;
    std::function<void(AtrapySrodowiska&)> przygotuj;
    std::vector<std::u16string> ostrzezenia;
    std::vector<std::u16string> zostaja;
    std::vector<std::u16string> znikaja;
    bool pulpitZaznaczony = false;
    bool menuZaznaczone = false;
};

void PrintTo(const Przypadek& p, std::ostream* o) { *o << p.nazwa; }

class Galezie : public testing::TestWithParam<Przypadek> {};

TEST_P(Galezie, LeaveWhatTheyMustAndWarnAsTheyMust) {
    const Przypadek& p = GetParam();
    AtrapySrodowiska a;
    p.przygotuj(a);
    a.strona.deinstalacjaWlaczona = true;

    BBDeinstalClick(a.srodowisko);

    EXPECT_EQ(Teksty(a.strona), p.ostrzezenia);
    for (const auto& s : p.zostaja) EXPECT_TRUE(Istnieje(a.pliki, s)) << "stays: " << U8(s);
    for (const auto& s : p.znikaja) EXPECT_FALSE(Istnieje(a.pliki, s)) << "goes: " << U8(s);
    // Whatever happened, the removal runs to its end.
    EXPECT_EQ(U8(a.strona.tytul), U8(TYTUL));
    EXPECT_EQ(a.strona.skrotPulpit, p.pulpitZaznaczony);
    EXPECT_EQ(a.strona.skrotMenuStart, p.menuZaznaczone);
    EXPECT_FALSE(a.strona.deinstalacjaWlaczona);
}

INSTANTIATE_TEST_SUITE_P(
    Deinstalacja, Galezie,
    testing::Values(
        Przypadek{"OnlyShortcutsWhenTheFolderIsMissing",
                  [](AtrapySrodowiska& a) {
                      a.pliki.DodajPlik(PULPIT);
                      a.pliki.DodajPlik(MENU);
                      a.pliki.DodajPlik(u"C:\\_Kavrostel.exe");
                  },
                  {},
                  {u"C:\\_Kavrostel.exe"},
                  {PULPIT, MENU, GRUPA, PAKIET}},
        Przypadek{"AUsersFileKeepsTheFolderAndIsNamed",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);
                      a.pliki.DodajPlik(FOLDER + u"\\moje notatki.txt");
                  },
                  {Ostrzezenie(FOLDER)},
                  {FOLDER + u"\\moje notatki.txt", PAKIET},
                  {PROGRAM, AKTUALIZACJA, SETUP, FOLDER + u"\\Sterowniki", PULPIT, MENU}},
        Przypadek{"AUsersSubfolderKeepsTheFolder",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);
                      a.pliki.DodajFolder(FOLDER + u"\\Projekty");
                  },
                  {Ostrzezenie(FOLDER)},
                  {FOLDER + u"\\Projekty"},
                  {PROGRAM, AKTUALIZACJA}},
        Przypadek{"AnotherProductInTheSuiteFolderIsNamed",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);
                      a.pliki.DodajPlik(u"C:\\KV-Tek\\Inny\\inny.exe");
                  },
                  {Ostrzezenie(u"C:\\KV-Tek")},
                  {u"C:\\KV-Tek\\Inny\\inny.exe"},
                  {FOLDER}},
        Przypadek{"AFullEngineFolderStaysAndSoDoItsParents",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);
                      a.pliki.DodajPlik(FOLDER + u"\\Sterowniki\\BDE\\idapi.cfg");
                  },
                  {Ostrzezenie(FOLDER)},
                  {FOLDER + u"\\Sterowniki\\BDE\\idapi.cfg", PAKIET},
                  {SETUP, PROGRAM}},
        Przypadek{"AFileThatCannotBeDeletedStaysUnreported",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);
                      a.pliki.UstawTylkoDoOdczytu(PROGRAM);
                      a.pliki.UstawTylkoDoOdczytu(PULPIT);
                  },
                  // Only the folder that then cannot go is reported.
                  {Ostrzezenie(FOLDER)},
                  {PROGRAM, PULPIT},
                  {AKTUALIZACJA, MENU, SETUP},
                  true,
                  false},
        Przypadek{"OtherProgramsShortcutsKeepTheGroup",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);
                      a.pliki.DodajPlik(GRUPA + u"\\Vestra 7.lnk");
                  },
                  {},
                  {GRUPA + u"\\Vestra 7.lnk"},
                  {MENU, FOLDER}},
        Przypadek{"AnEmptyGroupWithoutTheProgramsShortcutIsNotTouched",
                  [](AtrapySrodowiska& a) {
                      a.pliki.DodajFolder(GRUPA);
                      a.pliki.DodajPlik(PULPIT);
                  },
                  {},
                  {GRUPA},
                  {PULPIT}},
        Przypadek{"AnotherFolderChoiceIsRemovedThere",
                  [](AtrapySrodowiska& a) {
                      Instalacja(a.pliki);  // the earlier installation on C:
                      a.pliki.DodajDysk(u"D:");
                      a.pliki.DodajPlik(u"D:\\Prog\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
                      a.kontekst.DyskInstalacji = u"D:\\Prog";
                      a.kontekst.FolderInstalacji = u"D:\\Prog\\KV-Tek\\Kavrostel8";
                  },
                  {},
                  {PROGRAM, FOLDER, u"D:\\Prog"},
                  {u"D:\\Prog\\KV-Tek", PULPIT, MENU}}),
    [](const testing::TestParamInfo<Przypadek>& i) { return std::string(i.param.nazwa); });

TEST(Deinstalacja, FromTheCompletionViewThePageIsMadeReadyForANewInstallation) {
    AtrapySrodowiska a;
    Instalacja(a.pliki);
    a.strona.koniecWidoczny = true;
    a.strona.deinstalacjaWlaczona = true;
    a.strona.napisInstalacji = u"Uruchom";
    a.strona.podpowiedzInstalacji = u"Uruchomienie programu";

    BBDeinstalClick(a.srodowisko);

    EXPECT_EQ(a.strona.akceptacje, 1);
    EXPECT_FALSE(a.strona.koniecWidoczny);
    EXPECT_TRUE(a.strona.skrotPulpit);
    EXPECT_TRUE(a.strona.skrotMenuStart);
    EXPECT_EQ(U8(a.strona.napisInstalacji), "Instaluj");
    EXPECT_FALSE(a.strona.deinstalacjaWlaczona);
    // The acceptance handler runs after the removal has set up the page, and
    // the completion view is hidden last.
    const auto& k = a.strona.kolejnosc;
    const auto akceptacja = std::find(k.begin(), k.end(), "RGAkceptacjaClick");
    const auto wylaczenie = std::find(k.begin(), k.end(), "WlaczDeinstalacje");
    ASSERT_NE(akceptacja, k.end());
    EXPECT_LT(wylaczenie, akceptacja);
    EXPECT_EQ(k.back(), "UkryjKoniec");
}

// Right after acceptance of the licence FolderInstalacji is the bare drive
// and other values may not name an installation; the removal must then never
// touch what lies there, only the installation in the suite folder.
struct Folder {
    const char* nazwa;
    std::u16string folderInstalacji;
    std::u16string usuwany;  // the folder the removal works on
};

void PrintTo(const Folder& f, std::ostream* o) { *o << U8(f.folderInstalacji); }

class FolderUsuwania : public testing::TestWithParam<Folder> {};

TEST_P(FolderUsuwania, IsAlwaysInsideTheSuiteFolder) {
    const Folder& f = GetParam();
    AtrapySrodowiska a;
    Instalacja(a.pliki, f.usuwany);
    // What belongs to someone else on the drive and in the suite folder.
    a.pliki.DodajPlik(u"C:\\_Kavrostel.exe", "cudzy");
    a.pliki.DodajPlik(u"C:\\Sterowniki\\BDE\\setup.exe", "cudzy");
    a.pliki.DodajPlik(u"C:\\KV-Tek\\_Kavrostel.exe", "cudzy");
    a.pliki.dziennik.clear();
    a.kontekst.FolderInstalacji = f.folderInstalacji;

    BBDeinstalClick(a.srodowisko);

    for (const auto& obcy : {u"C:\\_Kavrostel.exe", u"C:\\Sterowniki\\BDE\\setup.exe",
                             u"C:\\KV-Tek\\_Kavrostel.exe"})
        EXPECT_EQ(a.pliki.Tresc(obcy), "cudzy") << U8(obcy);
    for (const auto& wpis : a.pliki.dziennik)
        EXPECT_EQ(wpis.find("UsunFolder C:\\Sterowniki"), std::string::npos) << wpis;
    EXPECT_FALSE(WDzienniku(a.pliki, "UsunFolder C:"));
    EXPECT_FALSE(Istnieje(a.pliki, f.usuwany + u"\\_Kavrostel.exe"));
    EXPECT_FALSE(Istnieje(a.pliki, f.usuwany));
    // The suite folder holds someone's file, so it stays and is named.
    EXPECT_EQ(Teksty(a.strona), std::vector<std::u16string>{Ostrzezenie(u"C:\\KV-Tek")});
    EXPECT_EQ(a.kontekst.FolderInstalacji, f.folderInstalacji) << "the context is only read";
}

INSTANTIATE_TEST_SUITE_P(
    Deinstalacja, FolderUsuwania,
    testing::Values(Folder{"BareDrive", u"C:", FOLDER},
                    Folder{"DriveRoot", u"C:\\", FOLDER},
                    Folder{"SuiteFolderItself", u"C:\\KV-Tek", FOLDER},
                    Folder{"SuiteFolderWithSeparator", u"C:\\KV-Tek\\", FOLDER},
                    Folder{"DotInsideSuite", u"C:\\KV-Tek\\.", FOLDER},
                    Folder{"DotDotOutOfSuite", u"C:\\KV-Tek\\..", FOLDER},
                    Folder{"PrefixWithoutSeparator", u"C:\\KV-Tek2\\Kavrostel8", FOLDER},
                    Folder{"AnotherDrive", u"D:\\KV-Tek\\Kavrostel8", FOLDER},
                    Folder{"CaseAndSeparatorsAsWindows", u"c:/kv-tek/KAVROSTEL8",
                           u"c:/kv-tek/KAVROSTEL8"},
                    Folder{"AnotherFolderInsideSuite", u"C:\\KV-Tek\\Stary", u"C:\\KV-Tek\\Stary"}),
    [](const testing::TestParamInfo<Folder>& i) { return std::string(i.param.nazwa); });

TEST(Deinstalacja, TheWarningNamesTheFolderTheRemovalWorkedOn) {
    AtrapySrodowiska a;
    Instalacja(a.pliki);
    a.pliki.DodajPlik(FOLDER + u"\\dane.dat");
    a.kontekst.FolderInstalacji = u"C:";

    BBDeinstalClick(a.srodowisko);

    EXPECT_EQ(Teksty(a.strona), std::vector<std::u16string>{Ostrzezenie(FOLDER)});
}

}  // namespace
