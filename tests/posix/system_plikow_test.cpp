// The POSIX file system behind Windows calls, against a temporary Wine prefix.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "PrefiksTestowy.h"
#include "SystemPlikowPosix.h"
#include "platform/Tekst.h"

using namespace platforma;

namespace {

class SystemPlikowTest : public ::testing::Test {
protected:
    PrefiksTestowy p;
    SystemPlikowPosix pliki{p.Ustawienia()};
    fs::path c = p.dyskC;
};

}  // namespace

TEST_F(SystemPlikowTest, TestyIstnienia) {
    fs::create_directories(c / "KV-Tek" / "Kavrostel8");
    ZapiszPlik(c / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe", "MZ");
    ZapiszPlik(c / "Żółw.txt", "x");
    fs::create_symlink("KV-Tek/Kavrostel8/_Kavrostel.exe", c / "dowiazanie.exe");
    fs::create_directory_symlink("KV-Tek", c / "dowiazany-folder");
    fs::create_symlink("nie-ma", c / "zerwane");
    struct Przypadek {
        std::u16string sciezka;
        bool plik;
        bool folder;
    };
    const Przypadek przypadki[] = {
        {u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", true, false},
        {u"c:/KV-Tek/Kavrostel8/_Kavrostel.exe", true, false},
        {u"\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", true, false},
        {u"C:\\KV-Tek\\Kavrostel8", false, true},
        {u"C:\\KV-Tek\\Kavrostel8\\", false, true},
        {u"\\KV-Tek\\Kavrostel8", false, true},
        {u"C:\\Żółw.txt", true, false},
        {u"C:\\dowiazanie.exe", true, false},          // links are followed
        {u"C:\\dowiazany-folder\\Kavrostel8", false, true},
        {u"C:\\dowiazany-folder", false, true},
        {u"C:\\zerwane", false, false},
        {u"C:\\KV-Tek\\brak.exe", false, false},
        {u"C:", false, true},
        {u"C:\\", false, true},
        {u"Z:\\", false, true},
        {u"D:\\", false, false},                        // no such drive
        {u"D:\\KV-Tek", false, false},
        {u"_Kavrostel.exe", false, false},
    };
    for (const auto& pr : przypadki) {
        EXPECT_EQ(pliki.PlikIstnieje(pr.sciezka), pr.plik) << Utf8(pr.sciezka);
        EXPECT_EQ(pliki.FolderIstnieje(pr.sciezka), pr.folder) << Utf8(pr.sciezka);
    }
}

TEST_F(SystemPlikowTest, NazwyBezWzgleduNaWielkoscLiter) {
    fs::create_directories(c / "KV-Tek" / "Kavrostel8");
    ZapiszPlik(c / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe", "MZ");
    fs::create_directories(c / "\xC5\xBC\xC3\xB3\xC5\x82w \xC3\xA9t\xC3\xA9");   // "żółw été"
    fs::create_directories(c / "Dwa");
    fs::create_directories(c / "dwa");
    const std::string kv = p.WpisC() + "/KV-Tek";
    const std::pair<std::u16string, std::string> przypadki[] = {
        {u"C:\\kv-tek\\KAVROSTEL8\\_kavrostel.EXE", kv + "/Kavrostel8/_Kavrostel.exe"},
        {u"c:/KV-TEK//kavrostel8/", kv + "//Kavrostel8/"},
        {u"C:\\KV-TEK\\Nowy\\Kavrostel8", kv + "/Nowy/Kavrostel8"},        // the rest stays as given
        {u"C:\\kv-tek\\..\\KV-TEK", kv + "/../KV-Tek"},
        {u"C:\\ŻÓŁW ÉTÉ", p.WpisC() + "/\xC5\xBC\xC3\xB3\xC5\x82w \xC3\xA9t\xC3\xA9"},
        {u"C:\\dwa", p.WpisC() + "/dwa"},                                  // the exact spelling first
        {u"C:\\Dwa", p.WpisC() + "/Dwa"},
        {u"C:\\kv-tekx", p.WpisC() + "/kv-tekx"},
    };
    for (const auto& [windows, posix] : przypadki) EXPECT_EQ(Utf8(pliki.NaSciezkeSystemu(windows)), posix) << Utf8(windows);

    EXPECT_TRUE(pliki.PlikIstnieje(u"C:\\KV-TEK\\kavrostel8\\_KAVROSTEL.exe"));
    EXPECT_TRUE(pliki.FolderIstnieje(u"\\kv-tek"));
    EXPECT_FALSE(pliki.UtworzFolder(u"C:\\kv-tek"));                   // it is there already
    EXPECT_TRUE(pliki.UtworzFolder(u"C:\\kv-tek\\Sterowniki"));
    EXPECT_TRUE(fs::is_directory(c / "KV-Tek" / "Sterowniki"));
    EXPECT_TRUE(pliki.UsunPlik(u"C:\\kv-tek\\kavrostel8\\_kavrostel.exe"));
    EXPECT_FALSE(fs::exists(c / "KV-Tek" / "Kavrostel8" / "_Kavrostel.exe"));
    EXPECT_EQ(Zawartosc(c / "KV-Tek"), (std::vector<std::string>{"Kavrostel8", "Sterowniki"}));
}

TEST_F(SystemPlikowTest, FolderTworzonyJedenPoziomNaRaz) {
    Umaska maska(022);
    EXPECT_FALSE(pliki.UtworzFolder(u"C:\\KV-Tek\\Kavrostel8"));   // the parent is missing
    EXPECT_FALSE(fs::exists(c / "KV-Tek"));
    EXPECT_TRUE(pliki.UtworzFolder(u"C:\\KV-Tek"));
    EXPECT_TRUE(pliki.UtworzFolder(u"C:\\KV-Tek\\Kavrostel8"));
    EXPECT_TRUE(fs::is_directory(c / "KV-Tek" / "Kavrostel8"));
    EXPECT_EQ(Tryb(c / "KV-Tek"), 0755u);
    EXPECT_FALSE(pliki.UtworzFolder(u"C:\\KV-Tek"));                // already there
    EXPECT_TRUE(pliki.UtworzFolder(u"\\Narzędzia"));
    EXPECT_TRUE(fs::is_directory(c / "Narz\xC4\x99" "dzia"));
    EXPECT_TRUE(pliki.UtworzFolder(u"C:/Ukosniki/"));
    EXPECT_TRUE(fs::is_directory(c / "Ukosniki"));
    EXPECT_FALSE(pliki.UtworzFolder(u"D:\\KV-Tek"));                // no such drive
    EXPECT_FALSE(pliki.UtworzFolder(u"KV-Tek"));
    EXPECT_FALSE(pliki.UtworzFolder(u"C:"));
}

// Whatever the umask, a folder made for the program is the user's alone to
// change; an existing one of the user's is closed to others.
TEST_F(SystemPlikowTest, FolderProgramuTylkoUzytkownikMozeZmieniac) {
    struct {
        mode_t umaska;
        mode_t trybNowego;
    } przypadki[] = {{0, 0755}, {002, 0755}, {022, 0755}, {077, 0700}};
    for (const auto& u : przypadki) {
        SCOPED_TRACE(u.umaska);
        Umaska maska(u.umaska);
        fs::remove_all(c / "KV-Tek");
        EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"C:\\KV-Tek\\Kavrostel8"), StanFolderuProgramu::Brak);
        EXPECT_FALSE(fs::exists(c / "KV-Tek"));
        EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"C:\\KV-Tek"), StanFolderuProgramu::Chroniony);
        EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"C:\\KV-Tek\\Kavrostel8"), StanFolderuProgramu::Chroniony);
        EXPECT_EQ(Tryb(c / "KV-Tek"), u.trybNowego);
        EXPECT_EQ(Tryb(c / "KV-Tek" / "Kavrostel8"), u.trybNowego);
    }
    Umaska maska(0);
    fs::permissions(c / "KV-Tek", fs::perms(01777));
    EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"C:\\KV-Tek"), StanFolderuProgramu::Chroniony);
    EXPECT_EQ(Tryb(c / "KV-Tek"), 01755u) << "re-protected, other bits kept";
    ZapiszPlik(c / "plik", "x");
    EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"C:\\plik"), StanFolderuProgramu::Brak);
    EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"D:\\KV-Tek"), StanFolderuProgramu::Brak);
}

