// The install button: the whole installation against the scripted server,
// its failures, and the start of the installed program afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Atrapy.h"
#include "Instalacja.h"
#include "platform/Blad.h"

namespace {

using namespace std::string_literals;

const std::u16string PULPIT = u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk";
const std::u16string MENU =
    u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Orveliane\\"
    u"_Kavrostel 8.lnk";
const std::u16string PROGRAM = u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";
const std::u16string AKTUALIZACJA = u"C:\\KV-Tek\\Kavrostel8\\_Aktualizacja.exe";

std::string OstatniaInformacja(const AtrapaStrony& s) {
    if (s.informacje.empty()) return {};
    return U8(s.informacje.back().first) + " | " + U8(s.informacje.back().second);
}

// The page as the acceptance of the licence leaves it, and the updater on
// the installer's medium.
struct Instalator : testing::Test {
    AtrapySrodowiska a;
    Instalator() {
        a.pliki.DodajPlik(u"D:\\Instalator\\Program\\_Aktualizacja.exe", "MZ aktualizacja");
        a.pliki.dziennik.clear();
        a.http.odpowiedz.cialo = "MZ\x90\0 nowy program Kavrostel"s;
    }
};

TEST_F(Instalator, DoesNothingAndShowsNothingBeforeTheLicenceIsAccepted) {
    a.strona.przegladajWlaczony = false;

    BBInstalClick(a.srodowisko);

    EXPECT_TRUE(a.http.zadania.empty());
    EXPECT_TRUE(a.pliki.dziennik.empty());
    EXPECT_TRUE(a.strona.kolejnosc.empty()) << a.strona.kolejnosc.front();
    EXPECT_TRUE(a.powloka.uruchomioneProgramy.empty());
}

TEST_F(Instalator, AWorkingServerEndsInTheCompletionView) {
    BBInstalClick(a.srodowisko);

    ASSERT_EQ(a.http.zadania.size(), 1u);
    EXPECT_EQ(a.pliki.Tresc(PROGRAM), a.http.odpowiedz.cialo);
    EXPECT_EQ(a.pliki.Tresc(AKTUALIZACJA), "MZ aktualizacja");
    EXPECT_TRUE(a.pliki.PlikIstnieje(PULPIT));
    EXPECT_TRUE(a.pliki.PlikIstnieje(MENU));
    EXPECT_TRUE(a.strona.koniecWidoczny);
    EXPECT_EQ(U8(a.strona.napisInstalacji), "Uruchom");
    EXPECT_EQ(U8(a.strona.podpowiedzInstalacji), "Uruchomienie programu");
    EXPECT_EQ(U8(a.strona.tytul), "Instalacja zakończona pomyślnie");
    EXPECT_TRUE(a.strona.deinstalacjaWlaczona);
    EXPECT_TRUE(a.strona.informacje.empty()) << OstatniaInformacja(a.strona);
    EXPECT_TRUE(a.powloka.uruchomioneProgramy.empty()) << "the program starts only on the next click";
    // The links exist before the completion view is shown.
    const auto& k = a.strona.kolejnosc;
    EXPECT_LT(std::find(k.begin(), k.end(), "WlaczDeinstalacje"),
              std::find(k.begin(), k.end(), "PokazKoniec"));
}

struct Zaznaczenie {
    bool pulpit;
    bool menu;
};

class Skroty : public Instalator, public testing::WithParamInterface<Zaznaczenie> {};

TEST_P(Skroty, OnlyTheTickedShortcutsAreWritten) {
    a.strona.skrotPulpit = GetParam().pulpit;
    a.strona.skrotMenuStart = GetParam().menu;

    BBInstalClick(a.srodowisko);

    EXPECT_EQ(a.pliki.PlikIstnieje(PULPIT), GetParam().pulpit);
    EXPECT_EQ(a.pliki.PlikIstnieje(MENU), GetParam().menu);
    EXPECT_TRUE(a.strona.koniecWidoczny);
}

INSTANTIATE_TEST_SUITE_P(Instalacja, Skroty,
                         testing::Values(Zaznaczenie{true, true}, Zaznaczenie{true, false},
                                         Zaznaczenie{false, true}, Zaznaczenie{false, false}));

TEST_F(Instalator, TheNextClickStartsTheInstalledProgramAndInstallsNothing) {
    BBInstalClick(a.srodowisko);
    const auto dziennik = a.pliki.dziennik;

    BBInstalClick(a.srodowisko);

    ASSERT_EQ(a.powloka.uruchomioneProgramy.size(), 1u);
    EXPECT_EQ(U8(a.powloka.uruchomioneProgramy[0]), U8(PROGRAM));
    EXPECT_EQ(a.strona.zamknieciaFormularza, 1);
    EXPECT_EQ(a.http.zadania.size(), 1u) << "no second download";
    EXPECT_EQ(a.pliki.dziennik, dziennik);
    EXPECT_TRUE(a.strona.koniecWidoczny) << "the installer stays on the completion view";
    EXPECT_EQ(U8(a.strona.napisInstalacji), "Uruchom");
}

TEST_F(Instalator, TheProgramTargetFollowsTheFolderFixedByThePreparation) {
    // Right after acceptance FolderInstalacji is the bare drive; the chosen
    // drive text is what counts.
    a.kontekst.FolderInstalacji = u"C:";
    a.kontekst.DyskInstalacji = u"D:\\Prog";
    a.pliki.DodajFolder(u"D:\\Prog");

    BBInstalClick(a.srodowisko);
    BBInstalClick(a.srodowisko);

    const std::u16string cel = u"D:\\Prog\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";
    EXPECT_EQ(a.pliki.Tresc(cel), a.http.odpowiedz.cialo);
    ASSERT_EQ(a.powloka.uruchomioneProgramy.size(), 1u);
    EXPECT_EQ(U8(a.powloka.uruchomioneProgramy[0]), U8(cel));
}

TEST_F(Instalator, AFailedDownloadKeepsTheOlderProgramAndMakesNoShortcuts) {
    a.pliki.DodajPlik(PROGRAM, "stary program");
    a.http.odpowiedz = {};
    a.http.odpowiedz.udana = false;
    a.http.odpowiedz.cialo.clear();
    a.http.odpowiedz.komunikat = u"HTTP/1.1 503 Service Unavailable";

    BBInstalClick(a.srodowisko);

    EXPECT_EQ(a.pliki.Tresc(PROGRAM), "stary program");
    EXPECT_EQ(OstatniaInformacja(a.strona), "Uwaga! | Instalacja przerwana.");
    EXPECT_FALSE(a.pliki.PlikIstnieje(PULPIT));
    EXPECT_FALSE(a.pliki.PlikIstnieje(MENU));
    EXPECT_FALSE(a.pliki.PlikIstnieje(AKTUALIZACJA));
    EXPECT_FALSE(a.strona.koniecWidoczny);
    EXPECT_EQ(U8(a.strona.napisInstalacji), "Instaluj");
    EXPECT_NE(U8(a.strona.tytul), "Instalacja zakończona pomyślnie");
}

TEST_F(Instalator, AFailedDownloadWithoutAnOlderProgramAsksForTheDownload) {
    a.http.odpowiedz.udana = false;
    a.http.odpowiedz.cialo.clear();
    a.http.odpowiedz.komunikat = u"Socket Error # 10061 Connection refused.";

    BBInstalClick(a.srodowisko);

    EXPECT_FALSE(a.pliki.PlikIstnieje(PROGRAM));
    EXPECT_EQ(OstatniaInformacja(a.strona), "Uwaga! | Wymagane jest pobranie pliku z internetu.");
    EXPECT_FALSE(a.pliki.PlikIstnieje(PULPIT));
    EXPECT_FALSE(a.strona.koniecWidoczny);
    EXPECT_EQ(U8(a.strona.napisInstalacji), "Instaluj");
    // The download client has reported its failure before.
    const auto& k = a.strona.kolejnosc;
    const auto wlasny = std::find(k.rbegin(), k.rend(), "Informacja");
    const auto klienta = std::find(k.begin(), k.end(), "KomunikatSystemowy");
    ASSERT_NE(klienta, k.end()) << "the download client reports the failure itself";
    EXPECT_LT(klienta - k.begin(), k.rend() - wlasny - 1);
}

TEST_F(Instalator, AnErrorOfTheLinkFactoryReachesTheCallerBeforeTheCompletionView) {
    a.skroty.bladTworzenia = u"Class not registered";

    try {
        BBInstalClick(a.srodowisko);
        ADD_FAILURE() << "the error was swallowed";
    } catch (const platforma::BladPlatformy& b) {
        EXPECT_EQ(U8(b.Tekst()), "Class not registered");
    }

    EXPECT_EQ(a.pliki.Tresc(PROGRAM), a.http.odpowiedz.cialo) << "the program file stays";
    EXPECT_FALSE(a.strona.koniecWidoczny);
    EXPECT_EQ(U8(a.strona.napisInstalacji), "Instaluj");
    EXPECT_NE(U8(a.strona.tytul), "Instalacja zakończona pomyślnie");
}

TEST_F(Instalator, ClosingTheInstallerDuringTheDownloadEndsTheClickSilently) {
    a.pliki.DodajPlik(PROGRAM, "stary program");
    a.http.odpowiedz.cialo = std::string(64, 'x');
    a.http.wTrakcie = [this] { a.strona.zamkniecieZadane = true; };
    a.strona.przyPompowaniu = [this] { a.strona.zamkniecieZadane = true; };

    BBInstalClick(a.srodowisko);

    for (const auto& [tytul, tekst] : a.strona.informacje) {
        EXPECT_NE(U8(tekst), "Instalacja przerwana.");
        EXPECT_NE(U8(tekst), "Wymagane jest pobranie pliku z internetu.");
    }
    EXPECT_FALSE(a.pliki.PlikIstnieje(PULPIT));
    EXPECT_FALSE(a.strona.koniecWidoczny);
}

}  // namespace
