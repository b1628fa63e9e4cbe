// The installation steps on the Windows API itself: real folders, files,
// COM links and WinHTTP against the fault-injecting server (KV_SERWER_AWARII).
#include <gtest/gtest.h>

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <algorithm>

#include "Atrapy.h"
#include "Deinstalacja.h"
#include "Instalacja.h"
#include "PlatformaWin32.h"
#include "PlikProgramu.h"
#include "KluczTestowy.h"
#include "SerwerAwarii.h"
#include "Win32Testy.h"

using namespace testy_win32;

namespace {

const std::u16string kNieudane = u"Nieudane pobranie pliku: ";
const std::u16string kOstrzezenie =
    u" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";

bool PodWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The target of a link, read through the shell's own object.
std::u16string CelSkrotu(const std::u16string& plik) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return u"<brak obiektu>";
    IPersistFile* trwaly = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&trwaly));
    std::u16string cel = u"<nie wczytany>";
    if (trwaly && SUCCEEDED(trwaly->Load(W(plik), STGM_READ))) {
        wchar_t b[1024] = {};
        link->GetPath(b, 1024, nullptr, SLGP_RAWPATH);
        cel = U(b);
    }
    if (trwaly) trwaly->Release();
    link->Release();
    return cel;
}

// The page is a fake; the disk, the links and the network are the system's.
class SilnikWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(serwer.Dziala()) << serwer.Blad();
        kontekst.FolderInstalatora = folder / u"Instalator";
        kontekst.FolderPulpitu = folder / u"Pulpit";
        kontekst.FolderMenuProgramy = folder / u"Programy";
        kontekst.DyskInstalacji = folder / u"Dysk";
        kontekst.FolderInstalacji = kontekst.DyskInstalacji + u"\\KV-Tek\\Kavrostel8";
        for (auto f : {kontekst.FolderInstalatora, kontekst.FolderInstalatora + u"\\Program", kontekst.FolderPulpitu,
                       kontekst.FolderMenuProgramy, kontekst.DyskInstalacji})
            CreateDirectoryW(W(f), nullptr);
        ZapiszPlik(kontekst.FolderInstalatora + u"\\Program\\_Aktualizacja.exe", "MZ aktualizacja");
    }

    Srodowisko S(const std::string& scenariusz = "ok-70000") {
        return Srodowisko{kontekst, strona, *pliki, powloka, *skroty, *http, serwer.Adres(scenariusz)};
    }

    std::u16string Instalacja() const { return kontekst.FolderInstalacji; }
    std::u16string Program() const { return kontekst.FolderInstalacji + u"\\_Kavrostel.exe"; }

    // A finished installation as the installer leaves it, with the database
    // engine's installer that the program puts below it.
    void Zainstalowana() {
        auto s = S();
        BBInstalClick(s);
        ASSERT_TRUE(strona.koniecWidoczny);
        CreateDirectoryW(W(Instalacja() + u"\\Sterowniki"), nullptr);
        CreateDirectoryW(W(Instalacja() + u"\\Sterowniki\\BDE"), nullptr);
        ZapiszPlik(Instalacja() + u"\\Sterowniki\\BDE\\setup.exe", "MZ bde");
        strona.informacje.clear();
    }

    FolderTestu folder;
    SerwerAwarii serwer;
    KontekstInstalacji kontekst = KontekstPoAkceptacji();
    AtrapaStrony strona;
    AtrapaPowloki powloka;
    std::unique_ptr<platforma::ISystemPlikow> pliki = platforma::UtworzSystemPlikowWin32();
    std::unique_ptr<platforma::IFabrykaSkrotow> skroty = platforma::UtworzFabrykeSkrotowWin32();
    std::unique_ptr<IKlientHttp> prawdziwy = UtworzKlientaHttp();
    // The fault server signs with the test key.
    std::unique_ptr<IKlientHttp> http = std::make_unique<KlientTestowy>(*prawdziwy);
};

