// The installer's download against the real distribution server kit: nginx
// started by server/serwer.sh on a tree made by server/pakuj.sh.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "Atrapy.h"
#include "BledyPobierania.h"
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

const std::u16string kUszkodzony = TekstBleduPobierania(KomunikatBledu(BladPobierania::NiezgodnaSuma));

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

// A release packed while the server runs waits for the reload: until then
// the previous one is served whole, with its own digest and signature.
TEST_F(SerwerNginx, ANewReleaseIsServedFromTheReloadOnAndTheOldOneWholeUntilThen) {
    const std::string nowy = Losowe(1024 * 1024 + 5) + "nowa";
    ZapiszPlik(fs::path(zestaw.Wydanie()) / "_Kavrostel.exe", nowy);
    ASSERT_TRUE(zestaw.Pakuj());

    ASSERT_TRUE(Przygotuj(*klient));
    EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
    EXPECT_TRUE(CzytajPlik(Program()) == program) << "the old release, byte for byte, until the reload";

    ASSERT_EQ(zestaw.Wykonaj("reload"), 0);
    ASSERT_TRUE(Przygotuj(*klient));
    EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
    EXPECT_TRUE(CzytajPlik(Program()) == nowy) << "not byte for byte";
}

// The signatures cover the request's whole path: a base address below the
// server's root is packed for and served there.
TEST(SerwerNginxBaza, ABaseAddressBelowTheRootIsServedWithItsSignatures) {
    PrefiksTestowy prefiks;
    ZestawSerwera zestaw{(prefiks.katalog / "serwer").string()};
    zestaw.UstawBaze("/lustro/kavrostel/");
    const std::string program = Losowe(200 * 1024 + 3);
    ZapiszPlik(fs::path(zestaw.Wydanie()) / "_Kavrostel.exe", program);
    ASSERT_TRUE(zestaw.Uruchom()) << zestaw.Blad();
    platforma::SystemPlikowPosix pliki{prefiks.Ustawienia()};
    auto klient = UtworzKlientaHttp();
    AtrapySrodowiska a;
    Srodowisko s{a.kontekst, a.strona, pliki, a.powloka, a.skroty, *klient, zestaw.Adres()};
    ASSERT_TRUE(PrzygotujPlikProgramu(s));
    EXPECT_TRUE(a.strona.komunikatySystemowe.empty());
    EXPECT_TRUE(CzytajPlik(prefiks.dyskC / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe") == program);
}

// A caching proxy in front of the kit (tests/support/pamiec_posrednia.sh),
// standing in for a CDN or a mirror, on a free port of its own.
class PamiecPosrednia {
public:
    explicit PamiecPosrednia(int port_serwera) {
        std::string wzor = (fs::temp_directory_path() / "kv-pamiec-XXXXXX").string();
        if (!::mkdtemp(wzor.data())) throw std::runtime_error("mkdtemp");
        // Run as root, its workers ("nobody") write the cache below it.
        fs::permissions(wzor, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        folder_ = wzor;
        port_ = WolnyPort();
        dziala_ = Skrypt("start " + folder_ + "/praca " + std::to_string(port_) + " 127.0.0.1:" +
                         std::to_string(port_serwera)) == 0;
    }
    ~PamiecPosrednia() {
        Skrypt("stop " + folder_ + "/praca");
        std::error_code blad;
        fs::remove_all(folder_, blad);
    }
    bool Dziala() const { return dziala_; }
    std::string Adres() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    // The cached program file: its body changed, its Repr-Digest to match.
    bool Zatruj() { return Skrypt("zatruj " + folder_ + "/praca /programy/wersja8/aktualne/_Kavrostel._exe") == 0; }

private:
    static int Skrypt(const std::string& argumenty) {
        return std::system(("bash " KV_ZRODLA_TESTOW "/support/pamiec_posrednia.sh " + argumenty + " >/dev/null").c_str());
    }
    std::string folder_;
    int port_ = 0;
    bool dziala_ = false;
};

// The signed release installs through the cache, once fetched from the kit
// and once from the cache; a cache entry poisoned afterwards (body and
// digest replaced together) is refused and the installed program kept.
TEST_F(SerwerNginx, ThroughACachingProxyTheSignedReleaseInstallsAndAPoisonedEntryIsRefused) {
    PamiecPosrednia pamiec(zestaw.Port());
    ASSERT_TRUE(pamiec.Dziala());
    auto przez_pamiec = [&] {
        Srodowisko s{a.kontekst, a.strona, pliki, a.powloka, a.skroty, *klient, pamiec.Adres()};
        return PrzygotujPlikProgramu(s);
    };
    for (const char* proba : {"from the kit", "from the cache"}) {
        ASSERT_TRUE(przez_pamiec()) << proba;
        EXPECT_TRUE(a.strona.komunikatySystemowe.empty()) << proba;
        EXPECT_TRUE(CzytajPlik(Program()) == program) << proba << ": not byte for byte";
    }

    ASSERT_TRUE(pamiec.Zatruj());
    EXPECT_FALSE(przez_pamiec());
    EXPECT_EQ(a.strona.komunikatySystemowe.size(), 1u);
    if (!a.strona.komunikatySystemowe.empty()) {
        EXPECT_EQ(a.strona.komunikatySystemowe[0].rfind(u"Nieudane pobranie pliku: ", 0), 0u);
    }
    EXPECT_TRUE(CzytajPlik(Program()) == program) << "the installed program changed";
    EXPECT_EQ(Zawartosc(Program().parent_path()), std::vector<std::string>{"_Kavrostel.exe"});
}

TEST_F(SerwerNginx, WrongCredentialsGiveTheUnauthorizedStatusLine) {
    ZleHaslo zle(*klient);
    EXPECT_FALSE(Przygotuj(zle));
    EXPECT_EQ(a.strona.komunikatySystemowe,
              std::vector<std::u16string>{u"Nieudane pobranie pliku: HTTP/1.1 401 Unauthorized"});
    EXPECT_FALSE(fs::exists(Program()));
}

}  // namespace