// Another user's folder is never changed: refused as foreign, whatever its mode.
TEST_F(SystemPlikowTest, FolderProgramuInnegoUzytkownikaOdrzucony) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    const uid_t inny = 65534;  // nobody
    for (mode_t tryb : {0755, 0777}) {
        SCOPED_TRACE(tryb);
        fs::remove_all(c / "KV-Tek");
        fs::create_directory(c / "KV-Tek");
        fs::permissions(c / "KV-Tek", fs::perms(tryb));
        ASSERT_EQ(::chown((c / "KV-Tek").c_str(), inny, inny), 0);
        EXPECT_EQ(pliki.PrzygotujFolderProgramu(u"C:\\KV-Tek"), StanFolderuProgramu::Obcy);
        EXPECT_EQ(Tryb(c / "KV-Tek"), tryb) << "left as it was";
    }
}

TEST_F(SystemPlikowTest, AtrybutTylkoDoOdczytuToBrakBitowZapisu) {
    Umaska maska(022);
    ZapiszPlik(c / "a.exe", "MZ");
    fs::permissions(c / "a.exe", fs::perms(0664));
    EXPECT_TRUE(pliki.UstawAtrybuty(u"C:\\a.exe", ATRYBUT_TYLKO_DO_ODCZYTU | ATRYBUT_UKRYTY));
    EXPECT_EQ(Tryb(c / "a.exe"), 0444u);
    EXPECT_TRUE(pliki.PlikIstnieje(u"C:\\a.exe"));
    EXPECT_TRUE(pliki.UstawAtrybuty(u"C:\\a.exe", 0));
    EXPECT_EQ(Tryb(c / "a.exe"), 0644u);
    EXPECT_TRUE(pliki.UstawAtrybuty(u"C:\\a.exe", 0));
    EXPECT_EQ(Tryb(c / "a.exe"), 0644u);
    EXPECT_FALSE(pliki.UstawAtrybuty(u"C:\\brak.exe", 0));
    EXPECT_FALSE(pliki.UstawAtrybuty(u"D:\\a.exe", 0));
    // A folder keeps its mode, as under Wine.
    fs::create_directory(c / "F");
    const mode_t trybFolderu = Tryb(c / "F");
    EXPECT_TRUE(pliki.UstawAtrybuty(u"C:\\F", ATRYBUT_TYLKO_DO_ODCZYTU));
    EXPECT_EQ(Tryb(c / "F"), trybFolderu);
}

