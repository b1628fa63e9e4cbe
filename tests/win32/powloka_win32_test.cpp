// The shell behind IPowloka on the Windows API: special folders, the running
// program's path, starting programs.
#include <gtest/gtest.h>

#include "PlatformaWin32.h"
#include "Win32Testy.h"
#include "platform/Sciezki.h"

using namespace testy_win32;

namespace {

std::string A(const std::u16string& s) {
    std::string w;
    for (char16_t z : s) w += z < 128 ? static_cast<char>(z) : '?';
    return w;
}

bool KonczySie(const std::u16string& s, const std::u16string& koncowka) {
    return s.size() >= koncowka.size() && s.compare(s.size() - koncowka.size(), koncowka.size(), koncowka) == 0;
}

// Waits up to 20 s for the mark of kv_znacznik; its content as UTF-16.
std::u16string CzekajNaZnak(const std::u16string& program) {
    std::u16string znak = program + u".znak";
    if (znak.size() >= MAX_PATH) znak = u"\\\\?\\" + znak;
    for (int i = 0; i < 400; ++i) {
        std::string tresc = CzytajPlik(znak);
        if (tresc != "<brak>" && !tresc.empty()) {
            return std::u16string(reinterpret_cast<const char16_t*>(tresc.data()), tresc.size() / 2);
        }
        Sleep(50);
    }
    return u"<brak znaku>";
}

class PowlokaWin32 : public ::testing::Test {
protected:
    std::unique_ptr<platforma::IPowloka> powloka = platforma::UtworzPowlokeWin32();
    std::unique_ptr<platforma::ISystemPlikow> pliki = platforma::UtworzSystemPlikowWin32();
    FolderTestu folder;

    // kv_znacznik.exe, built next to this test.
    std::u16string Znacznik() { return platforma::FolderPliku(powloka->SciezkaProgramu()) + u"\\kv_znacznik.exe"; }
};

TEST_F(PowlokaWin32, SpecialFoldersAreTheUsersDesktopAndProgramsFolder) {
    struct {
        int csidl;
        std::u16string koncowka;
    } przypadki[] = {
        {platforma::CSIDL_PULPIT, u"\\Desktop"},
        {platforma::CSIDL_PROGRAMY, u"\\Start Menu\\Programs"},
    };
    for (const auto& p : przypadki) {
        std::u16string f = powloka->FolderSpecjalny(p.csidl);
        SCOPED_TRACE(A(f));
        EXPECT_TRUE(KonczySie(f, p.koncowka));
        EXPECT_LT(f.size(), 260u);
        EXPECT_EQ(f.find(u'\0'), std::u16string::npos);
        EXPECT_EQ(f[1], u':');
        EXPECT_TRUE(pliki->FolderIstnieje(f));
    }
}

// The recycle bin is a folder without a path; 0xFF names no folder at all.
TEST_F(PowlokaWin32, AFolderWithoutAPathIsEmpty) {
    EXPECT_EQ(powloka->FolderSpecjalny(0x000A), u"");
    EXPECT_EQ(powloka->FolderSpecjalny(0x00FF), u"");
}

TEST_F(PowlokaWin32, TheProgramPathIsTheRunningFile) {
    std::u16string sciezka = powloka->SciezkaProgramu();
    SCOPED_TRACE(A(sciezka));
    EXPECT_TRUE(KonczySie(sciezka, u"\\powloka_win32_test.exe"));
    EXPECT_TRUE(pliki->PlikIstnieje(sciezka));
    wchar_t bufor[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, bufor, MAX_PATH);
    EXPECT_EQ(sciezka, std::u16string(reinterpret_cast<const char16_t*>(bufor), n));
}

TEST_F(PowlokaWin32, AStartedProgramRunsOnItsOwnAndAMissingOneIsIgnored) {
    ASSERT_TRUE(pliki->UtworzFolder(folder / u"Zażółć"));
    const auto program = folder / u"Zażółć\\_Kavrostel.exe";
    ASSERT_TRUE(CopyFileW(W(Znacznik()), W(program), FALSE)) << A(Znacznik());

    powloka->UruchomProgram(program);
    EXPECT_EQ(A(CzekajNaZnak(program)), A(program));

    // Nothing is reported and nothing is raised for a missing program.
    powloka->UruchomProgram(folder / u"brak.exe");
}

// The owner window is asked for at each start, not when the shell is made:
// the installer's main window exists only later.
TEST_F(PowlokaWin32, TheOwnerWindowIsAskedForWhenAProgramStarts) {
    int zapytania = 0;
    auto zWlascicielem = platforma::UtworzPowlokeWin32([&zapytania] {
        ++zapytania;
        return static_cast<HWND>(nullptr);
    });
    EXPECT_EQ(zapytania, 0);
    const auto program = folder / u"_Kavrostel.exe";
    ASSERT_TRUE(CopyFileW(W(Znacznik()), W(program), FALSE));
    zWlascicielem->UruchomProgram(program);
    EXPECT_EQ(A(CzekajNaZnak(program)), A(program));
    EXPECT_EQ(zapytania, 1);
}

// A program deep in folders has a path longer than MAX_PATH; its whole path
// comes back, not a cut one.
TEST_F(PowlokaWin32, ALongProgramPathIsReturnedWhole) {
    std::u16string dlugi = folder.Sciezka();
    while (dlugi.size() < 300) {
        dlugi += u"\\folder-o-dlugiej-nazwie-ąę";
        ASSERT_TRUE(CreateDirectoryW(W(u"\\\\?\\" + dlugi), nullptr));
    }
    const auto program = dlugi + u"\\kv_znacznik.exe";
    ASSERT_TRUE(CopyFileW(W(Znacznik()), W(u"\\\\?\\" + program), FALSE));

    std::u16string linia = u"\"" + program + u"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::u16string dluga = u"\\\\?\\" + program;
    if (!CreateProcessW(W(program), reinterpret_cast<wchar_t*>(linia.data()), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi) &&
        !CreateProcessW(W(dluga), reinterpret_cast<wchar_t*>(linia.data()), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        GTEST_SKIP() << "this system cannot start a program with a path of " << program.size() << " units";
    }
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::u16string zgloszona = CzekajNaZnak(program);
    // The system may report the long form with or without "\\?\".
    if (zgloszona.rfind(u"\\\\?\\", 0) == 0) zgloszona = zgloszona.substr(4);
    EXPECT_EQ(A(zgloszona), A(program));
}

}  // namespace
