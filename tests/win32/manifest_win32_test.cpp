// The installer's resources (app/instalator.rc, linked into this test as into
// the program): the manifest is found where the system looks for it and does
// what it is there for.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string Manifest() {
    HRSRC zasob = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!zasob) return {};
    HGLOBAL dane = LoadResource(nullptr, zasob);
    return std::string(static_cast<const char*>(LockResource(dane)), SizeofResource(nullptr, zasob));
}

TEST(ManifestWin32, AsksForCommonControlsSixAndTheUsersOwnRights) {
    std::string m = Manifest();
    ASSERT_FALSE(m.empty()) << "no RT_MANIFEST resource 1";
    EXPECT_NE(m.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(m.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
    EXPECT_NE(m.find("level=\"asInvoker\""), std::string::npos);
}

// With the manifest active the process gets version 6 of comctl32 (from the
// side-by-side store); only that version has TaskDialog. Without the
// manifest the system hands out the old 5.x library.
TEST(ManifestWin32, TheProcessRunsWithCommonControlsSix) {
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    EXPECT_NE(GetProcAddress(comctl, "TaskDialog"), nullptr);
}

TEST(ManifestWin32, TheVersionInformationNamesTheProduct) {
    wchar_t sciezka[MAX_PATH];
    GetModuleFileNameW(nullptr, sciezka, MAX_PATH);
    DWORD uchwyt = 0;
    DWORD rozmiar = GetFileVersionInfoSizeW(sciezka, &uchwyt);
    ASSERT_GT(rozmiar, 0u);
    std::string dane(rozmiar, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(sciezka, 0, rozmiar, dane.data()));
    VS_FIXEDFILEINFO* stale = nullptr;
    UINT dlugosc = 0;
    ASSERT_TRUE(VerQueryValueW(dane.data(), L"\\", reinterpret_cast<void**>(&stale), &dlugosc));
    EXPECT_EQ(HIWORD(stale->dwProductVersionMS), 8u);
    EXPECT_EQ(LOWORD(stale->dwProductVersionMS), 0u);
    wchar_t* nazwa = nullptr;
    ASSERT_TRUE(VerQueryValueW(dane.data(), L"\\StringFileInfo\\041504B0\\ProductName",
                               reinterpret_cast<void**>(&nazwa), &dlugosc));
    EXPECT_EQ(std::wstring(nazwa), L"Kavrostel");
}

}  // namespace
