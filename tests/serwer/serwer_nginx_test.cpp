// The installer's download against the real distribution server kit: nginx
// started by server/serwer.sh on a tree made by server/pakuj.sh.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Atrapy.h"
#include "KlientHttp.h"
#include "PlikProgramu.h"
#include "PrefiksTestowy.h"
#include "SystemPlikowPosix.h"
#include "ZestawSerwera.h"

namespace {

// Passes every request on with another password.
class ZleHaslo : public IKlientHttp {
public:
    explicit ZleHaslo(IKlientHttp& klient) : klient_(klient) {}
    WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& u,
                      IOdbiorcaHttp& odbiorca) override {
        auto zle = u;
        zle.haslo = "lorven906";
        return klient_.Pobierz(adres, zle, odbiorca);
    }

private:
    IKlientHttp& klient_;
};

std::string Losowe(std::size_t ile) {
    std::mt19937 los(8);
    std::string t(ile, '\0');
    for (auto& c : t) c = static_cast<char>(los());
    return t;
}

class SerwerNginx : public ::testing::Test {
protected:
    void SetUp() override {
        ZapiszPlik(fs::path(zestaw.Wydanie()) / "_Kavrostel.exe", program);
        ASSERT_TRUE(zestaw.Uruchom()) << zestaw.Blad();
    }
    bool Przygotuj(IKlientHttp& k) {
        Srodowisko s{a.kontekst, a.strona, pliki, a.powloka, a.skroty, k, zestaw.Adres()};
        return PrzygotujPlikProgramu(s);
    }
    fs::path Program() const { return prefiks.dyskC / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe"; }

    const std::string program = Losowe(3 * 1024 * 1024 + 17);
    PrefiksTestowy prefiks;
    ZestawSerwera zestaw{(prefiks.katalog / "serwer").string()};
    platforma::SystemPlikowPosix pliki{prefiks.Ustawienia()};
    std::unique_ptr<IKlientHttp> klient = UtworzKlientaHttp();
    AtrapySrodowiska a;
};

TEST_F(SerwerNginx, TheProgramFileArrivesByteForByte) {
    ASSERT_TRUE(Przygotuj(*klient));
    EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
    EXPECT_TRUE(CzytajPlik(Program()) == program) << "not byte for byte";
    EXPECT_EQ(a.strona.maksimumPaska, static_cast<std::int32_t>(program.size()));
}

const std::u16string kUszkodzony =
    u"Nieudane pobranie pliku: Plik nadszedł uszkodzony: jego skrót SHA-256 różni się od podanego w nagłówku "
    u"Repr-Digest";

// The kit sends each file's digest from the time of packing: a file that
// changed on the server since (a broken mirror, a disk error) never
// replaces the installed program.
TEST_F(SerwerNginx, AFileDamagedOnTheServerIsRefusedAndTheInstalledOneKept) {
    fs::create_directories(Program().parent_path());
    ZapiszPlik(Program(), "MZ stara wersja");
    std::string uszkodzony = program;
    uszkodzony[uszkodzony.size() / 2] ^= 1;
    ZapiszPlik(fs::path(zestaw.Aktualne()) / "_Kavrostel._exe", uszkodzony);

    EXPECT_FALSE(Przygotuj(*klient));

    EXPECT_EQ(a.strona.komunikatySystemowe, std::vector<std::u16string>{kUszkodzony});
    EXPECT_EQ(CzytajPlik(Program()), "MZ stara wersja");
    EXPECT_EQ(Zawartosc(Program().parent_path()), std::vector<std::string>{"_Kavrostel.exe"});
}

// A release packed while the server runs is served at once, but its
// digests only from the reload on: until then the installer refuses it and
// keeps what is installed.
TEST_F(SerwerNginx, ANewReleaseCarriesItsDigestFromTheReloadOn) {
    const std::string nowy = Losowe(1024 * 1024 + 5) + "nowa";
    ZapiszPlik(fs::path(zestaw.Wydanie()) / "_Kavrostel.exe", nowy);
    ASSERT_TRUE(zestaw.Pakuj());

    EXPECT_FALSE(Przygotuj(*klient));
    EXPECT_EQ(a.strona.komunikatySystemowe, std::vector<std::u16string>{kUszkodzony});
    EXPECT_FALSE(fs::exists(Program()));

    ASSERT_EQ(zestaw.Wykonaj("reload"), 0);
    a.strona.komunikatySystemowe.clear();
    ASSERT_TRUE(Przygotuj(*klient));
    EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
    EXPECT_TRUE(CzytajPlik(Program()) == nowy) << "not byte for byte";
}

TEST_F(SerwerNginx, WrongCredentialsGiveTheUnauthorizedStatusLine) {
    ZleHaslo zle(*klient);
    EXPECT_FALSE(Przygotuj(zle));
    EXPECT_EQ(a.strona.komunikatySystemowe,
              std::vector<std::u16string>{u"Nieudane pobranie pliku: HTTP/1.1 401 Unauthorized"});
    EXPECT_FALSE(fs::exists(Program()));
}

}  // namespace