TEST_F(SilnikWin32, PreparationCreatesTheFoldersOneLevelEachAndStoresTheProgram) {
    auto s = S();
    ASSERT_TRUE(PrzygotujPlikProgramu(s)) << U8(strona.komunikatySystemowe.empty() ? u"" : strona.komunikatySystemowe[0]);
    EXPECT_EQ(kontekst.FolderInstalacji, kontekst.DyskInstalacji + u"\\KV-Tek\\Kavrostel8");
    EXPECT_EQ(CzytajPlik(Program()), TrescWzorcowa(70000));
    EXPECT_EQ(LiczbaWpisow(Instalacja()), 1);
    EXPECT_TRUE(strona.informacje.empty());

    // Once more: the notice first, then the file is replaced.
    ZapiszPlik(Program(), "MZ stara wersja");
    auto s2 = S("ok-1234");
    ASSERT_TRUE(PrzygotujPlikProgramu(s2));
    ASSERT_EQ(strona.informacje.size(), 1u);
    EXPECT_EQ(strona.informacje[0].second, Program() + u"\r" + u"zostanie zastąpiony nową wersją.");
    EXPECT_EQ(CzytajPlik(Program()), TrescWzorcowa(1234));
    EXPECT_EQ(LiczbaWpisow(Instalacja()), 1);
}

TEST_F(SilnikWin32, ADriveTextWithAMissingParentCreatesNothingAndTheFetchFails) {
    kontekst.DyskInstalacji = folder / u"brak\\Dysk";
    auto s = S();
    EXPECT_FALSE(PrzygotujPlikProgramu(s));
    EXPECT_FALSE(Jest(folder / u"brak"));
    ASSERT_EQ(strona.komunikatySystemowe.size(), 1u);
    const auto& pokazany = strona.komunikatySystemowe[0];
    EXPECT_EQ(U8(pokazany.substr(0, kNieudane.size())), U8(kNieudane));
    EXPECT_GT(pokazany.size(), kNieudane.size()) << "the system's text follows";
}

TEST_F(SilnikWin32, AFailedFetchKeepsTheInstalledProgram) {
    CreateDirectoryW(W(kontekst.DyskInstalacji + u"\\KV-Tek"), nullptr);
    CreateDirectoryW(W(Instalacja()), nullptr);
    ZapiszPlik(Program(), "MZ stara wersja");
    for (const char* scenariusz : {"status-404", "reset-100000", "short-5000"}) {
        SCOPED_TRACE(scenariusz);
        strona.komunikatySystemowe.clear();
        auto s = S(scenariusz);
        EXPECT_FALSE(PrzygotujPlikProgramu(s));
        EXPECT_EQ(strona.komunikatySystemowe.size(), 1u);
        EXPECT_EQ(CzytajPlik(Program()), "MZ stara wersja");
        EXPECT_EQ(LiczbaWpisow(Instalacja()), 1) << "no temporary file left";
    }
}

TEST_F(SilnikWin32, InstallationWritesTheProgramTheUpdaterAndBothLinks) {
    Zainstalowana();
    EXPECT_EQ(CzytajPlik(Program()), TrescWzorcowa(70000));
    EXPECT_EQ(CzytajPlik(Instalacja() + u"\\_Aktualizacja.exe"), "MZ aktualizacja");
    const auto pulpit = kontekst.FolderPulpitu + u"\\_Kavrostel 8.lnk";
    const auto menu = kontekst.FolderMenuProgramy + u"\\Orveliane\\_Kavrostel 8.lnk";
    EXPECT_EQ(U8(CelSkrotu(pulpit)), U8(Program()));
    EXPECT_EQ(U8(CelSkrotu(menu)), U8(Program()));
    EXPECT_EQ(strona.tytul, u"Instalacja zakończona pomyślnie");
    EXPECT_TRUE(strona.deinstalacjaWlaczona);
}

TEST_F(SilnikWin32, RemovalTakesEveryFileByNameAndTheEmptiedFolders) {
    Zainstalowana();
    auto s = S();
    BBDeinstalClick(s);
    EXPECT_TRUE(strona.informacje.empty());
    EXPECT_EQ(LiczbaWpisow(kontekst.FolderPulpitu), 0);
    EXPECT_EQ(LiczbaWpisow(kontekst.FolderMenuProgramy), 0) << "the Orveliane group went with its link";
    EXPECT_EQ(LiczbaWpisow(kontekst.DyskInstalacji), 0) << "KV-Tek went with the installation";
    // The caption, then (from the completion view) the page made ready anew.
    EXPECT_NE(std::find(strona.tytuly.begin(), strona.tytuly.end(), u"Usunięcie programu zakończone pomyślnie"),
              strona.tytuly.end());
    EXPECT_EQ(strona.akceptacje, 1);
    EXPECT_FALSE(strona.koniecWidoczny);
}