TEST_F(SystemPlikowTest, KopiaZastepujeCelINieZostawiaPlikowTymczasowych) {
    Umaska maska(022);
    fs::create_directories(c / "Program");
    fs::create_directories(c / "KV");
    std::string duza(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < duza.size(); ++i) duza[i] = static_cast<char>((i * 7919) >> 3);
    ZapiszPlik(c / "Program" / "_Aktualizacja.exe", duza);
    ZapiszPlik(c / "KV" / "_Aktualizacja.exe", "stara wersja");

    ASSERT_TRUE(pliki.KopiujPlik(u"C:\\Program\\_Aktualizacja.exe", u"C:\\KV\\_Aktualizacja.exe", false));
    EXPECT_EQ(CzytajPlik(c / "KV" / "_Aktualizacja.exe"), duza);
    EXPECT_EQ(Zawartosc(c / "KV"), std::vector<std::string>{"_Aktualizacja.exe"});
    EXPECT_EQ(Tryb(c / "KV" / "_Aktualizacja.exe"), 0644u);

    ASSERT_TRUE(pliki.KopiujPlik(u"C:\\Program\\_Aktualizacja.exe", u"C:\\KV\\Nowy ż.exe", false));
    EXPECT_EQ(CzytajPlik(c / "KV" / "Nowy \xC5\xBC.exe"), duza);
    // The copy is a file of its own, not a link to the source.
    ZapiszPlik(c / "Program" / "_Aktualizacja.exe", "zmieniony");
    EXPECT_EQ(CzytajPlik(c / "KV" / "_Aktualizacja.exe"), duza);
}

