// The program-file preparation, and the parts of PobierzPlik that need no
// network: the failure notices, the progress bar's range, cancelling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Atrapy.h"
#include "BledyPobierania.h"
#include "PlikProgramu.h"
#include "Pobieranie.h"

namespace {

const std::u16string kPlik = u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";

TEST(PrzygotujPlikProgramu, FixesTheFolderLevelByLevelAndFetchesIntoIt) {
    struct {
        std::u16string dysk;
        std::u16string katalog;
        std::u16string folder;                   // FolderInstalacji afterwards
        std::vector<std::string> utworzone;       // folders created, in order
    } przypadki[] = {
        {u"C:", u"Kavrostel8", u"C:\\KV-Tek\\Kavrostel8",
         {"UtworzFolder C:\\KV-Tek", "UtworzFolder C:\\KV-Tek\\Kavrostel8"}},
        {u"D:\\Prog", u"Kavrostel8", u"D:\\Prog\\KV-Tek\\Kavrostel8",
         {"UtworzFolder D:\\Prog\\KV-Tek", "UtworzFolder D:\\Prog\\KV-Tek\\Kavrostel8"}},
        {u"C:", u"", u"C:\\KV-Tek", {"UtworzFolder C:\\KV-Tek"}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(U8(p.dysk) + " / " + U8(p.katalog));
        AtrapySrodowiska a;
        a.pliki.DodajFolder(u"D:\\Prog");
        a.kontekst.DyskInstalacji = p.dysk;
        a.kontekst.NazwaKatalogu = p.katalog;
        a.kontekst.FolderInstalacji = u"stale";
        a.strona.pozycjaPaska = 55;
        a.pliki.dziennik.clear();

        ASSERT_TRUE(PrzygotujPlikProgramu(a.srodowisko));

        EXPECT_EQ(U8(a.kontekst.FolderInstalacji), U8(p.folder));
        std::vector<std::string> utworzone;
        for (const auto& d : a.pliki.dziennik)
            if (d.rfind("UtworzFolder", 0) == 0) utworzone.push_back(d);
        EXPECT_EQ(utworzone, p.utworzone);
        ASSERT_EQ(a.http.zadania.size(), 1u);
        EXPECT_EQ(a.http.zadania[0].adres,
                  "http://serwer.example/programy/wersja8/aktualne/_Kavrostel._exe");
        EXPECT_EQ(a.http.zadania[0].uzytkownik, "tamrix4");
        EXPECT_EQ(a.http.zadania[0].haslo, "lorven905");
        EXPECT_EQ(a.pliki.Tresc(p.folder + u"\\_Kavrostel.exe"), a.http.odpowiedz.cialo);
        ASSERT_FALSE(a.strona.pozycjePaska.empty());
        EXPECT_EQ(a.strona.pozycjePaska.front(), 0) << "the bar is reset first";
    }
}

TEST(PrzygotujPlikProgramu, ExistingFoldersAreNotCreatedAgain) {
    AtrapySrodowiska a;
    a.pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
    a.pliki.dziennik.clear();
    ASSERT_TRUE(PrzygotujPlikProgramu(a.srodowisko));
    for (const auto& d : a.pliki.dziennik) EXPECT_NE(d.rfind("UtworzFolder", 0), 0u) << d;
}

TEST(PrzygotujPlikProgramu, AMissingParentIsNotCreatedAndTheFetchFailsWithTheFileError) {
    AtrapySrodowiska a;
    a.kontekst.DyskInstalacji = u"D:\\Brak\\Prog";

    EXPECT_FALSE(PrzygotujPlikProgramu(a.srodowisko));

    EXPECT_EQ(U8(a.kontekst.FolderInstalacji), "D:\\Brak\\Prog\\KV-Tek\\Kavrostel8");
    EXPECT_FALSE(a.pliki.FolderIstnieje(u"D:\\Brak"));
    EXPECT_FALSE(a.pliki.FolderIstnieje(u"D:\\Brak\\Prog\\KV-Tek"));
    EXPECT_EQ(a.strona.komunikatySystemowe,
              std::vector<std::u16string>{u"Nieudane pobranie pliku: "
                                          u"The system cannot find the path specified."});
    EXPECT_TRUE(a.strona.informacje.empty());
    EXPECT_EQ(a.strona.tytul, u"");
    EXPECT_EQ(a.strona.pozycjaPaska, 0);
}

// A folder another user may change is refused before anything is written:
// the suite folder already, or the product's folder inside a protected one.
TEST(PrzygotujPlikProgramu, AFolderOthersMayChangeIsRefusedBeforeAnythingIsWritten) {
    using platforma::StanFolderuProgramu;
    struct {
        std::u16string folder;  // the level that is refused
        StanFolderuProgramu stan;
        std::u16string tekst;
    } przypadki[] = {
        {u"C:\\KV-Tek", StanFolderuProgramu::Obcy,
         u"Folder \"C:\\KV-Tek\" należy do innego użytkownika komputera.\r"
         u"Program nie zostanie w nim zainstalowany. Wybierz inny folder instalacji."},
        {u"C:\\KV-Tek", StanFolderuProgramu::OtwartyDlaInnych,
         u"Folder \"C:\\KV-Tek\" mogą zmieniać inni użytkownicy komputera.\r"
         u"Program nie zostanie w nim zainstalowany. Wybierz inny folder instalacji."},
        {u"C:\\KV-Tek\\Kavrostel8", StanFolderuProgramu::OtwartyDlaInnych,
         u"Folder \"C:\\KV-Tek\\Kavrostel8\" mogą zmieniać inni użytkownicy komputera.\r"
         u"Program nie zostanie w nim zainstalowany. Wybierz inny folder instalacji."},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(U8(p.folder));
        AtrapySrodowiska a;
        a.pliki.DodajPlik(kPlik, "stara wersja");
        a.pliki.stanyFolderow[p.folder] = p.stan;
        a.pliki.dziennik.clear();

        EXPECT_FALSE(PrzygotujPlikProgramu(a.srodowisko));

        ASSERT_EQ(a.strona.informacje.size(), 1u);
        EXPECT_EQ(a.strona.informacje[0].first, u"Uwaga!");
        EXPECT_EQ(U8(a.strona.informacje[0].second), U8(p.tekst));
        EXPECT_TRUE(a.http.zadania.empty()) << "nothing fetched";
        EXPECT_TRUE(a.pliki.dziennik.empty()) << a.pliki.dziennik.front();
        EXPECT_EQ(a.pliki.Tresc(kPlik), "stara wersja");
        EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
        // The caller looks for the installed program in the whole folder.
        EXPECT_EQ(U8(a.kontekst.FolderInstalacji), "C:\\KV-Tek\\Kavrostel8");
    }
}

TEST(PrzygotujPlikProgramu, AnInstalledFileIsAnnouncedThenReplaced) {
    AtrapySrodowiska a;
    a.pliki.DodajPlik(kPlik, "stara wersja");
    a.http.odpowiedz.cialo = "MZ nowa wersja";
    std::optional<std::string> trescPodczasInformacji;
    a.strona.przyInformacji = [&] { trescPodczasInformacji = a.pliki.Tresc(kPlik); };

    ASSERT_TRUE(PrzygotujPlikProgramu(a.srodowisko));

    ASSERT_EQ(a.strona.informacje.size(), 1u);
    EXPECT_EQ(a.strona.informacje[0].first, u"Uwaga!");
    EXPECT_EQ(U8(a.strona.informacje[0].second),
              U8(kPlik + u"\rzostanie zastąpiony nową wersją."));
    EXPECT_EQ(trescPodczasInformacji, "stara wersja") << "the notice comes before the transfer";
    EXPECT_EQ(a.pliki.Tresc(kPlik), "MZ nowa wersja");
    EXPECT_EQ(a.pliki.Ponizej(u"C:\\KV-Tek\\Kavrostel8"), std::vector<std::u16string>{kPlik});
}

TEST(BledyPobierania, EveryRuleOfTheTableGivesItsNotice) {
    struct {
        std::u16string komunikat;
        std::u16string pokazany;
    } przypadki[] = {
        {u"Socket error: Connection refused", u"Błąd połączenia z internetem"},
        {u"Socket Error # 10061", u"Błąd połączenia z internetem"},
        {KomunikatBleduPolaczenia(u"timed out"), u"Błąd połączenia z internetem"},
        // The marker is case-sensitive.
        {u"socket closed", u"Nieudane pobranie pliku: socket closed"},
        {u"HTTP/1.1 404 Not Found", u"Nieudane pobranie pliku: HTTP/1.1 404 Not Found"},
        {u"", u"Nieudane pobranie pliku: "},
        // A proxy's refusal, whatever reason phrase it chose.
        {KomunikatBledu(BladPobierania::Posrednik, u"HTTP/1.1 407 Socket gone"),
         u"Nieudane pobranie pliku: Serwer pośredniczący wymaga zalogowania."},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(U8(TekstBleduPobierania(p.komunikat)), U8(p.pokazany)) << U8(p.komunikat);
    }
    // Every rule is reachable and the last one catches everything.
    const auto reguly = RegulyBledowPobierania();
    ASSERT_FALSE(reguly.empty());
    EXPECT_TRUE(reguly.back().znacznik.empty());
    for (const auto& r : reguly) {
        const std::u16string komunikat = std::u16string(u"x ") + std::u16string(r.znacznik);
        const auto tekst = TekstBleduPobierania(komunikat);
        EXPECT_EQ(tekst.substr(0, r.tekst.size()), r.tekst);
        EXPECT_EQ(tekst.size() > r.tekst.size(), r.zKomunikatem);
    }
}

// Every kind of failure has its row, and the message a client composes for
// it gives that row's notice, whatever its details say: a library's text
// that mentions a socket inside a malformed reply's message is no
// connection failure.
TEST(BledyPobierania, EachKindsMessageGivesItsOwnNotice) {
    const auto reguly = RegulyBledowPobierania();
    for (const auto& r : reguly) {
        SCOPED_TRACE(U8(std::u16string(r.komunikat)));
        const auto ile = std::count_if(reguly.begin(), reguly.end(),
                                       [&](const auto& inna) { return inna.rodzaj == r.rodzaj; });
        EXPECT_EQ(ile, 1) << "one row per kind";
        for (const std::u16string szczegoly : {u"", u"HTTP/1.1 200 OK", u"Socket closed"}) {
            const auto komunikat = KomunikatBledu(r.rodzaj, szczegoly);
            EXPECT_EQ(komunikat, std::u16string(r.komunikat) + szczegoly);
            if (r.rodzaj == BladPobierania::Status || r.rodzaj == BladPobierania::Inny) continue;
            const auto tekst = TekstBleduPobierania(komunikat);
            if (r.rodzaj == BladPobierania::Polaczenie) {
                EXPECT_EQ(U8(tekst), "Błąd połączenia z internetem");
            } else if (!r.zKomunikatem) {
                EXPECT_EQ(U8(tekst), U8(std::u16string(r.tekst)));
            } else {
                EXPECT_EQ(U8(tekst), U8(u"Nieudane pobranie pliku: " + komunikat));
            }
        }
    }
    EXPECT_EQ(U8(TekstBleduPobierania(KomunikatBledu(BladPobierania::Status, u"HTTP/1.1 404 Not Found"))),
              "Nieudane pobranie pliku: HTTP/1.1 404 Not Found");
}

// Announces a size and reports progress without sending any byte.
class KlientZeZgloszeniami : public IKlientHttp {
public:
    std::int64_t zapowiedziane = 0;
    std::vector<std::int64_t> postepy;
    WynikHttp Pobierz(const std::string&, const UstawieniaHttp&, IOdbiorcaHttp& o) override {
        o.Poczatek(zapowiedziane);
        for (auto p : postepy) o.Postep(p);
        o.Koniec();
        WynikHttp w;
        w.udany = true;
        return w;
    }
};

TEST(PobierzPlik, TheBarFollowsFilesBeyondItsThirtyTwoBitRange) {
    constexpr std::int64_t GiB = 1024LL * 1024 * 1024;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct {
        std::int64_t zapowiedziane;
        std::vector<std::int64_t> postepy;
        std::int32_t maksimum;
        std::vector<std::int32_t> pozycje;
    } przypadki[] = {
        {1000, {10, 1000}, 1000, {0, 10, 1000}},
        {kMax, {kMax}, kMax, {0, kMax}},
        {5 * GiB, {GiB, 5 * GiB / 2, 5 * GiB}, static_cast<std::int32_t>(5 * GiB / 4),
         {0, static_cast<std::int32_t>(GiB / 4), static_cast<std::int32_t>(5 * GiB / 8),
          static_cast<std::int32_t>(5 * GiB / 4)}},
        // Unknown size: a range of 100, positions beyond it a full bar, never negative.
        {0, {50, 3 * GiB}, 100, {0, 50, kMax}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.zapowiedziane);
        AtrapySrodowiska a;
        a.pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
        KlientZeZgloszeniami klient;
        klient.zapowiedziane = p.zapowiedziane;
        klient.postepy = p.postepy;
        Srodowisko s{a.kontekst, a.strona, a.pliki, a.powloka, a.skroty, klient, "http://x/"};
        ASSERT_TRUE(PobierzPlik(s, u"f", u"_Kavrostel", u"exe", u"C:\\KV-Tek\\Kavrostel8"));
        EXPECT_EQ(a.strona.maksimumPaska, p.maksimum);
        auto pozycje = a.strona.pozycjePaska;
        ASSERT_EQ(pozycje.back(), 0) << "reset at the end";
        pozycje.pop_back();
        EXPECT_EQ(pozycje, p.pozycje);
    }
}

TEST(PobierzPlik, ClosingDuringTheNoticeFetchesNothing) {
    AtrapySrodowiska a;
    a.pliki.DodajPlik(kPlik, "stara wersja");
    a.strona.przyInformacji = [&] { a.strona.zamkniecieZadane = true; };

    EXPECT_FALSE(PrzygotujPlikProgramu(a.srodowisko));

    EXPECT_TRUE(a.http.zadania.empty());
    EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
    EXPECT_EQ(a.pliki.Tresc(kPlik), "stara wersja");
    EXPECT_EQ(a.strona.tytul, u"");
}

TEST(PobierzPlik, CleanUpRunsWhenAHandlerRaisesInsideThePump) {
    AtrapySrodowiska a;
    a.pliki.DodajPlik(kPlik, "stara wersja");
    a.http.wTrakcie = [] { throw std::runtime_error("handler failed"); };

    EXPECT_THROW(PrzygotujPlikProgramu(a.srodowisko), std::runtime_error);

    EXPECT_EQ(a.pliki.Tresc(kPlik), "stara wersja");
    EXPECT_EQ(a.pliki.Ponizej(u"C:\\KV-Tek\\Kavrostel8"), std::vector<std::u16string>{kPlik});
    EXPECT_EQ(a.strona.tytul, u"");
    EXPECT_EQ(a.strona.pozycjaPaska, 0);
    EXPECT_FALSE(a.strona.zablokowane);
}

}  // namespace