TEST_F(SilnikWin32, RemovalWarnsAboutTheFolderThatKeepsFilesOfItsOwn) {
    struct {
        const char* nazwa;
        std::u16string obcy;            // a file or folder made after the installation
        std::u16string nazwanyFolder;   // the folder the warning names
        bool instalacjaZostaje;
    } przypadki[] = {
        {"user's file in the installation", u"\\KV-Tek\\Kavrostel8\\notatki.txt", u"\\KV-Tek\\Kavrostel8", true},
        {"user's folder in the installation", u"\\KV-Tek\\Kavrostel8\\Projekty\\", u"\\KV-Tek\\Kavrostel8", true},
        {"another product in the suite", u"\\KV-Tek\\Inny\\", u"\\KV-Tek", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        UsunDrzewo(kontekst.DyskInstalacji + u"\\KV-Tek");
        strona = AtrapaStrony{};
        Zainstalowana();
        std::u16string obcy = kontekst.DyskInstalacji + p.obcy;
        if (obcy.back() == u'\\') {
            obcy.pop_back();
            CreateDirectoryW(W(obcy), nullptr);
        } else {
            ZapiszPlik(obcy, "użytkownika");
        }

        auto s = S();
        BBDeinstalClick(s);
        ASSERT_EQ(strona.informacje.size(), 1u);
        EXPECT_EQ(strona.informacje[0].first, u"Uwaga!");
        EXPECT_EQ(U8(strona.informacje[0].second), U8(u"\"" + kontekst.DyskInstalacji + p.nazwanyFolder + u"\"" + kOstrzezenie));
        EXPECT_TRUE(Jest(obcy));
        EXPECT_FALSE(Jest(Program()));
        EXPECT_FALSE(Jest(Instalacja() + u"\\Sterowniki"));
        EXPECT_EQ(Jest(Instalacja()), p.instalacjaZostaje);
        EXPECT_NE(std::find(strona.tytuly.begin(), strona.tytuly.end(), u"Usunięcie programu zakończone pomyślnie"),
                  strona.tytuly.end());
    }
}

TEST_F(SilnikWin32, RemovalLeavesOtherProgramsLinksInTheStartMenuGroup) {
    Zainstalowana();
    const auto inny = kontekst.FolderMenuProgramy + u"\\Orveliane\\Inny program.lnk";
    ZapiszPlik(inny, "link");
    auto s = S();
    BBDeinstalClick(s);
    EXPECT_TRUE(Jest(inny));
    EXPECT_FALSE(Jest(kontekst.FolderMenuProgramy + u"\\Orveliane\\_Kavrostel 8.lnk"));
    EXPECT_TRUE(strona.informacje.empty());
}

// The default place on the default drive and the user's own folders, as the
// system names them: done only in Wine's throw-away prefix, never on a real C:.
TEST_F(SilnikWin32, InstallAndRemoveAtTheDefaultPlaceOfAThrowAwayWinePrefix) {
    if (!PodWine()) GTEST_SKIP() << "writes to C:\\KV-Tek; run only in a throw-away Wine prefix";
    auto powlokaSystemu = platforma::UtworzPowlokeWin32();
    kontekst.FolderPulpitu = powlokaSystemu->FolderSpecjalny(platforma::CSIDL_PULPIT);
    kontekst.FolderMenuProgramy = powlokaSystemu->FolderSpecjalny(platforma::CSIDL_PROGRAMY);
    kontekst.DyskInstalacji = u"C:";
    kontekst.FolderInstalacji = u"C:";  // as the acceptance of the licence leaves it
    ASSERT_FALSE(Jest(u"C:\\KV-Tek")) << "left over from an earlier run";

    auto s = S();
    BBInstalClick(s);
    ASSERT_TRUE(strona.koniecWidoczny) << (strona.komunikatySystemowe.empty() ? "" : U8(strona.komunikatySystemowe[0]));
    EXPECT_EQ(U8(kontekst.FolderInstalacji), "C:\\KV-Tek\\Kavrostel8");
    EXPECT_EQ(CzytajPlik(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"), TrescWzorcowa(70000));
    const auto pulpit = kontekst.FolderPulpitu + u"\\_Kavrostel 8.lnk";
    const auto menu = kontekst.FolderMenuProgramy + u"\\Orveliane\\_Kavrostel 8.lnk";
    EXPECT_EQ(U8(CelSkrotu(pulpit)), "C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
    EXPECT_EQ(U8(CelSkrotu(menu)), "C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");

    BBDeinstalClick(s);
    EXPECT_TRUE(strona.informacje.empty());
    EXPECT_FALSE(Jest(pulpit));
    EXPECT_FALSE(Jest(kontekst.FolderMenuProgramy + u"\\Orveliane"));
    EXPECT_FALSE(Jest(u"C:\\KV-Tek"));
    UsunDrzewo(u"C:\\KV-Tek");
}

}  // namespace
