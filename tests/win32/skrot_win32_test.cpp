// Links written through the shell's COM object, read back through
// IShellLinkW after IPersistFile::Load.
#include <gtest/gtest.h>

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <thread>

#include "PlatformaWin32.h"
#include "Skroty.h"
#include "Win32Testy.h"
#include "narzedzia/OdczytSkrotu.h"
#include "platform/Blad.h"

using namespace testy_win32;

namespace {

std::string A(const std::u16string& s) {
    std::string w;
    for (char16_t z : s) w += z < 128 ? static_cast<char>(z) : '?';
    return w;
}

// Wine's IShellLinkW reports show command 1 for every loaded link whatever
// the file says; there the value is read from the file's header.
bool PodWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The link's fields as the shell's object reads them back.
PolaSkrotu Wczytaj(const std::u16string& plik) {
    PolaSkrotu o;
    if (!WczytajPrzezPowloke(W(plik), o)) {
        ADD_FAILURE() << "IPersistFile::Load " << A(plik);
        return o;
    }
    if (PodWine()) {
        std::string tresc = CzytajPlik(plik);
        o.rodzajOkna = tresc.size() >= 0x44 ? static_cast<unsigned char>(tresc[0x3C]) : -1;
    }
    return o;
}

class SkrotWin32 : public ::testing::Test {
protected:
    std::unique_ptr<platforma::IFabrykaSkrotow> fabryka = platforma::UtworzFabrykeSkrotowWin32();
    FolderTestu folder;
};

TEST_F(SkrotWin32, EveryFieldSetIsReadBack) {
    struct {
        const char* nazwa;
        std::u16string cel, katalog, argumenty, opis, ikona;
        int numerIkony, rodzajOkna;
        WORD klawisz;
    } przypadki[] = {
        {"installer's link", u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", u"C:\\KV-Tek\\Kavrostel8", u"",
         u"Skrót do programu Vestra _Kavrostel 8.0", u"", 0, 1, 0x064B},
        {"all fields", u"D:\\Program Files\\Kavrostel\\Kavrostel.exe", u"D:\\Dane użytkownika\\Żółć",
         u"/tryb \"demo ąę\"", u"zażółć gęślą jaźń", u"C:\\KV-Tek\\ikony.dll", 7, 3, 0x0651},
        {"minimised, no hot key", u"C:\\KV-Tek\\Kavrostel8\\_Aktualizacja.exe", u"C:\\KV-Tek\\Kavrostel8\\",
         u"--aktualizuj", u"", u"", 0, 7, 0},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        auto obiekt = fabryka->Utworz();
        obiekt->SetPath(p.cel);
        obiekt->SetWorkingDirectory(p.katalog);
        obiekt->SetArguments(p.argumenty);
        if (!p.opis.empty()) obiekt->SetDescription(p.opis);
        obiekt->SetShowCmd(p.rodzajOkna);
        if (!p.ikona.empty()) obiekt->SetIconLocation(p.ikona, p.numerIkony);
        if (p.klawisz) obiekt->SetHotkey(p.klawisz);
        const auto plik = folder / u"Skrót ż 8.lnk";
        EXPECT_TRUE(obiekt->Save(plik, false));
        obiekt.reset();

        auto o = Wczytaj(plik);
        EXPECT_EQ(A(o.sciezka), A(p.cel));
        EXPECT_EQ(o.katalogRoboczy, p.katalog);
        EXPECT_EQ(o.argumenty, p.argumenty);
        EXPECT_EQ(o.opis, p.opis);
        EXPECT_EQ(o.ikona, p.ikona);
        EXPECT_EQ(o.numerIkony, p.numerIkony);
        EXPECT_EQ(o.rodzajOkna, p.rodzajOkna);
        EXPECT_EQ(o.klawisz, p.klawisz);
    }
}

TEST_F(SkrotWin32, SavingReplacesAnExistingLinkAndFailsInAMissingFolder) {
    const auto plik = folder / u"_Kavrostel 8.lnk";
    for (std::u16string opis : {u"pierwszy", u"drugi"}) {
        auto obiekt = fabryka->Utworz();
        obiekt->SetPath(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
        obiekt->SetDescription(opis);
        EXPECT_TRUE(obiekt->Save(plik, false));
    }
    EXPECT_EQ(Wczytaj(plik).opis, u"drugi");

    auto obiekt = fabryka->Utworz();
    obiekt->SetPath(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
    EXPECT_FALSE(obiekt->Save(folder / u"Orveliane\\_Kavrostel 8.lnk", false));
    EXPECT_FALSE(Jest(folder / u"Orveliane"));
}

// The installer's writer on top of the COM object: its defaults reach the file.
TEST_F(SkrotWin32, TheInstallersDefaultsReachTheFile) {
    TParametrySkrotu p;
    p.SciezkaPliku = u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";
    p.rodzajokna = 0;
    p.klawiszSkrotu = u'q';
    const auto plik = folder / u"_Kavrostel 8.lnk";
    UtworzSkrot(*fabryka, plik, p);
    auto o = Wczytaj(plik);
    EXPECT_EQ(A(o.sciezka), "C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
    EXPECT_EQ(A(o.katalogRoboczy), "C:\\KV-Tek\\Kavrostel8\\");
    EXPECT_EQ(o.rodzajOkna, 1);
    EXPECT_EQ(o.klawisz, 0x0651);
    EXPECT_EQ(o.opis, u"");
    EXPECT_EQ(o.ikona, u"");
}

TEST_F(SkrotWin32, WithoutCOMOnTheThreadTheObjectIsRefusedWithTheSystemsText) {
    std::u16string tekst;
    bool rzucony = false;
    std::thread watek([&] {
        try {
            fabryka->Utworz();
        } catch (const platforma::BladPlatformy& b) {
            rzucony = true;
            tekst = b.Tekst();
        }
    });
    watek.join();
    EXPECT_TRUE(rzucony);
    EXPECT_FALSE(tekst.empty());
}

}  // namespace
