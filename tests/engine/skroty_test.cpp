// The shortcut writer, the file copy and the shortcut step of an installation,
// against the recording fakes.
#include "Skroty.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Atrapy.h"
#include "platform/Blad.h"

namespace {

using Wywolania = std::vector<AtrapaFabrykiSkrotow::Wywolanie>;

std::vector<std::string> Metody(const Wywolania& w) {
    std::vector<std::string> wynik;
    for (const auto& x : w) wynik.push_back(x.metoda);
    return wynik;
}

const AtrapaFabrykiSkrotow::Wywolanie* Znajdz(const Wywolania& w, const std::string& metoda) {
    for (const auto& x : w)
        if (x.metoda == metoda) return &x;
    return nullptr;
}

const std::u16string PROGRAM = u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";
const std::u16string AKTUALIZACJA_ZRODLO = u"D:\\Instalator\\Program\\_Aktualizacja.exe";
const std::u16string AKTUALIZACJA_CEL = u"C:\\KV-Tek\\Kavrostel8\\_Aktualizacja.exe";
const std::u16string PULPIT = u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk";
const std::u16string GRUPA =
    u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Orveliane";
const std::u16string MENU = GRUPA + u"\\_Kavrostel 8.lnk";

// ---------------------------------------------------------------- UtworzSkrot

TEST(UtworzSkrot, DefaultsApplyToItsOwnCopyOfTheRecord) {
    AtrapaFabrykiSkrotow fabryka;
    TParametrySkrotu p;
    p.SciezkaPliku = u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";
    p.klawiszSkrotu = u'q';
    const TParametrySkrotu przed = p;

    UtworzSkrot(fabryka, u"C:\\a.lnk", p);

    ASSERT_EQ(fabryka.obiekty.size(), 1u);
    const auto& w = fabryka.obiekty[0]->wywolania;
    ASSERT_EQ(Metody(w), (std::vector<std::string>{"SetPath", "SetWorkingDirectory", "SetArguments",
                                                   "SetShowCmd", "SetHotkey", "Save"}));
    EXPECT_EQ(Znajdz(w, "SetPath")->tekst, p.SciezkaPliku);
    EXPECT_EQ(Znajdz(w, "SetWorkingDirectory")->tekst, u"C:\\KV-Tek\\Kavrostel8\\");
    EXPECT_EQ(Znajdz(w, "SetArguments")->tekst, u"");
    EXPECT_EQ(Znajdz(w, "SetShowCmd")->liczba, 1);
    EXPECT_EQ(Znajdz(w, "SetHotkey")->liczba, 0x0651);  // Ctrl+Alt+Q
    EXPECT_EQ(Znajdz(w, "Save")->tekst, u"C:\\a.lnk");
    EXPECT_EQ(Znajdz(w, "Save")->liczba, 0);  // remember-file-name false
    EXPECT_TRUE(fabryka.obiekty[0]->zwolniony);

    // The caller's record is untouched and serves the next link as it was.
    EXPECT_EQ(p.katalogRoboczy, przed.katalogRoboczy);
    EXPECT_EQ(p.rodzajokna, 0);
    EXPECT_EQ(p.klawiszSkrotu, u'q');
}

TEST(UtworzSkrot, FieldsAndOptionalCalls) {
    struct Przypadek {
        const char* nazwa;
        TParametrySkrotu p;
        std::vector<std::string> metody;
        std::u16string folder;
        std::int64_t pokaz;
        std::int64_t klawisz;  // -1: no SetHotkey
    };
    auto rekord = [](std::u16string folder, std::u16string opis, std::u16string ikona,
                     std::int32_t okno, char16_t klawisz) {
        TParametrySkrotu p;
        p.SciezkaPliku = u"D:\\Gry\\gra.exe";
        p.argumenty = u"/x";
        p.katalogRoboczy = std::move(folder);
        p.opis = std::move(opis);
        p.SciezkaIkony = std::move(ikona);
        p.rodzajokna = okno;
        p.numerIkony = 3;
        p.klawiszSkrotu = klawisz;
        return p;
    };
    const std::vector<Przypadek> przypadki = {
        {"all fields",
         rekord(u"D:\\Dane", u"Opis", u"D:\\i.ico", 3, u'K'),
         {"SetPath", "SetWorkingDirectory", "SetArguments", "SetDescription", "SetShowCmd",
          "SetIconLocation", "SetHotkey", "Save"},
         u"D:\\Dane",
         3,
         0x064B},
        {"no description, no icon, no key",
         rekord(u"D:\\Dane", u"", u"", 7, 0),
         {"SetPath", "SetWorkingDirectory", "SetArguments", "SetShowCmd", "Save"},
         u"D:\\Dane",
         7,
         -1},
        {"only a z is upper-cased",
         rekord(u"", u"", u"", 0, u'z'),
         {"SetPath", "SetWorkingDirectory", "SetArguments", "SetShowCmd", "SetHotkey", "Save"},
         u"D:\\Gry\\",
         1,
         0x065A},
        {"a character past z stays",
         rekord(u"", u"", u"", 0, u'{'),
         {"SetPath", "SetWorkingDirectory", "SetArguments", "SetShowCmd", "SetHotkey", "Save"},
         u"D:\\Gry\\",
         1,
         0x067B},
        {"a character before a stays",
         rekord(u"", u"", u"", 0, u'`'),
         {"SetPath", "SetWorkingDirectory", "SetArguments", "SetShowCmd", "SetHotkey", "Save"},
         u"D:\\Gry\\",
         1,
         0x0660},
    };
    for (const auto& c : przypadki) {
        SCOPED_TRACE(c.nazwa);
        AtrapaFabrykiSkrotow fabryka;
        UtworzSkrot(fabryka, u"C:\\x.lnk", c.p);
        const auto& w = fabryka.obiekty.at(0)->wywolania;
        ASSERT_EQ(Metody(w), c.metody);
        EXPECT_EQ(Znajdz(w, "SetWorkingDirectory")->tekst, c.folder);
        EXPECT_EQ(Znajdz(w, "SetArguments")->tekst, u"/x");
        EXPECT_EQ(Znajdz(w, "SetShowCmd")->liczba, c.pokaz);
        if (const auto* opis = Znajdz(w, "SetDescription")) {
            EXPECT_EQ(opis->tekst, c.p.opis);
        }
        if (const auto* ikona = Znajdz(w, "SetIconLocation")) {
            EXPECT_EQ(ikona->tekst, c.p.SciezkaIkony);
            EXPECT_EQ(ikona->liczba, 3);
        }
        const auto* klawisz = Znajdz(w, "SetHotkey");
        EXPECT_EQ(klawisz ? klawisz->liczba : -1, c.klawisz);
    }
}

TEST(UtworzSkrot, EmptyTargetRaisesAfterTheObjectWasMadeAndReleased) {
    AtrapaFabrykiSkrotow fabryka;
    TParametrySkrotu p;
    p.opis = u"bez celu";
    try {
        UtworzSkrot(fabryka, u"C:\\a.lnk", p);
        FAIL() << "no error raised";
    } catch (const platforma::BladPlatformy& b) {
        EXPECT_EQ(b.Tekst(), u"Brak nazwy pliku, do którego ma zostać utworzony skrót");
    }
    ASSERT_EQ(fabryka.obiekty.size(), 1u);
    EXPECT_TRUE(fabryka.obiekty[0]->zwolniony);
    EXPECT_TRUE(fabryka.obiekty[0]->wywolania.empty());
}

// ---------------------------------------------------------------- KopiujPlik

TEST(KopiujPlik, ReplacesAReadOnlyTarget) {
    AtrapySrodowiska a;
    a.pliki.DodajPlik(u"D:\\zrodlo.exe", "nowy");
    a.pliki.DodajPlik(u"C:\\cel.exe", "stary");
    a.pliki.UstawTylkoDoOdczytu(u"C:\\cel.exe");

    EXPECT_TRUE(KopiujPlik(a.srodowisko, u"D:\\zrodlo.exe", u"C:\\cel.exe"));
    EXPECT_EQ(a.pliki.Tresc(u"C:\\cel.exe"), "nowy");
    EXPECT_EQ(a.pliki.dziennik,
              (std::vector<std::string>{"UstawAtrybuty C:\\cel.exe 0",
                                        "KopiujPlik D:\\zrodlo.exe -> C:\\cel.exe"}));
    EXPECT_TRUE(a.strona.informacje.empty());
}

TEST(KopiujPlik, MissingSourceIsReportedAndFails) {
    AtrapySrodowiska a;
    a.pliki.DodajPlik(u"C:\\cel.exe", "stary");
    EXPECT_FALSE(KopiujPlik(a.srodowisko, u"D:\\Nie ma\\zrodlo.exe", u"C:\\cel.exe"));
    ASSERT_EQ(a.strona.informacje.size(), 1u);
    EXPECT_EQ(a.strona.informacje[0].first, u"Uwaga!");
    EXPECT_EQ(a.strona.informacje[0].second, u"Brak pliku: D:\\Nie ma\\zrodlo.exe");
    EXPECT_TRUE(a.pliki.dziennik.empty());
    EXPECT_EQ(a.pliki.Tresc(u"C:\\cel.exe"), "stary");

    // A copy that fails is false and says nothing.
    a.pliki.DodajPlik(u"D:\\zrodlo.exe", "nowy");
    EXPECT_FALSE(KopiujPlik(a.srodowisko, u"D:\\zrodlo.exe", u"C:\\Brak folderu\\cel.exe"));
    EXPECT_EQ(a.strona.informacje.size(), 1u);
}

TEST(KopiujPlik, PathsLongerThan255CharactersAreNeverCut) {
    AtrapySrodowiska a;
    const std::u16string folder =
        u"C:\\" + std::u16string(120, u'a') + u"\\" + std::u16string(120, u'b');
    const std::u16string zrodlo = folder + u"\\zrodlo-o-dlugiej-nazwie.exe";
    const std::u16string cel = folder + u"\\cel-o-dlugiej-nazwie.exe";
    ASSERT_GT(zrodlo.size(), 255u);
    ASSERT_GT(cel.size(), 255u);
    // Files at the first 255 characters of both paths: what a cut path would name.
    const std::u16string uciety = cel.substr(0, 255);
    a.pliki.DodajPlik(zrodlo.substr(0, 255), "zla kopia");
    a.pliki.DodajPlik(uciety, "obcy plik");
    a.pliki.DodajPlik(zrodlo, "program");

    EXPECT_TRUE(KopiujPlik(a.srodowisko, zrodlo, cel));
    EXPECT_EQ(a.pliki.Tresc(cel), "program");
    EXPECT_EQ(a.pliki.Tresc(uciety), "obcy plik");

    // A missing long source is named whole in the notice.
    a.pliki.UsunPlik(zrodlo);
    EXPECT_FALSE(KopiujPlik(a.srodowisko, zrodlo, cel));
    ASSERT_EQ(a.strona.informacje.size(), 1u);
    EXPECT_EQ(a.strona.informacje[0].second, u"Brak pliku: " + zrodlo);
}

// ---------------------------------------------------------------- UtworzSkroty

TEST(UtworzSkroty, BothLinksCarryTheProgramsParameters) {
    AtrapySrodowiska a;
    a.pliki.DodajPlik(PROGRAM, "MZ");
    UtworzSkroty(a.srodowisko);

    for (const auto& sciezka : {PULPIT, MENU}) {
        SCOPED_TRACE(U8(sciezka));
        const auto* o = a.skroty.ZapisanyJako(sciezka);
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(a.pliki.PlikIstnieje(sciezka));
        const auto& w = o->wywolania;
        ASSERT_EQ(Metody(w),
                  (std::vector<std::string>{"SetPath", "SetWorkingDirectory", "SetArguments",
                                            "SetDescription", "SetShowCmd", "SetHotkey", "Save"}));
        EXPECT_EQ(Znajdz(w, "SetPath")->tekst, PROGRAM);
        EXPECT_EQ(Znajdz(w, "SetWorkingDirectory")->tekst, u"C:\\KV-Tek\\Kavrostel8");
        EXPECT_EQ(Znajdz(w, "SetArguments")->tekst, u"");
        EXPECT_EQ(Znajdz(w, "SetDescription")->tekst, u"Skrót do programu Vestra _Kavrostel 8.0");
        EXPECT_EQ(Znajdz(w, "SetShowCmd")->liczba, 1);
        EXPECT_EQ(Znajdz(w, "SetHotkey")->liczba, 0x064B);  // Ctrl+Alt+K
        EXPECT_TRUE(o->zwolniony);
    }
    EXPECT_EQ(a.skroty.obiekty.size(), 2u);
    EXPECT_TRUE(a.strona.deinstalacjaWlaczona);
}

TEST(UtworzSkroty, CheckBoxesChooseTheLinks) {
    struct Przypadek {
        bool pulpit, menu, aktualizacja;
    };
    for (const auto c : {Przypadek{true, true, true}, Przypadek{true, false, true},
                         Przypadek{false, true, false}, Przypadek{false, false, true}}) {
        SCOPED_TRACE(std::string("desktop ") + (c.pulpit ? "on" : "off") + ", menu " +
                     (c.menu ? "on" : "off") + (c.aktualizacja ? "" : ", no updater"));
        AtrapySrodowiska a;
        if (c.aktualizacja) a.pliki.DodajPlik(AKTUALIZACJA_ZRODLO, "aktualizacja");
        a.pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
        a.strona.skrotPulpit = c.pulpit;
        a.strona.skrotMenuStart = c.menu;

        UtworzSkroty(a.srodowisko);

        EXPECT_EQ(a.pliki.PlikIstnieje(PULPIT), c.pulpit);
        EXPECT_EQ(a.pliki.PlikIstnieje(MENU), c.menu);
        EXPECT_EQ(a.pliki.FolderIstnieje(GRUPA), c.menu);
        EXPECT_EQ(a.skroty.obiekty.size(), std::size_t(c.pulpit) + std::size_t(c.menu));
        EXPECT_EQ(a.pliki.Tresc(AKTUALIZACJA_CEL),
                  c.aktualizacja ? std::optional<std::string>("aktualizacja") : std::nullopt);
        EXPECT_TRUE(a.strona.informacje.empty());  // a missing updater is not reported
        EXPECT_TRUE(a.strona.deinstalacjaWlaczona);
        EXPECT_EQ(a.strona.kolejnosc.back(), "WlaczDeinstalacje");
    }
}

TEST(UtworzSkroty, StartMenuFolderIsCreatedBeforeItsLinkAndOnlyWhenMissing) {
    AtrapySrodowiska a;
    a.strona.skrotPulpit = false;
    UtworzSkroty(a.srodowisko);
    // The folder is the first change to the disk, before the link is saved.
    ASSERT_FALSE(a.pliki.dziennik.empty());
    EXPECT_EQ(a.pliki.dziennik.front(), "UtworzFolder " + U8(GRUPA));
    EXPECT_TRUE(a.pliki.PlikIstnieje(MENU));

    a.pliki.dziennik.clear();
    UtworzSkroty(a.srodowisko);
    EXPECT_EQ(
        std::count(a.pliki.dziennik.begin(), a.pliki.dziennik.end(), "UtworzFolder " + U8(GRUPA)),
        0);
    EXPECT_TRUE(a.pliki.PlikIstnieje(MENU));
}

TEST(UtworzSkroty, SecondInstallationOverwritesLinksAndUpdater) {
    AtrapySrodowiska a;
    a.pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
    a.pliki.DodajPlik(AKTUALIZACJA_ZRODLO, "aktualizacja 2");
    a.pliki.DodajPlik(AKTUALIZACJA_CEL, "aktualizacja 1");
    a.pliki.UstawTylkoDoOdczytu(AKTUALIZACJA_CEL);
    a.pliki.DodajPlik(PULPIT, "stary skrót");
    a.pliki.DodajPlik(MENU, "stary skrót");

    UtworzSkroty(a.srodowisko);

    EXPECT_EQ(a.pliki.Tresc(AKTUALIZACJA_CEL), "aktualizacja 2");
    for (const auto& sciezka : {PULPIT, MENU}) {
        ASSERT_TRUE(a.pliki.Tresc(sciezka));
        EXPECT_EQ(a.pliki.Tresc(sciezka)->rfind("SetPath=" + U8(PROGRAM), 0), 0u) << U8(sciezka);
    }
}

TEST(UtworzSkroty, FailedDesktopLinkStopsTheRest) {
    AtrapySrodowiska a;
    a.skroty.bladTworzenia = u"Klasa nie jest zarejestrowana";
    EXPECT_THROW(UtworzSkroty(a.srodowisko), platforma::BladPlatformy);
    EXPECT_FALSE(a.pliki.FolderIstnieje(GRUPA));
    EXPECT_FALSE(a.strona.deinstalacjaWlaczona);
}

TEST(UtworzSkroty, UnsavedLinkIsNotReportedAndTheStepGoesOn) {
    AtrapySrodowiska a;
    a.kontekst.FolderPulpitu = u"C:\\Nie ma pulpitu";
    UtworzSkroty(a.srodowisko);
    EXPECT_FALSE(a.pliki.PlikIstnieje(SkrotNaPulpicie(a.kontekst)));
    EXPECT_TRUE(a.pliki.PlikIstnieje(MENU));
    EXPECT_TRUE(a.strona.informacje.empty());
    EXPECT_TRUE(a.strona.deinstalacjaWlaczona);
}

}  // namespace