TEST_F(SystemPlikowTest, KopiaOdmawiaJakCopyFileW) {
    fs::create_directories(c / "KV" / "Folder");
    ZapiszPlik(c / "zrodlo.exe", "nowa");
    ZapiszPlik(c / "KV" / "cel.exe", "stara");
    ZapiszPlik(c / "KV" / "tylko.exe", "chroniona");
    fs::permissions(c / "KV" / "tylko.exe", fs::perms(0444));
    struct Przypadek {
        const char* opis;
        std::u16string zrodlo;
        std::u16string cel;
        bool bladGdyIstnieje;
    };
    const Przypadek przypadki[] = {
        {"target exists, fail-if-exists", u"C:\\zrodlo.exe", u"C:\\KV\\cel.exe", true},
        {"read-only target", u"C:\\zrodlo.exe", u"C:\\KV\\tylko.exe", false},
        {"target is a folder", u"C:\\zrodlo.exe", u"C:\\KV\\Folder", false},
        {"missing source", u"C:\\brak.exe", u"C:\\KV\\cel.exe", false},
        {"source is a folder", u"C:\\KV\\Folder", u"C:\\KV\\cel.exe", false},
        {"target folder missing", u"C:\\zrodlo.exe", u"C:\\KV\\Nie ma\\cel.exe", false},
        {"target on a missing drive", u"C:\\zrodlo.exe", u"D:\\cel.exe", false},
        {"source on a missing drive", u"D:\\zrodlo.exe", u"C:\\KV\\cel.exe", false},
        {"target names a folder", u"C:\\zrodlo.exe", u"C:\\KV\\", false},
    };
    for (const auto& pr : przypadki) {
        EXPECT_FALSE(pliki.KopiujPlik(pr.zrodlo, pr.cel, pr.bladGdyIstnieje)) << pr.opis;
        EXPECT_EQ(CzytajPlik(c / "KV" / "cel.exe"), "stara") << pr.opis;
        EXPECT_EQ(CzytajPlik(c / "KV" / "tylko.exe"), "chroniona") << pr.opis;
        EXPECT_EQ(Zawartosc(c / "KV"), (std::vector<std::string>{"Folder", "cel.exe", "tylko.exe"})) << pr.opis;
    }
    EXPECT_TRUE(pliki.KopiujPlik(u"C:\\zrodlo.exe", u"C:\\KV\\inny.exe", true));
    EXPECT_EQ(CzytajPlik(c / "KV" / "inny.exe"), "nowa");
}

TEST_F(SystemPlikowTest, KopiaNaTylkoDoOdczytuPoZdjeciuAtrybutow) {
    // What the installer does: clear the attributes, then copy.
    ZapiszPlik(c / "zrodlo.exe", "nowa");
    ZapiszPlik(c / "cel.exe", "stara");
    ASSERT_TRUE(pliki.UstawAtrybuty(u"C:\\cel.exe", ATRYBUT_TYLKO_DO_ODCZYTU));
    EXPECT_FALSE(pliki.KopiujPlik(u"C:\\zrodlo.exe", u"C:\\cel.exe", false));
    EXPECT_EQ(CzytajPlik(c / "cel.exe"), "stara");
    ASSERT_TRUE(pliki.UstawAtrybuty(u"C:\\cel.exe", 0));
    EXPECT_TRUE(pliki.KopiujPlik(u"C:\\zrodlo.exe", u"C:\\cel.exe", false));
    EXPECT_EQ(CzytajPlik(c / "cel.exe"), "nowa");
}

