// The download on a real disk (a throw-away Wine prefix): the folders and
// the stored file, and what a failure leaves behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "Atrapy.h"
#include "KlientHttp.h"
#include "KluczTestowy.h"
#include "PlikProgramu.h"
#include "Pobieranie.h"
#include "PrefiksTestowy.h"
#include "SerwerAwarii.h"
#include "SystemPlikowPosix.h"

namespace {

using namespace std::string_literals;

class PobieranieNaDysk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(serwer.Dziala()) << serwer.Blad(); }

    Srodowisko Srodowisko_(const std::string& adres) {
        return Srodowisko{a.kontekst, a.strona, pliki, a.powloka, a.skroty, *klient, adres};
    }
    bool Przygotuj(const std::string& scenariusz) {
        auto s = Srodowisko_(serwer.Adres(scenariusz));
        return PrzygotujPlikProgramu(s);
    }
    fs::path Folder() const { return prefiks.dyskC / "KV-Tek" / "Kavrostel8"; }
    fs::path Program() const { return Folder() / "_Kavrostel.exe"; }

    SerwerAwarii serwer;
    PrefiksTestowy prefiks;
    platforma::SystemPlikowPosix pliki{prefiks.Ustawienia()};
    std::unique_ptr<IKlientHttp> prawdziwy = UtworzKlientaHttp();
    std::unique_ptr<IKlientHttp> klient = std::make_unique<KlientTestowy>(*prawdziwy);
    AtrapySrodowiska a;
};

TEST_F(PobieranieNaDysk, TheProgramFileArrivesInTheNewFolders) {
    ASSERT_TRUE(Przygotuj("ok-300000"));
    EXPECT_EQ(Zawartosc(prefiks.dyskC), std::vector<std::string>{"KV-Tek"});
    EXPECT_EQ(Zawartosc(Folder()), std::vector<std::string>{"_Kavrostel.exe"});
    EXPECT_EQ(CzytajPlik(Program()), TrescWzorcowa(300000));
}

TEST_F(PobieranieNaDysk, AFailedTransferLeavesTheInstalledFileAndNoOtherFile) {
    const std::string stary = "MZ stara wersja\r\n\0binarne"s;
    for (const char* scenariusz : {"reset-500000", "short-100000", "status-404", "close", "chunkedcut-300000",
                                   "partial-100000", "empty", "digest-bad-300000"}) {
        SCOPED_TRACE(scenariusz);
        fs::create_directories(Folder());
        ZapiszPlik(Program(), stary);
        a.strona.komunikatySystemowe.clear();

        EXPECT_FALSE(Przygotuj(scenariusz));

        EXPECT_EQ(a.strona.komunikatySystemowe.size(), 1u);
        EXPECT_EQ(CzytajPlik(Program()), stary);
        EXPECT_EQ(Zawartosc(Folder()), std::vector<std::string>{"_Kavrostel.exe"});
    }
}

// libcurl reports a chunk header that is not hexadecimal as a receive
// error, the code it also gives a broken connection: the reply did arrive,
// so it is a failed download, not a missing connection. (Wine's WinHTTP
// reads such a header as the last chunk; there only a digest would tell.)
TEST_F(PobieranieNaDysk, AMalformedChunkHeaderIsAFailedDownloadNotAConnectionFailure) {
    fs::create_directories(Folder());
    ZapiszPlik(Program(), "stara");
    EXPECT_FALSE(Przygotuj("badchunk-8192"));
    ASSERT_EQ(a.strona.komunikatySystemowe.size(), 1u);
    EXPECT_EQ(U8(a.strona.komunikatySystemowe[0]).rfind("Nieudane pobranie pliku: Odpowiedź serwera jest nieprawidłowa: ", 0),
              0u)
        << U8(a.strona.komunikatySystemowe[0]);
    EXPECT_EQ(CzytajPlik(Program()), "stara");
    EXPECT_EQ(Zawartosc(Folder()), std::vector<std::string>{"_Kavrostel.exe"});
}

TEST_F(PobieranieNaDysk, AnInstalledFileIsReplacedWhole) {
    fs::create_directories(Folder());
    ZapiszPlik(Program(), std::string(1'000'000, 'x'));
    ASSERT_TRUE(Przygotuj("ok-1000"));
    EXPECT_EQ(a.strona.informacje.size(), 1u);
    EXPECT_EQ(CzytajPlik(Program()), TrescWzorcowa(1000)) << "no tail of the longer old file";
}

TEST_F(PobieranieNaDysk, AMissingTargetFolderIsAFileErrorBeforeAnyRequest) {
    auto s = Srodowisko_(serwer.Adres("ok-1000"));
    EXPECT_FALSE(PobierzPlik(s, u"programy/wersja8/aktualne", u"_Kavrostel", u"exe",
                             u"C:\\Brak\\Kavrostel8"));
    EXPECT_EQ(a.strona.komunikatySystemowe,
              std::vector<std::u16string>{u"Nieudane pobranie pliku: No such file or directory"});
    EXPECT_TRUE(serwer.Dziennik().empty());
    EXPECT_FALSE(fs::exists(prefiks.dyskC / "Brak"));
}

TEST_F(PobieranieNaDysk, AFolderInThePlaceOfTheFileIsAFileErrorAndLeavesNoTemporaryFile) {
    fs::create_directories(Program());
    EXPECT_FALSE(Przygotuj("ok-100000"));
    EXPECT_EQ(a.strona.komunikatySystemowe,
              std::vector<std::u16string>{u"Nieudane pobranie pliku: Is a directory"});
    EXPECT_EQ(Zawartosc(Folder()), std::vector<std::string>{"_Kavrostel.exe"});
    EXPECT_TRUE(fs::is_directory(Program()));
}

TEST_F(PobieranieNaDysk, AReadOnlyTargetFolderIsAFileError) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    fs::create_directories(Folder());
    ZapiszPlik(Program(), "stara");
    fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(Przygotuj("ok-1000"));
    fs::permissions(Folder(), fs::perms::owner_all);
    EXPECT_EQ(a.strona.komunikatySystemowe,
              std::vector<std::u16string>{u"Nieudane pobranie pliku: Permission denied"});
    EXPECT_EQ(CzytajPlik(Program()), "stara");
}

}  // namespace
