// The Windows file operations behind ISystemPlikow, on the real Windows API.
#include <gtest/gtest.h>

#include <thread>

#include "PlatformaWin32.h"
#include "Win32Testy.h"

using namespace testy_win32;

namespace {

class PlikiWin32 : public ::testing::Test {
protected:
    std::unique_ptr<platforma::ISystemPlikow> pliki = platforma::UtworzSystemPlikowWin32();
    FolderTestu folder;
};

TEST_F(PlikiWin32, ExistenceTellsFilesFromFolders) {
    ZapiszPlik(folder / u"plik.txt", "x");
    ZapiszPlik(folder / u"Żółć ąę.exe", "y");
    CreateDirectoryW(W(folder / u"Podfolder"), nullptr);
    struct Przypadek {
        std::u16string sciezka;
        bool plik;
        bool katalog;
    } przypadki[] = {
        {folder / u"plik.txt", true, false},
        {folder / u"PLIK.TXT", true, false},  // names compare without case
        {folder / u"Żółć ąę.exe", true, false},
        {folder / u"Podfolder", false, true},
        {folder / u"Podfolder\\", false, true},
        {folder.Sciezka() + u"/Podfolder", false, true},
        {folder / u"brak.txt", false, false},
        {folder / u"brak\\plik.txt", false, false},
        {u"", false, false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(std::string(p.sciezka.begin(), p.sciezka.end()));
        EXPECT_EQ(pliki->PlikIstnieje(p.sciezka), p.plik);
        EXPECT_EQ(pliki->FolderIstnieje(p.sciezka), p.katalog);
    }
}

// A symbolic link counts as what it points to; a dangling one as nothing.
TEST_F(PlikiWin32, ExistenceFollowsSymbolicLinks) {
    ZapiszPlik(folder / u"cel.exe", "x");
    CreateDirectoryW(W(folder / u"Folder"), nullptr);
    constexpr DWORD kBezUprawnien = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    CreateSymbolicLinkW(W(folder / u"do-pliku.exe"), W(folder / u"cel.exe"), kBezUprawnien);
    CreateSymbolicLinkW(W(folder / u"do-folderu"), W(folder / u"Folder"), SYMBOLIC_LINK_FLAG_DIRECTORY | kBezUprawnien);
    CreateSymbolicLinkW(W(folder / u"wiszacy.exe"), W(folder / u"brak.exe"), kBezUprawnien);
    if (!Jest(folder / u"do-pliku.exe") || !Jest(folder / u"do-folderu")) {
        GTEST_SKIP() << "this system makes no symbolic links here (Wine's CreateSymbolicLinkW does nothing)";
    }
    EXPECT_TRUE(pliki->PlikIstnieje(folder / u"do-pliku.exe"));
    EXPECT_FALSE(pliki->FolderIstnieje(folder / u"do-pliku.exe"));
    EXPECT_TRUE(pliki->FolderIstnieje(folder / u"do-folderu"));
    EXPECT_FALSE(pliki->PlikIstnieje(folder / u"do-folderu"));
    EXPECT_FALSE(pliki->PlikIstnieje(folder / u"wiszacy.exe"));
    EXPECT_FALSE(pliki->FolderIstnieje(folder / u"wiszacy.exe"));
}

TEST_F(PlikiWin32, FolderCreationMakesOneLevelOnly) {
    EXPECT_FALSE(pliki->UtworzFolder(folder / u"a\\b"));
    EXPECT_FALSE(Jest(folder / u"a"));

    EXPECT_TRUE(pliki->UtworzFolder(folder / u"a"));
    EXPECT_TRUE(pliki->FolderIstnieje(folder / u"a"));
    EXPECT_FALSE(pliki->UtworzFolder(folder / u"a"));  // already there
    EXPECT_TRUE(pliki->UtworzFolder(folder / u"a\\b"));
    EXPECT_TRUE(pliki->FolderIstnieje(folder / u"a\\b"));
}

TEST_F(PlikiWin32, CopyReplacesAReadOnlyTargetOnlyAfterItsAttributesAreCleared) {
    const auto zrodlo = folder / u"nowy.exe";
    const auto cel = folder / u"_Aktualizacja.exe";
    ZapiszPlik(zrodlo, "nowa wersja");
    ZapiszPlik(cel, "stara");
    ASSERT_TRUE(pliki->UstawAtrybuty(cel, platforma::ATRYBUT_TYLKO_DO_ODCZYTU | platforma::ATRYBUT_UKRYTY));
    EXPECT_EQ(Atrybuty(cel) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});

    // On Windows a read-only target is not overwritten... Wine keeps the
    // attribute as missing write bits, which do not stop root, so there the
    // refusal is only checked when the system refuses writing at all.
    HANDLE zapis = CreateFileW(W(cel), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (zapis == INVALID_HANDLE_VALUE) {
        EXPECT_FALSE(pliki->KopiujPlik(zrodlo, cel, false));
        EXPECT_EQ(CzytajPlik(cel), "stara");
    } else {
        CloseHandle(zapis);
    }

    // ...until the installer clears its attributes.
    ASSERT_TRUE(pliki->UstawAtrybuty(cel, 0));
    EXPECT_EQ(Atrybuty(cel) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_TRUE(pliki->KopiujPlik(zrodlo, cel, false));
    EXPECT_EQ(CzytajPlik(cel), "nowa wersja");
    EXPECT_EQ(CzytajPlik(zrodlo), "nowa wersja");
}

TEST_F(PlikiWin32, CopyFailsForAMissingSourceOrAnExistingTargetWhenAskedTo) {
    ZapiszPlik(folder / u"a", "A");
    ZapiszPlik(folder / u"b", "B");
    EXPECT_FALSE(pliki->KopiujPlik(folder / u"a", folder / u"b", true));
    EXPECT_EQ(CzytajPlik(folder / u"b"), "B");
    EXPECT_FALSE(pliki->KopiujPlik(folder / u"brak", folder / u"c", false));
    EXPECT_FALSE(Jest(folder / u"c"));
    EXPECT_FALSE(pliki->KopiujPlik(folder / u"a", folder / u"brak\\c", false));
}

// Folders and files deeper than MAX_PATH: every operation reaches them, and
// a path is never cut into another one.
TEST_F(PlikiWin32, PathsLongerThanMaxPathAreHandledWhole) {
    std::u16string gleboki = folder.Sciezka();
    while (gleboki.size() < 300) {
        gleboki += u"\\Folder-o-dlugiej-nazwie-numer-" + std::u16string(1, u'a' + gleboki.size() % 26);
        ASSERT_TRUE(pliki->UtworzFolder(gleboki)) << gleboki.size();
    }
    ZapiszPlik(folder / u"krotki.exe", "program");
    const std::u16string dlugi = gleboki + u"\\_Kavrostel.exe";
    EXPECT_TRUE(pliki->KopiujPlik(folder / u"krotki.exe", dlugi, false));
    EXPECT_TRUE(pliki->PlikIstnieje(dlugi));
    EXPECT_TRUE(pliki->FolderIstnieje(gleboki));
    EXPECT_TRUE(pliki->UstawAtrybuty(dlugi, 0));
    EXPECT_TRUE(pliki->KopiujPlik(dlugi, folder / u"z-powrotem.exe", false));
    EXPECT_EQ(CzytajPlik(folder / u"z-powrotem.exe"), "program");

    std::u16string blad;
    auto tymczasowy = pliki->UtworzPlikTymczasowy(dlugi, blad);
    ASSERT_NE(tymczasowy, nullptr) << std::string(blad.begin(), blad.end());
    ASSERT_TRUE(tymczasowy->Zapisz("nowy", 4, blad));
    ASSERT_TRUE(tymczasowy->Zatwierdz(blad));
    EXPECT_TRUE(pliki->KopiujPlik(dlugi, folder / u"z-powrotem.exe", false));
    EXPECT_EQ(CzytajPlik(folder / u"z-powrotem.exe"), "nowy");

    EXPECT_TRUE(pliki->UsunPlik(dlugi));
    EXPECT_FALSE(pliki->PlikIstnieje(dlugi));
    EXPECT_TRUE(pliki->UsunFolder(gleboki));
    EXPECT_FALSE(pliki->FolderIstnieje(gleboki));
}

TEST_F(PlikiWin32, DeletionRemovesFilesButNeverFolders) {
    ZapiszPlik(folder / u"plik.exe", "x");
    CreateDirectoryW(W(folder / u"folder"), nullptr);
    EXPECT_TRUE(pliki->UsunPlik(folder / u"plik.exe"));
    EXPECT_FALSE(Jest(folder / u"plik.exe"));
    EXPECT_FALSE(pliki->UsunPlik(folder / u"plik.exe"));
    EXPECT_FALSE(pliki->UsunPlik(folder / u"folder"));
    EXPECT_TRUE(Jest(folder / u"folder"));
}

TEST_F(PlikiWin32, FolderRemovalTakesOnlyEmptyFolders) {
    CreateDirectoryW(W(folder / u"pusty"), nullptr);
    CreateDirectoryW(W(folder / u"pelny"), nullptr);
    ZapiszPlik(folder / u"pelny\\setup.exe", "x");
    CreateDirectoryW(W(folder / u"zpodfolderem"), nullptr);
    CreateDirectoryW(W(folder / u"zpodfolderem\\BDE"), nullptr);

    EXPECT_TRUE(pliki->UsunFolder(folder / u"pusty"));
    EXPECT_FALSE(Jest(folder / u"pusty"));
    EXPECT_FALSE(pliki->UsunFolder(folder / u"pelny"));
    EXPECT_EQ(CzytajPlik(folder / u"pelny\\setup.exe"), "x");
    EXPECT_FALSE(pliki->UsunFolder(folder / u"zpodfolderem"));
    EXPECT_TRUE(Jest(folder / u"zpodfolderem\\BDE"));
    EXPECT_FALSE(pliki->UsunFolder(folder / u"brak"));
    ZapiszPlik(folder / u"plik", "x");
    EXPECT_FALSE(pliki->UsunFolder(folder / u"plik"));
    EXPECT_TRUE(Jest(folder / u"plik"));
}

// The temporary file of a download.

TEST_F(PlikiWin32, CommittedTemporaryFileReplacesTheTargetAndLeavesNothingElse) {
    const auto cel = folder / u"_Kavrostel.exe";
    ZapiszPlik(cel, "stary program");
    std::string duzy(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < duzy.size(); ++i) {
        duzy[i] = static_cast<char>(i * 7 + i / 4096);
    }
    std::u16string blad;
    auto plik = pliki->UtworzPlikTymczasowy(cel, blad);
    ASSERT_NE(plik, nullptr) << std::string(blad.begin(), blad.end());
    ASSERT_TRUE(plik->Zapisz(duzy.data(), 1000, blad));
    ASSERT_TRUE(plik->Zapisz(duzy.data() + 1000, duzy.size() - 1000, blad));
    EXPECT_EQ(CzytajPlik(cel), "stary program");  // nothing changes before the commit
    ASSERT_TRUE(plik->Zatwierdz(blad));
    plik.reset();
    EXPECT_EQ(CzytajPlik(cel), duzy);
    EXPECT_EQ(LiczbaWpisow(folder.Sciezka()), 1);
}

TEST_F(PlikiWin32, AbandonedTemporaryFileLeavesTheTargetAndTheFolderAsTheyWere) {
    const auto cel = folder / u"_Kavrostel.exe";
    ZapiszPlik(cel, "stary program");
    std::u16string blad;
    auto plik = pliki->UtworzPlikTymczasowy(cel, blad);
    ASSERT_NE(plik, nullptr);
    ASSERT_TRUE(plik->Zapisz("polowa", 6, blad));
    EXPECT_EQ(LiczbaWpisow(folder.Sciezka()), 2);
    plik.reset();
    EXPECT_EQ(CzytajPlik(cel), "stary program");
    EXPECT_EQ(LiczbaWpisow(folder.Sciezka()), 1);

    // Without any target yet, nothing appears either.
    auto nowy = pliki->UtworzPlikTymczasowy(folder / u"nowy.exe", blad);
    ASSERT_NE(nowy, nullptr);
    nowy.reset();
    EXPECT_FALSE(Jest(folder / u"nowy.exe"));
    EXPECT_EQ(LiczbaWpisow(folder.Sciezka()), 1);
}

TEST_F(PlikiWin32, TemporaryFileInAMissingFolderIsRefusedWithTheSystemsText) {
    std::u16string blad;
    auto plik = pliki->UtworzPlikTymczasowy(folder / u"brak\\_Kavrostel.exe", blad);
    EXPECT_EQ(plik, nullptr);
    EXPECT_FALSE(blad.empty());
    EXPECT_FALSE(Jest(folder / u"brak"));
}

// A virus scanner holds a new file for a moment: the commit waits for it.
TEST_F(PlikiWin32, CommitWaitsBrieflyForATargetHeldOpenByAnotherProgram) {
    const auto cel = folder / u"_Kavrostel.exe";
    ZapiszPlik(cel, "stary");
    HANDLE trzymany = CreateFileW(W(cel), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(trzymany, INVALID_HANDLE_VALUE);

    std::u16string blad;
    auto plik = pliki->UtworzPlikTymczasowy(cel, blad);
    ASSERT_NE(plik, nullptr);
    ASSERT_TRUE(plik->Zapisz("nowy", 4, blad));
    std::thread zwolnienie([trzymany] {
        Sleep(150);
        CloseHandle(trzymany);
    });
    bool zatwierdzony = plik->Zatwierdz(blad);
    zwolnienie.join();
    EXPECT_TRUE(zatwierdzony) << std::string(blad.begin(), blad.end());
    plik.reset();
    EXPECT_EQ(CzytajPlik(cel), "nowy");
    EXPECT_EQ(LiczbaWpisow(folder.Sciezka()), 1);
}

TEST_F(PlikiWin32, CommitGivesUpOnATargetThatStaysLockedAndKeepsIt) {
    auto krotko = platforma::UtworzSystemPlikowWin32(platforma::PonawianieZamiany{3, 20});
    const auto cel = folder / u"_Kavrostel.exe";
    ZapiszPlik(cel, "stary");
    HANDLE trzymany = CreateFileW(W(cel), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(trzymany, INVALID_HANDLE_VALUE);

    std::u16string blad;
    auto plik = krotko->UtworzPlikTymczasowy(cel, blad);
    ASSERT_NE(plik, nullptr);
    ASSERT_TRUE(plik->Zapisz("nowy", 4, blad));
    DWORD poczatek = GetTickCount();
    EXPECT_FALSE(plik->Zatwierdz(blad));
    DWORD trwalo = GetTickCount() - poczatek;
    EXPECT_FALSE(blad.empty());
    EXPECT_GE(trwalo, 30u);  // two waits of 20 ms between three tries
    plik.reset();
    CloseHandle(trzymany);
    EXPECT_EQ(CzytajPlik(cel), "stary");
    EXPECT_EQ(LiczbaWpisow(folder.Sciezka()), 1);
}

// What a killed installer left beside the program goes; the file another
// installer is writing, and files of other names, stay.
TEST_F(PlikiWin32, LeftoverTemporaryFilesGoAndNothingElse) {
    const std::u16string cel = folder / u"_Kavrostel.exe";
    ZapiszPlik(cel, "MZ zainstalowany");
    ZapiszPlik(cel + u".1a2b-0.czesc", "pozostalosc");
    ZapiszPlik(cel + u".ff-12.czesc", "pozostalosc");
    const std::u16string obce[] = {cel + u".1a2b.czesc", cel + u".1a2g-0.czesc", cel + u".1a2b-0.czesc.x",
                                   cel + u"x.1a2b-0.czesc", cel + u".123456789-0.czesc", folder / u"notatki.czesc"};
    for (const auto& nazwa : obce) ZapiszPlik(nazwa, "obcy");
    CreateDirectoryW(W(cel + u".aa-1.czesc"), nullptr);
    std::u16string blad;
    auto piszacy = pliki->UtworzPlikTymczasowy(cel, blad);
    ASSERT_NE(piszacy, nullptr);
    ASSERT_TRUE(piszacy->Zapisz("w toku", 6, blad));

    EXPECT_EQ(pliki->UsunPozostaleTymczasowe(cel), 2);

    EXPECT_FALSE(Jest(cel + u".1a2b-0.czesc"));
    EXPECT_FALSE(Jest(cel + u".ff-12.czesc"));
    for (const auto& nazwa : obce) EXPECT_TRUE(Jest(nazwa)) << std::string(nazwa.begin(), nazwa.end());
    EXPECT_TRUE(pliki->FolderIstnieje(cel + u".aa-1.czesc"));
    ASSERT_TRUE(piszacy->Zatwierdz(blad));
    EXPECT_EQ(CzytajPlik(cel), "w toku") << "the file being written survived";
}

}  // namespace