TEST_F(SystemPlikowTest, UsuniecieTylkoPliku) {
    fs::create_directories(c / "KV" / "Folder");
    ZapiszPlik(c / "KV" / "a.exe", "a");
    ZapiszPlik(c / "KV" / "tylko.exe", "t");
    fs::permissions(c / "KV" / "tylko.exe", fs::perms(0444));
    ZapiszPlik(c / "cel.exe", "c");
    fs::create_symlink(c / "cel.exe", c / "KV" / "link.exe");

    EXPECT_TRUE(pliki.UsunPlik(u"C:\\KV\\a.exe"));
    EXPECT_FALSE(fs::exists(c / "KV" / "a.exe"));
    EXPECT_FALSE(pliki.UsunPlik(u"C:\\KV\\a.exe"));
    EXPECT_FALSE(pliki.UsunPlik(u"C:\\KV\\Folder"));
    EXPECT_TRUE(fs::is_directory(c / "KV" / "Folder"));
    EXPECT_FALSE(pliki.UsunPlik(u"C:\\KV\\tylko.exe"));   // DeleteFileW refuses read-only files
    EXPECT_TRUE(fs::exists(c / "KV" / "tylko.exe"));
    EXPECT_TRUE(pliki.UsunPlik(u"C:\\KV\\link.exe"));     // the link goes, its target stays
    EXPECT_FALSE(fs::is_symlink(c / "KV" / "link.exe"));
    EXPECT_EQ(CzytajPlik(c / "cel.exe"), "c");
    EXPECT_FALSE(pliki.UsunPlik(u"D:\\cel.exe"));
}

TEST_F(SystemPlikowTest, UsuniecieTylkoPustegoFolderu) {
    fs::create_directories(c / "KV-Tek" / "Kavrostel8" / "Sterowniki");
    ZapiszPlik(c / "KV-Tek" / "Kavrostel8" / "_Aktualizacja.exe", "u");
    ZapiszPlik(c / "plik", "p");

    EXPECT_TRUE(pliki.UsunFolder(u"C:\\KV-Tek\\Kavrostel8\\Sterowniki"));
    EXPECT_FALSE(fs::exists(c / "KV-Tek" / "Kavrostel8" / "Sterowniki"));
    EXPECT_FALSE(pliki.UsunFolder(u"C:\\KV-Tek\\Kavrostel8"));
    EXPECT_FALSE(pliki.UsunFolder(u"C:\\KV-Tek"));
    EXPECT_EQ(CzytajPlik(c / "KV-Tek" / "Kavrostel8" / "_Aktualizacja.exe"), "u");
    EXPECT_FALSE(pliki.UsunFolder(u"C:\\plik"));
    EXPECT_TRUE(fs::exists(c / "plik"));
    EXPECT_FALSE(pliki.UsunFolder(u"C:\\Nie ma"));
    EXPECT_FALSE(pliki.UsunFolder(u"D:\\KV-Tek"));
}

TEST_F(SystemPlikowTest, KorzenPustegoDyskuZostaje) {
    fs::create_directories(p.katalog / "pusty");
    p.DodajDysk('e', p.katalog / "pusty");
    for (std::u16string korzen : {u"E:", u"E:\\", u"e:/", u"E:\\\\"}) {
        EXPECT_FALSE(pliki.UsunFolder(korzen)) << Utf8(korzen);
        EXPECT_TRUE(fs::is_directory(p.katalog / "pusty")) << Utf8(korzen);
    }
    EXPECT_FALSE(pliki.UsunFolder(u"\\"));
    EXPECT_TRUE(fs::is_directory(c));
}

