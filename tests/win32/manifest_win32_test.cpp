// The installer's manifest (app/instalator.rc, linked into this test as into
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

}  // namespace
