// The installer's window on the Win32 backend at the screen's dpi (the
// prefix's LogPixels; KV_DPI names the one expected, 96 when unset): every
// native control lies where its design rectangle times dpi / 96 puts it,
// within a pixel; no caption is wider than its control in the font the
// control draws with; the glides end at their targets scaled.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <tuple>
#include <memory>
#include <string>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "Czcionki.h"
#include "Instal.h"
#include "OknaTesty.h"

namespace {

using namespace testy_okien;

int OczekiwaneDpi() {
    const char* dpi = std::getenv("KV_DPI");
    return dpi && *dpi ? std::atoi(dpi) : 96;
}

class SkalaTest : public OknaTest, public AtrapyUslug {
protected:
    void SetUp() override {
        glowne = std::make_unique<TFormMain>(uslugi);
        strona = std::make_unique<TFormInstal>(uslugi);
        // The presentation runs when a test starts it, not at the first pump.
        glowne->Timer1->Enabled = false;
        glowne->Show();
        ASSERT_TRUE(Czekaj([&] { return glowne->Namalowana(); }));
    }
    void TearDown() override {
        strona.reset();
        glowne.reset();
    }
    int Przy(int v) const { return static_cast<int>(std::lround(v * dpi / 96.0)); }

    const int dpi = OczekiwaneDpi();
    std::unique_ptr<TFormMain> glowne;
    std::unique_ptr<TFormInstal> strona;
};

void Kazda(TControl& k, const std::function<void(TControl&)>& f) {
    f(k);
    for (TControl* d : k.Controls()) Kazda(*d, f);
}

TEST_F(SkalaTest, EveryControlLiesAtItsDesignTimesTheScale) {
    ASSERT_EQ(glowne->Dpi(), dpi) << "the window reports another dpi than the prefix's LogPixels";
    RECT okno;
    GetWindowRect(Okno(*glowne), &okno);
    EXPECT_NEAR(okno.right - okno.left, Przy(730), 1);
    EXPECT_NEAR(okno.bottom - okno.top, Przy(360), 1);
    int kontrolek = 0, najdalej = 0;
    Kazda(*glowne, [&](TControl& k) {
        if (&k == glowne.get() || !Okno(k)) return;
        SCOPED_TRACE(k.Name);
        ++kontrolek;
        const RECT r = Miejsce(k);
        const int odchylenia[] = {static_cast<int>(r.left) - Przy(k.Left), static_cast<int>(r.top) - Przy(k.Top),
                                  static_cast<int>(r.right - r.left) - Przy(k.Width),
                                  static_cast<int>(r.bottom - r.top) - Przy(k.Height)};
        for (const int o : odchylenia) {
            EXPECT_LE(std::abs(o), 1);
            najdalej = std::max(najdalej, std::abs(o));
        }
    });
    EXPECT_GT(kontrolek, 40);
    std::printf("dpi %d: %d controls, the farthest %d px from design x %.2f\n", dpi, kontrolek, najdalej,
                dpi / 96.0);
}

// Measured by the backend in the font the control is given, against the
// width the control has on the screen; a check box, a radio button and a
// group box's frame need room beside the text.
TEST_F(SkalaTest, NoCaptionIsWiderThanItsControl) {
    int najciasniej = 1 << 20;
    std::string gdzie;
    auto zmiesc = [&](const TControl& k, const std::u16string& napis, int szerokosc) {
        if (napis.empty()) return;
        const int tekst = z.ZmierzTekst(k.CzcionkaWidoku(), NapisWidoczny(napis), 0).Width;
        EXPECT_LE(tekst, szerokosc) << k.Name << ": \"" << std::string(napis.begin(), napis.end()) << "\"";
        if (szerokosc - tekst < najciasniej) {
            najciasniej = szerokosc - tekst;
            gdzie = k.Name;
        }
    };
    Kazda(*glowne, [&](TControl& k) {
        if (&k == glowne.get() || !Okno(k)) return;
        RECT klient;
        GetClientRect(Okno(k), &klient);
        const int w = klient.right;
        const int obok = k.Skaluj(16);  // the box or the frame's indent
        switch (k.Rodzaj()) {
        case TRodzaj::Etykieta:
            if (!static_cast<TLabel&>(k).WordWrap) zmiesc(k, k.Caption, w);
            break;
        case TRodzaj::Przycisk:
            zmiesc(k, k.Caption, w);
            break;
        case TRodzaj::PoleWyboru:
        case TRodzaj::Ramka:
            zmiesc(k, k.Caption, w - obok);
            break;
        case TRodzaj::GrupaOpcji: {
            auto& g = static_cast<TRadioGroup&>(k);
            zmiesc(k, g.Caption, w - obok);
            for (int i = 0; i < static_cast<int>(g.Items().size()); ++i)
                zmiesc(k, g.Items()[static_cast<std::size_t>(i)],
                       (w - k.Skaluj(10)) / std::max<int>(g.Columns, 1) - obok);
            break;
        }
        default:
            break;
        }
    });
    std::printf("dpi %d: the tightest caption leaves %d px (%s)\n", dpi, najciasniej, gdzie.c_str());
}

// The presentation's glide ends in the acceptance group, the acceptance's at
// the program's name: their design offsets from the window's corner, scaled.
TEST_F(SkalaTest, TheGlidesEndAtTheirTargetsScaled) {
    // The pointer moves only while the installer is the active application.
    SetForegroundWindow(Okno(*glowne));
    ASSERT_TRUE(Czekaj([&] { return z.AplikacjaAktywna(); }));
    RECT okno;
    GetWindowRect(Okno(*glowne), &okno);
    SetCursorPos(okno.left + 5, okno.top + 5);
    glowne->Timer1->Enabled = true;
    glowne->Timer1->ZdarzenieTykniecia();
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, okno.left + Przy(58));
    EXPECT_EQ(p.y, okno.top + Przy(318));
    ASSERT_TRUE(glowne->RGAkceptacja->Enabled);
    glowne->RGAkceptacja->ZdarzenieWyboru(0);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, okno.left + Przy(14 + 50));
    EXPECT_EQ(p.y, okno.top + Przy(34 + 78 + 50));
    std::printf("dpi %d: the glides end at (%ld, %ld) from the corner\n", dpi, p.x - okno.left, p.y - okno.top);
}