TEST_F(SystemPlikowTest, PlikTymczasowyZatwierdzonyZastepujeCel) {
    Umaska maska(022);
    fs::create_directories(c / "KV");
    ZapiszPlik(c / "KV" / "_Kavrostel.exe", "stary program");
    std::u16string blad;
    auto plik = pliki.UtworzPlikTymczasowy(u"C:\\KV\\_Kavrostel.exe", blad);
    ASSERT_NE(plik, nullptr) << Utf8(blad);

    // While it is written the target keeps its old content, and the part lies
    // beside it under a hidden name.
    const auto wTrakcie = Zawartosc(c / "KV");
    ASSERT_EQ(wTrakcie.size(), 2u);
    EXPECT_EQ(wTrakcie[0].rfind("._Kavrostel.exe.", 0), 0u) << wTrakcie[0];
    EXPECT_EQ(wTrakcie[0].size(), std::string("._Kavrostel.exe.XXXXXX.czesc").size()) << wTrakcie[0];
    EXPECT_TRUE(wTrakcie[0].ends_with(".czesc")) << wTrakcie[0];

    ASSERT_TRUE(plik->Zapisz("MZ", 2, blad));
    ASSERT_TRUE(plik->Zapisz("", 0, blad));
    const std::string reszta(200000, 'k');
    ASSERT_TRUE(plik->Zapisz(reszta.data(), reszta.size(), blad));
    EXPECT_EQ(CzytajPlik(c / "KV" / "_Kavrostel.exe"), "stary program");
    ASSERT_TRUE(plik->Zatwierdz(blad)) << Utf8(blad);

    EXPECT_EQ(CzytajPlik(c / "KV" / "_Kavrostel.exe"), "MZ" + reszta);
    EXPECT_EQ(Tryb(c / "KV" / "_Kavrostel.exe"), 0644u);
    EXPECT_FALSE(plik->Zapisz("x", 1, blad));
    EXPECT_FALSE(plik->Zatwierdz(blad));
    plik.reset();
    EXPECT_EQ(Zawartosc(c / "KV"), std::vector<std::string>{"_Kavrostel.exe"});
    EXPECT_EQ(CzytajPlik(c / "KV" / "_Kavrostel.exe"), "MZ" + reszta);
}

TEST_F(SystemPlikowTest, PlikTymczasowyPorzuconyZnika) {
    fs::create_directories(c / "KV");
    ZapiszPlik(c / "KV" / "_Kavrostel.exe", "stary program");
    {
        std::u16string blad;
        auto plik = pliki.UtworzPlikTymczasowy(u"C:\\KV\\_Kavrostel.exe", blad);
        ASSERT_NE(plik, nullptr);
        ASSERT_TRUE(plik->Zapisz("polowa", 6, blad));
    }
    EXPECT_EQ(Zawartosc(c / "KV"), std::vector<std::string>{"_Kavrostel.exe"});
    EXPECT_EQ(CzytajPlik(c / "KV" / "_Kavrostel.exe"), "stary program");
    {
        std::u16string blad;
        auto plik = pliki.UtworzPlikTymczasowy(u"C:\\KV\\nowy.exe", blad);
        ASSERT_NE(plik, nullptr);
    }
    EXPECT_EQ(Zawartosc(c / "KV"), std::vector<std::string>{"_Kavrostel.exe"});
}

TEST_F(SystemPlikowTest, PlikTymczasowyNieudaneZatwierdzenieSprzata) {
    // The target is a folder that is not empty, so the rename must fail.
    fs::create_directories(c / "KV" / "cel.exe" / "w srodku");
    std::u16string blad;
    auto plik = pliki.UtworzPlikTymczasowy(u"C:\\KV\\cel.exe", blad);
    ASSERT_NE(plik, nullptr);
    ASSERT_TRUE(plik->Zapisz("abc", 3, blad));
    EXPECT_FALSE(plik->Zatwierdz(blad));
    EXPECT_FALSE(blad.empty());
    plik.reset();
    EXPECT_EQ(Zawartosc(c / "KV"), std::vector<std::string>{"cel.exe"});
    EXPECT_TRUE(fs::is_directory(c / "KV" / "cel.exe" / "w srodku"));
}

TEST_F(SystemPlikowTest, PlikTymczasowyNiePowstajeBezFolderu) {
    const std::u16string cele[] = {u"C:\\Nie ma\\_Kavrostel.exe", u"D:\\KV\\_Kavrostel.exe", u"_Kavrostel.exe",
                                   u"C:\\"};
    for (const auto& cel : cele) {
        std::u16string blad;
        EXPECT_EQ(pliki.UtworzPlikTymczasowy(cel, blad), nullptr) << Utf8(cel);
        EXPECT_FALSE(blad.empty()) << Utf8(cel);
    }
    EXPECT_EQ(Zawartosc(c), std::vector<std::string>{});
}

