// Windows paths laid out on Linux the way Wine lays them out.
#include <gtest/gtest.h>
#include <pwd.h>

#include <cstdlib>
#include <optional>

#include "PrefiksTestowy.h"
#include "SciezkiWine.h"
#include "platform/Powloka.h"
#include "platform/Sciezki.h"
#include "platform/Tekst.h"

using namespace platforma;

namespace {

// Sets an environment variable (or removes it, for nullopt) until destroyed.
class ZmiennaSrodowiska {
public:
    ZmiennaSrodowiska(const char* nazwa, std::optional<std::string> wartosc) : nazwa_(nazwa) {
        if (const char* stara = std::getenv(nazwa)) stara_ = stara;
        if (wartosc) {
            ::setenv(nazwa, wartosc->c_str(), 1);
        } else {
            ::unsetenv(nazwa);
        }
    }
    ~ZmiennaSrodowiska() {
        if (stara_) {
            ::setenv(nazwa_, stara_->c_str(), 1);
        } else {
            ::unsetenv(nazwa_);
        }
    }

private:
    const char* nazwa_;
    std::optional<std::string> stara_;
};

std::string Pokaz(const std::optional<std::string>& s) { return s ? "\"" + *s + "\"" : "brak"; }

}  // namespace

TEST(SciezkiWine, WindowsowaSciezkaNaDyskuPrzedrostka) {
    PrefiksTestowy p;
    p.DodajDysk('d', p.katalog / "dane");
    const SciezkiWine s(p.Ustawienia());
    const std::string c = p.WpisC();
    const std::string d = p.Wpis('d').string();
    struct Przypadek {
        std::u16string windows;
        std::optional<std::string> posix;
    };
    const Przypadek przypadki[] = {
        {u"C:\\KV-Tek\\Kavrostel8", c + "/KV-Tek/Kavrostel8"},
        {u"c:\\KV-Tek\\Kavrostel8", c + "/KV-Tek/Kavrostel8"},     // the drive in either case
        {u"C:/KV-Tek/Kavrostel8", c + "/KV-Tek/Kavrostel8"},       // both separators
        {u"C:\\KV-Tek/Kavrostel8\\_Kavrostel.exe", c + "/KV-Tek/Kavrostel8/_Kavrostel.exe"},
        {u"D:\\Prog\\KV-Tek", d + "/Prog/KV-Tek"},
        {u"d:\\Prog", d + "/Prog"},
        {u"\\KV-Tek\\Kavrostel8", c + "/KV-Tek/Kavrostel8"},       // no drive: drive C:
        {u"/KV-Tek", c + "/KV-Tek"},
        {u"C:", c},                                                 // drive roots
        {u"C:\\", c + "/"},
        {u"C:KV", c + "/KV"},
        {u"C:\\KV\\..\\Inny", c + "/KV/../Inny"},                   // nothing normalised
        {u"C:\\KV\\\\x\\", c + "/KV//x/"},
        {u"C:\\Narzędzia\\Żółw", c + "/Narz\xC4\x99" "dzia/\xC5\xBB\xC3\xB3\xC5\x82w"},
        {u"E:\\KV-Tek", std::nullopt},                              // no such drive
        {u"e:", std::nullopt},
        {u"KV-Tek\\plik.exe", std::nullopt},                        // relative
        {u"plik.exe", std::nullopt},
        {u"1:\\x", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto& pr : przypadki) {
        EXPECT_EQ(Pokaz(s.NaPosix(pr.windows)), Pokaz(pr.posix)) << Utf8(pr.windows);
    }
}

TEST(SciezkiWine, DyskZBezWpisuToKorzenSystemu) {
    PrefiksTestowy p;
    const SciezkiWine s(p.Ustawienia());
    const std::pair<std::u16string, std::string> przypadki[] = {
        {u"Z:\\opt\\kv\\bin\\instalator", "/opt/kv/bin/instalator"},
        {u"z:/opt/kv", "/opt/kv"},
        {u"Z:", "/"},
        {u"Z:\\", "/"},
        {u"Z:opt", "/opt"},
        {u"Z:\\\\opt", "//opt"},
    };
    for (const auto& [windows, posix] : przypadki) EXPECT_EQ(Pokaz(s.NaPosix(windows)), Pokaz(posix)) << Utf8(windows);
}

TEST(SciezkiWine, WpisZPrzedrostkaZastepujeKorzenSystemu) {
    PrefiksTestowy p;
    fs::create_directories(p.katalog / "zet");
    p.DodajDysk('z', p.katalog / "zet");
    const SciezkiWine s(p.Ustawienia());
    EXPECT_EQ(Pokaz(s.NaPosix(u"Z:\\opt")), Pokaz(p.Wpis('z').string() + "/opt"));
    EXPECT_EQ(Pokaz(s.NaPosix(u"Z:")), Pokaz(p.Wpis('z').string()));
}

TEST(SciezkiWine, DyskIstniejeGdyMaWpisNawetZerwany) {
    PrefiksTestowy p;
    p.DodajDysk('x', p.katalog / "nie-ma");
    const SciezkiWine s(p.Ustawienia());
    EXPECT_TRUE(s.FolderDysku(u'x').has_value());
    EXPECT_TRUE(s.FolderDysku(u'C').has_value());
    EXPECT_TRUE(s.FolderDysku(u'z').has_value());
    EXPECT_FALSE(s.FolderDysku(u'd').has_value());
    EXPECT_FALSE(s.FolderDysku(u'1').has_value());
    EXPECT_FALSE(s.FolderDysku(u'ą').has_value());
}

TEST(SciezkiWine, BrakPrzedrostkaToBrakDyskowOpróczZ) {
    const SciezkiWine s(UstawieniaWine{"/nie/ma/takiego/przedrostka", "jan"});
    EXPECT_FALSE(s.NaPosix(u"C:\\KV-Tek").has_value());
    EXPECT_FALSE(s.NaPosix(u"\\KV-Tek").has_value());
    EXPECT_EQ(Pokaz(s.NaPosix(u"Z:\\tmp")), Pokaz("/tmp"));
}

TEST(SciezkiWine, ZeSciezkiSystemuNajdluzszyPasujacyDysk) {
    PrefiksTestowy p;
    fs::create_directories(p.dyskC / "dane" / "a");
    fs::create_directories(p.katalog / "zet");
    p.DodajDysk('d', "../drive_c/dane");                 // inside C:'s folder
    fs::create_directory_symlink(p.dyskC, p.katalog / "dowiazanie");
    const SciezkiWine s(p.Ustawienia());
    const std::string c = p.dyskC.string();
    // A folder whose name only begins like drive_c lies outside it, on Z:.
    std::u16string obokC = u"Z:";
    for (char16_t z : Utf16(c + "x/plik")) obokC += z == u'/' ? u'\\' : z;
    struct Przypadek {
        std::string posix;
        std::u16string windows;
    };
    const Przypadek przypadki[] = {
        {c + "/KV-Tek/plik.exe", u"C:\\KV-Tek\\plik.exe"},
        {c, u"C:\\"},
        {c + "/", u"C:\\"},
        {c + "x/plik", obokC},
        {c + "/dane/a/plik.exe", u"D:\\a\\plik.exe"},
        {c + "/dane", u"D:\\"},
        {p.WpisC() + "/KV/plik.exe", u"C:\\KV\\plik.exe"},      // spelled through dosdevices
        {(p.katalog / "dowiazanie/KV/nowy.exe").string(), u"C:\\KV\\nowy.exe"},  // through a link, file not there
        {c + "/Narz\xC4\x99" "dzia", u"C:\\Narzędzia"},
        {"/usr/bin/instalator", u"Z:\\usr\\bin\\instalator"},
        {"/", u"Z:\\"},
        {"wzgledna/sciezka", u""},
        {"", u""},
    };
    for (const auto& pr : przypadki) EXPECT_EQ(Utf8(s.NaWindows(pr.posix)), Utf8(pr.windows)) << pr.posix;
}

TEST(SciezkiWine, ZeSciezkiSystemuInnyDyskPrzedZ) {
    PrefiksTestowy p;
    fs::create_directories(p.katalog / "zet");
    p.DodajDysk('y', "/");
    const SciezkiWine s(p.Ustawienia());
    EXPECT_EQ(Utf8(s.NaWindows("/usr/bin/x")), "Y:\\usr\\bin\\x");
    EXPECT_EQ(Utf8(s.NaWindows(p.dyskC.string() + "/x")), "C:\\x");
}

TEST(SciezkiWine, ZeSciezkiSystemuPozaDyskamiPusta) {
    PrefiksTestowy p;
    fs::create_directories(p.katalog / "zet");
    p.DodajDysk('z', p.katalog / "zet");
    const SciezkiWine s(p.Ustawienia());
    EXPECT_EQ(Utf8(s.NaWindows("/usr/bin/x")), "");
    EXPECT_EQ(Utf8(s.NaWindows((p.katalog / "zet/opt").string())), "Z:\\opt");
}

TEST(SciezkiWine, FolderySpecjalneWProfiluUzytkownika) {
    const SciezkiWine s(UstawieniaWine{"/x", "jan"});
    EXPECT_EQ(Utf8(s.FolderSpecjalny(CSIDL_PULPIT)), "C:\\users\\jan\\Desktop");
    EXPECT_EQ(Utf8(s.FolderSpecjalny(CSIDL_PROGRAMY)),
              "C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(Utf8(s.FolderSpecjalny(1)), "");
    EXPECT_EQ(Utf8(s.FolderSpecjalny(5)), "");

    const SciezkiWine polski(UstawieniaWine{"/x", "łukasz"});
    EXPECT_EQ(polski.FolderSpecjalny(CSIDL_PULPIT), u"C:\\users\\łukasz\\Desktop");

    const SciezkiWine bezLoginu(UstawieniaWine{"/x", ""});
    EXPECT_EQ(Utf8(bezLoginu.FolderSpecjalny(CSIDL_PULPIT)), "");
}

TEST(SciezkiWine, FolderSpecjalnyMiesciSieW260Znakach) {
    // "C:\users\" + login + "\AppData\...\Programs" is 68 units and the login;
    // 259 units and the NUL fill the buffer.
    const std::size_t staly = std::u16string(u"C:\\users\\\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs").size();
    const SciezkiWine miesci(UstawieniaWine{"/x", std::string(259 - staly, 'a')});
    EXPECT_EQ(miesci.FolderSpecjalny(CSIDL_PROGRAMY).size(), 259u);
    const SciezkiWine zaDlugi(UstawieniaWine{"/x", std::string(260 - staly, 'a')});
    EXPECT_EQ(Utf8(zaDlugi.FolderSpecjalny(CSIDL_PROGRAMY)), "");
    EXPECT_FALSE(zaDlugi.FolderSpecjalny(CSIDL_PULPIT).empty());
}

TEST(SciezkiWine, UstawieniaZeSrodowiska) {
    const passwd* konto = ::getpwuid(::geteuid());
    ASSERT_NE(konto, nullptr);
    {
        ZmiennaSrodowiska prefiks("WINEPREFIX", "/srv/wine");
        ZmiennaSrodowiska dom("HOME", "/home/ktos");
        const auto u = UstawieniaWine::ZeSrodowiska();
        EXPECT_EQ(u.prefiks, "/srv/wine");
        EXPECT_EQ(u.login, konto->pw_name);
    }
    {
        ZmiennaSrodowiska prefiks("WINEPREFIX", "");
        ZmiennaSrodowiska dom("HOME", "/home/ktos");
        EXPECT_EQ(UstawieniaWine::ZeSrodowiska().prefiks, "/home/ktos/.wine");
    }
    {
        ZmiennaSrodowiska prefiks("WINEPREFIX", std::nullopt);
        ZmiennaSrodowiska dom("HOME", "/home/ktos");
        EXPECT_EQ(UstawieniaWine::ZeSrodowiska().prefiks, "/home/ktos/.wine");
    }
    {
        ZmiennaSrodowiska prefiks("WINEPREFIX", std::nullopt);
        ZmiennaSrodowiska dom("HOME", std::nullopt);
        EXPECT_EQ(UstawieniaWine::ZeSrodowiska().prefiks, std::string(konto->pw_dir) + "/.wine");
    }
}

TEST(SciezkiWine, ProgramPokazanyNaDyskuZ) {
    const std::pair<std::string, std::u16string> przypadki[] = {
        {"/opt/kv/bin/instalator", u"Z:\\opt\\kv\\bin\\instalator"},
        {"/instalator", u"Z:\\instalator"},
        {"/", u"Z:\\"},
        {"/home/jan/Pobrane/Narz\xC4\x99" "dzia/instalator", u"Z:\\home\\jan\\Pobrane\\Narzędzia\\instalator"},
    };
    for (const auto& [posix, windows] : przypadki) EXPECT_EQ(Utf8(NaDyskuZ(posix)), Utf8(windows)) << posix;
    // The installer's own folder, as the install context takes it.
    EXPECT_EQ(Utf8(FolderPliku(NaDyskuZ("/opt/kv/bin/instalator"))), "Z:\\opt\\kv\\bin");
    EXPECT_EQ(Utf8(FolderPliku(NaDyskuZ("/instalator"))), "Z:\\");
}

