// The POSIX shell: special folders, the running program, and programs started
// detached. Stand-ins for xdg-open and wine record how they were started.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <thread>

#include "PowlokaPosix.h"
#include "PrefiksTestowy.h"
#include "platform/Sciezki.h"
#include "platform/Tekst.h"

using namespace platforma;

namespace {

// A script that records its arguments, $WINEPREFIX and its session, after
// waiting (at most 10 s) for the file "dalej" that the test creates once the
// call has returned. Each run leaves one file "wywolanie.<name>.<pid>".
constexpr const char* ATRAPA = R"sh(#!/bin/sh
d=$(dirname "$0")
n=$(basename "$0")
i=0
while [ ! -e "$d/dalej" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done
{
  if [ -e "$d/dalej" ]; then echo "czekal=tak"; else echo "czekal=nie"; fi
  echo "sesja=$(cut -d' ' -f6 /proc/$$/stat)"
  echo "prefiks=${WINEPREFIX-}"
  for a in "$@"; do echo "arg=$a"; done
} > "$d/.$n.$$"
mv "$d/.$n.$$" "$d/wywolanie.$n.$$"
)sh";

class PowlokaTest : public ::testing::Test {
protected:
    void SetUp() override {
        bin = p.katalog / "bin";
        fs::create_directories(bin);
    }

    void DodajAtrape(const std::string& nazwa) const {
        ZapiszPlik(bin / nazwa, ATRAPA);
        fs::permissions(bin / nazwa, fs::perms(0755));
    }

    // The records of finished runs, each as a list of its lines.
    std::vector<std::vector<std::string>> Wywolania(const std::string& nazwa) const {
        std::vector<std::vector<std::string>> wynik;
        for (const auto& plik : Zawartosc(bin)) {
            if (plik.rfind("wywolanie." + nazwa + ".", 0) != 0) continue;
            std::ifstream we(bin / plik);
            std::vector<std::string> linie;
            for (std::string l; std::getline(we, l);) linie.push_back(l);
            wynik.push_back(linie);
        }
        return wynik;
    }