TEST_F(SystemPlikowTest, PlikTymczasowyDlaNajdluzszejNazwy) {
    // 250 bytes of name: the temporary name is cut to fit, and not in the
    // middle of a letter.
    fs::create_directories(c / "KV");
    std::u16string nazwa;
    for (int i = 0; i < 125; ++i) nazwa += u'ż';
    ASSERT_EQ(Utf8(nazwa).size(), 250u);
    std::u16string blad;
    auto plik = pliki.UtworzPlikTymczasowy(u"C:\\KV\\" + nazwa, blad);
    ASSERT_NE(plik, nullptr) << Utf8(blad);
    const auto wTrakcie = Zawartosc(c / "KV");
    ASSERT_EQ(wTrakcie.size(), 1u);
    EXPECT_LE(wTrakcie[0].size(), 255u);
    EXPECT_EQ(Utf8(Utf16(wTrakcie[0])), wTrakcie[0]);   // still valid UTF-8
    ASSERT_TRUE(plik->Zapisz("x", 1, blad));
    ASSERT_TRUE(plik->Zatwierdz(blad)) << Utf8(blad);
    EXPECT_EQ(Zawartosc(c / "KV"), std::vector<std::string>{Utf8(nazwa)});
}


// What a killed installer leaves is removed; a file being written, a file of
// another name, a link and a folder never are.
TEST_F(SystemPlikowTest, LeftoverTemporaryFilesGoAndNothingElse) {
    const fs::path kv = c / "KV";
    fs::create_directories(kv);
    ZapiszPlik(kv / "_Kavrostel.exe", "MZ zainstalowany");
    ZapiszPlik(kv / "._Kavrostel.exe.Ab12Z9.czesc", "pozostalosc");
    ZapiszPlik(kv / "._Kavrostel.exe.000000.czesc", "pozostalosc");
    const char* obce[] = {"._Kavrostel.exe.Ab12Z.czesc", "._Kavrostel.exe.Ab12Z99.czesc", "_Kavrostel.exe.Ab12Z9.czesc",
                          "._Inny.exe.Ab12Z9.czesc",     "._Kavrostel.exe.Ab-2Z9.czesc", "._Kavrostel.exe.Ab12Z9.czesc.x"};
    for (const char* nazwa : obce) ZapiszPlik(kv / nazwa, "obcy");
    ZapiszPlik(c / "cel-linku", "nie ruszac");
    fs::create_symlink(c / "cel-linku", kv / "._Kavrostel.exe.LINK01.czesc");
    fs::create_directory(kv / "._Kavrostel.exe.FOLDER.czesc");
    std::u16string blad;
    auto piszacy = pliki.UtworzPlikTymczasowy(u"C:\\KV\\_Kavrostel.exe", blad);
    ASSERT_NE(piszacy, nullptr) << Utf8(blad);
    ASSERT_TRUE(piszacy->Zapisz("w toku", 6, blad));

    EXPECT_EQ(pliki.UsunPozostaleTymczasowe(u"C:\\KV\\_Kavrostel.exe"), 2);

    EXPECT_FALSE(fs::exists(kv / "._Kavrostel.exe.Ab12Z9.czesc"));
    EXPECT_FALSE(fs::exists(kv / "._Kavrostel.exe.000000.czesc"));
    for (const char* nazwa : obce) EXPECT_TRUE(fs::exists(kv / nazwa)) << nazwa;
    EXPECT_TRUE(fs::is_symlink(kv / "._Kavrostel.exe.LINK01.czesc"));
    EXPECT_EQ(CzytajPlik(c / "cel-linku"), "nie ruszac");
    EXPECT_TRUE(fs::is_directory(kv / "._Kavrostel.exe.FOLDER.czesc"));
    EXPECT_EQ(CzytajPlik(kv / "_Kavrostel.exe"), "MZ zainstalowany");
    // The one being written survives and still becomes the program.
    ASSERT_TRUE(piszacy->Zatwierdz(blad)) << Utf8(blad);
    EXPECT_EQ(CzytajPlik(kv / "_Kavrostel.exe"), "w toku");
}
