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

// The system reads the awareness from the manifest before the first window:
// the process is aware of each monitor's dpi, so that nothing stretches its
// pixels. (The v2 context exists only from Windows 10 1703; the awareness
// asked here, per monitor, is what v1 and v2 share.)
TEST(ManifestWin32, TheProcessIsAwareOfEachMonitorsDpi) {
    using Kontekst = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using Swiadomosc = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    const auto kontekst = reinterpret_cast<Kontekst>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto swiadomosc = reinterpret_cast<Swiadomosc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (!kontekst || !swiadomosc) GTEST_SKIP() << "a system before Windows 10 1607";
    EXPECT_EQ(swiadomosc(kontekst()), DPI_AWARENESS_PER_MONITOR_AWARE);
    const std::string m = Manifest();
    EXPECT_NE(m.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(m.find(">true/pm</dpiAware>"), std::string::npos);
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