    // Waits (at most 15 s) until `ile` runs of `nazwa` have finished.
    std::vector<std::vector<std::string>> CzekajNa(const std::string& nazwa, std::size_t ile) const {
        for (int i = 0; i < 150 && Wywolania(nazwa).size() < ile; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return Wywolania(nazwa);
    }

    void Dalej() const { ZapiszPlik(bin / "dalej", ""); }

    PrefiksTestowy p;
    fs::path bin;
};

// The record without its session line, which each test checks on its own.
std::vector<std::string> BezSesji(std::vector<std::string> linie, std::string& sesja) {
    for (auto it = linie.begin(); it != linie.end(); ++it) {
        if (it->rfind("sesja=", 0) == 0) {
            sesja = it->substr(6);
            linie.erase(it);
            break;
        }
    }
    return linie;
}

bool BrakDzieci() {
    int stan = 0;
    return ::waitpid(-1, &stan, WNOHANG) < 0 && errno == ECHILD;
}

}  // namespace

TEST_F(PowlokaTest, AdresOtwieraXdgOpenOdlaczonyOdInstalatora) {
    DodajAtrape("xdg-open");
    // The browser gets the installer's environment as it is.
    const char* stary = std::getenv("WINEPREFIX");
    const std::string zapamietany = stary ? stary : "";
    ::setenv("WINEPREFIX", "/srv/inny", 1);
    PowlokaPosix powloka(p.Ustawienia(), "/nie/ma:" + bin.string());
    // The stand-in waits for "dalej", which exists only once the call has
    // returned: a call that waited for the browser would leave it waiting.
    powloka.OtworzAdres(u"http://www.kv-tek.example/ścieżka?a=1&b=2");
    if (stary) {
        ::setenv("WINEPREFIX", zapamietany.c_str(), 1);
    } else {
        ::unsetenv("WINEPREFIX");
    }
    Dalej();
    const auto wywolania = CzekajNa("xdg-open", 1);
    ASSERT_EQ(wywolania.size(), 1u);
    std::string sesja;
    EXPECT_EQ(BezSesji(wywolania[0], sesja),
              (std::vector<std::string>{"czekal=tak", "prefiks=/srv/inny", "arg=http://www.kv-tek.example/\xC5\x9B" "cie\xC5\xBCka?a=1&b=2"}));
    EXPECT_NE(sesja, std::to_string(::getsid(0)));   // a session of its own
    EXPECT_TRUE(BrakDzieci());                        // and nothing left to reap
}

TEST_F(PowlokaTest, ProgramExeUruchamiaWineWTymSamymPrzedrostku) {
    DodajAtrape("wine");
    fs::create_directories(p.dyskC / "KV-Tek" / "Kavrostel8");
    ZapiszPlik(p.dyskC / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe", "MZ");
    PowlokaPosix powloka(p.Ustawienia(), bin.string());
    powloka.UruchomProgram(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.EXE");
    Dalej();
    const auto wywolania = CzekajNa("wine", 1);
    ASSERT_EQ(wywolania.size(), 1u);
    std::string sesja;
    EXPECT_EQ(BezSesji(wywolania[0], sesja),
              (std::vector<std::string>{"czekal=tak", "prefiks=" + p.prefiks.string(),
                                        "arg=" + p.WpisC() + "/KV-Tek/Kavrostel8/_Kavrostel.exe"}));
    EXPECT_NE(sesja, std::to_string(::getsid(0)));
    EXPECT_TRUE(BrakDzieci());
}

TEST_F(PowlokaTest, TylkoProgramExeNaIstniejacymDyskuTrafiaDoWine) {
    DodajAtrape("wine");
    Dalej();
    PowlokaPosix powloka(p.Ustawienia(), bin.string());
    for (std::u16string pominiety : {u"C:\\KV\\notatka.txt", u"C:\\KV\\exe", u"C:\\KV\\program.exe.txt",
                                     u"D:\\KV\\program.exe", u"program.exe", u".exe", u""}) {
        powloka.UruchomProgram(pominiety);
    }
    // The started program is exec'd before the call returns, so had any of
    // the calls above started wine, its record would come in before this one.
    powloka.UruchomProgram(u"\\KV\\ostatni.Exe");
    const auto wywolania = CzekajNa("wine", 1);
    ASSERT_EQ(wywolania.size(), 1u);
    EXPECT_EQ(wywolania[0].back(), "arg=" + p.WpisC() + "/KV/ostatni.Exe");
    EXPECT_TRUE(BrakDzieci());
}

TEST_F(PowlokaTest, BezXdgOpenIWineNicSieNieDzieje) {
    PowlokaPosix powloka(p.Ustawienia(), bin.string() + "::/nie/ma");
    powloka.OtworzAdres(u"http://www.kv-tek.example/");
    powloka.UruchomProgram(u"C:\\KV\\program.exe");
    EXPECT_TRUE(BrakDzieci());
    EXPECT_EQ(Zawartosc(bin), std::vector<std::string>{});
}

TEST(UruchomOdlaczony, NieudaneUruchomienieJestZgloszone) {
    EXPECT_FALSE(UruchomOdlaczony("/nie/ma/programu", {"programu"}, {}));
    PrefiksTestowy p;
    ZapiszPlik(p.katalog / "bez-prawa", "#!/bin/sh\n");
    fs::permissions(p.katalog / "bez-prawa", fs::perms(0644));
    if (::geteuid() != 0) {
        EXPECT_FALSE(UruchomOdlaczony((p.katalog / "bez-prawa").string(), {"x"}, {}));
    }
    EXPECT_TRUE(UruchomOdlaczony("/bin/true", {"true"}, {}));
    EXPECT_TRUE(BrakDzieci());
}

TEST(PowlokaPosix, SciezkaProgramuNaDyskuZWskazujeTenProgram) {
    PrefiksTestowy p;
    PowlokaPosix powloka(p.Ustawienia());
    const std::u16string sciezka = powloka.SciezkaProgramu();
    ASSERT_EQ(sciezka.substr(0, 3), u"Z:\\") << Utf8(sciezka);
    const auto posix = SciezkiWine(p.Ustawienia()).NaPosix(sciezka);
    ASSERT_TRUE(posix);
    struct stat ten {}, wskazany {};
    ASSERT_EQ(::stat("/proc/self/exe", &ten), 0);
    ASSERT_EQ(::stat(posix->c_str(), &wskazany), 0) << *posix;
    EXPECT_EQ(ten.st_ino, wskazany.st_ino);
    EXPECT_EQ(ten.st_dev, wskazany.st_dev);
    EXPECT_EQ(FolderPliku(sciezka).find(u"Z:\\"), 0u);
}

TEST(PowlokaPosix, SciezkaProgramuZDyskuGdyZNieJestKorzeniem) {
    PrefiksTestowy p;
    const fs::path program = fs::canonical("/proc/self/exe");
    fs::create_directories(p.katalog / "zet");
    p.DodajDysk('z', p.katalog / "zet");
    p.DodajDysk('b', program.parent_path());
    PowlokaPosix powloka(p.Ustawienia());
    EXPECT_EQ(Utf8(powloka.SciezkaProgramu()), "B:\\" + program.filename().string());

    // Wine's usual z: -> "/" keeps the program on Z:.
    PrefiksTestowy zwykly;
    zwykly.DodajDysk('z', "/");
    zwykly.DodajDysk('b', program.parent_path());
    EXPECT_EQ(PowlokaPosix(zwykly.Ustawienia()).SciezkaProgramu(), NaDyskuZ(program.string()));
}