// The system's message of a new dpi (a move to another monitor, which Wine
// cannot show; here it is sent as the system would) lays the window out
// again at the new scale where the system proposes, and the old dpi gives
// back exactly the old pixels.
TEST_F(SkalaTest, TheMessageOfANewDpiLaysTheWindowOutAgain) {
    std::map<const TControl*, RECT> przedtem;
    Kazda(*glowne, [&](TControl& k) {
        if (Okno(k)) przedtem[&k] = &k == glowne.get() ? RECT{} : Miejsce(k);
    });
    RECT okno;
    GetWindowRect(Okno(*glowne), &okno);
    const int nowe = dpi * 2 / 3 < 96 ? dpi * 3 / 2 : dpi * 2 / 3;
    const auto przy = [&](int v) { return static_cast<int>(std::lround(v * nowe / 96.0)); };
    RECT proponowane{okno.left + 10, okno.top + 20, okno.left + 10 + przy(730), okno.top + 20 + przy(360)};
    SendMessageW(Okno(*glowne), WM_DPICHANGED, MAKEWPARAM(nowe, nowe), reinterpret_cast<LPARAM>(&proponowane));
    EXPECT_EQ(glowne->Dpi(), nowe);
    RECT teraz;
    GetWindowRect(Okno(*glowne), &teraz);
    EXPECT_EQ(teraz.left, proponowane.left);
    EXPECT_EQ(teraz.top, proponowane.top);
    EXPECT_EQ(teraz.right - teraz.left, przy(730));
    EXPECT_EQ(teraz.bottom - teraz.top, przy(360));
    Kazda(*glowne, [&](TControl& k) {
        if (&k == glowne.get() || !Okno(k)) return;
        SCOPED_TRACE(k.Name);
        const RECT r = Miejsce(k);
        EXPECT_LE(std::abs(r.left - przy(k.Left)), 1);
        EXPECT_LE(std::abs(r.top - przy(k.Top)), 1);
        EXPECT_LE(std::abs(r.right - r.left - przy(k.Width)), 1);
        EXPECT_LE(std::abs(r.bottom - r.top - przy(k.Height)), 1);
    });

    SendMessageW(Okno(*glowne), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&okno));
    GetWindowRect(Okno(*glowne), &teraz);
    EXPECT_TRUE(EqualRect(&teraz, &okno));
    Kazda(*glowne, [&](TControl& k) {
        if (&k == glowne.get() || !Okno(k)) return;
        SCOPED_TRACE(k.Name);
        const RECT r = Miejsce(k);
        EXPECT_TRUE(EqualRect(&r, &przedtem.at(&k)));
    });
    std::printf("dpi %d: to %d dpi and back, every control where it was\n", dpi, nowe);
}

// Every font of the window keeps the line its scaled height asks for, in a
// face that has the Polish letters.
TEST_F(SkalaTest, EveryFontKeepsItsLineAtTheScale) {
    std::map<std::tuple<std::u16string, int, bool>, std::wstring> widziane;
    Kazda(*glowne, [&](TControl& k) {
        const TFont f = k.CzcionkaWidoku();
        if (f.Name != u"MS Sans Serif" || widziane.count({f.Name, f.Height, f.Bold})) return;
        HFONT czcionka = reinterpret_cast<HFONT>(SendMessageW(Okno(k), WM_GETFONT, 0, 0));
        if (!czcionka) return;
        const Realizacja r = Zrealizuj(czcionka);
        SCOPED_TRACE(k.Name);
        EXPECT_NEAR(r.linia, LiniaZastepcza(f.Height), 1);
        EXPECT_TRUE(r.polskie);
        widziane[{f.Name, f.Height, f.Bold}] = r.kroj;
        std::printf("dpi %d: %d px%s -> %ls, line %d\n", dpi, f.Height, f.Bold ? " bold" : "", r.kroj.c_str(),
                    r.linia);
    });
    EXPECT_FALSE(widziane.empty());
}

}  // namespace
