// The forms at other scales: a window that reports more than 96 dpi gets
// every place, size, font height, list row, corner ellipse and glide target
// of the design multiplied by dpi / 96, rounded to the nearest pixel, and a
// change of dpi lays it out again from the design, not from the last scale.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "DialQst2.h"
#include "Instal.h"

namespace {

using platforma::PunktEkranu;

// Design pixels at `dpi`, computed apart from the model's own rounding.
int Przy(int v, int dpi) { return static_cast<int>(std::lround(v * dpi / 96.0)); }

constexpr int DPI[] = {96, 120, 144, 192};

struct Okno : AplikacjaTestowa, AtrapyUslug {
    std::unique_ptr<TFormMain> glowne;
    std::unique_ptr<TFormInstal> strona;
    explicit Okno(int dpi) {
        zaplecze.dpi = dpi;
        zaplecze.ekran = {0, 0, 2000, 1000};
        glowne = std::make_unique<TFormMain>(uslugi);
        strona = std::make_unique<TFormInstal>(uslugi);
        PokazINamaluj(*glowne);
    }
    ~Okno() {
        strona.reset();
        glowne.reset();
    }
};

// Every control lying on `k` (the page moved onto the main window too),
// with a name that tells the page's controls apart from the window's.
void Kazda(TControl& k, const std::string& sciezka, const std::function<void(TControl&, const std::string&)>& f) {
    f(k, sciezka);
    for (TControl* d : k.Controls()) Kazda(*d, sciezka + "/" + d->Name, f);
}

// What the views applied, by control.
std::map<std::string, StanWidoku> Stany(Okno& o) {
    std::map<std::string, StanWidoku> w;
    Kazda(*o.glowne, "FormMain", [&](TControl& k, const std::string& s) { w[s] = o.zaplecze.stany.at(&k); });
    return w;
}

TEST(Skalowanie, EveryViewGetsTheDesignTimesTheScale) {
    for (const int dpi : DPI) {
        SCOPED_TRACE(dpi);
        Okno o(dpi);
        EXPECT_EQ(o.glowne->Dpi(), dpi);
        int kontrolek = 0;
        Kazda(*o.glowne, "FormMain", [&](TControl& k, const std::string& s) {
            SCOPED_TRACE(s);
            ++kontrolek;
            const StanWidoku& v = o.zaplecze.stany.at(&k);
            // A window keeps its place on the screen; everything else scales.
            const bool forma = &k == o.glowne.get();
            EXPECT_EQ(v.miejsce, (TProstokat{forma ? k.Left() : Przy(k.Left, dpi), forma ? k.Top() : Przy(k.Top, dpi),
                                             Przy(k.Width, dpi), Przy(k.Height, dpi)}));
            EXPECT_EQ(v.czcionka, Przy(k.Font().Height, dpi));
            // A label sized by its text holds it in the scaled font.
            if (k.Rodzaj() == TRodzaj::Etykieta && !k.Caption().empty()) {
                const TRozmiar napis = o.zaplecze.ZmierzTekst(k.CzcionkaWidoku(), k.Caption, 0);
                EXPECT_LE(napis.Width, v.miejsce.Width);
                EXPECT_LE(napis.Height, v.miejsce.Height);
            }
        });
        EXPECT_GT(kontrolek, 40);
        // The designed values themselves, where the rule could hide behind them.
        EXPECT_EQ(o.zaplecze.stany.at(o.glowne.get()).miejsce.Width, Przy(730, dpi));
        EXPECT_EQ(o.zaplecze.stany.at(o.glowne.get()).zaokraglenie, (TRozmiar{Przy(40, dpi), Przy(40, dpi)}));
        EXPECT_EQ(o.zaplecze.stany.at(o.glowne->ListBox1).wysokoscElementu, Przy(16, dpi));
        EXPECT_EQ(o.zaplecze.stany.at(o.strona->BBInstal).miejsce, (TProstokat{Przy(243, dpi), Przy(289, dpi),
                                                                               Przy(204, dpi), Przy(30, dpi)}));
        // The list still shows 14 whole lines.
        EXPECT_EQ(o.zaplecze.stany.at(o.glowne->ListBox1).miejsce.Height /
                      o.zaplecze.stany.at(o.glowne->ListBox1).wysokoscElementu,
                  14);
        // Centred on the screen with its scaled size.
        EXPECT_EQ(o.glowne->Left(), (2000 - Przy(730, dpi)) / 2);
        EXPECT_EQ(o.glowne->Top(), (1000 - Przy(360, dpi)) / 2);
    }
}

TEST(Skalowanie, TheDesignItselfStaysInDesignPixels) {
    Okno o(192);
    EXPECT_EQ((TRozmiar{o.glowne->Width, o.glowne->Height}), (TRozmiar{730, 360}));
    EXPECT_EQ(o.glowne->ListBox1->ItemHeight(), 16);
    EXPECT_EQ(o.strona->BBInstal->Left(), 243);
    EXPECT_EQ(o.glowne->LabelInfo->Font().Height, 19);
}

// Both glides of the licence page and the glide of the acceptance end at
// the design offsets from the window's corner times the scale.
TEST(Skalowanie, TheGlidesEndAtTheScaledTargets) {
    for (const int dpi : DPI) {
        SCOPED_TRACE(dpi);
        Okno o(dpi);
        const PunktEkranu rog{o.glowne->Left, o.glowne->Top};
        auto cel = [&](int x, int y) { return PunktEkranu{rog.x + Przy(x, dpi), rog.y + Przy(y, dpi)}; };
        o.zaplecze.pozycja = {1, 1};
        o.glowne->Timer1->ZdarzenieTykniecia();
        const auto ruchy = o.zaplecze.Polozenia();
        ASSERT_FALSE(ruchy.empty());
        EXPECT_NE(std::find(ruchy.begin(), ruchy.end(), cel(50, 72)), ruchy.end());
        EXPECT_EQ(ruchy.back(), cel(58, 318));

        o.zaplecze.pozycja = {1, 1};
        o.glowne->RGAkceptacja->ZdarzenieWyboru(0);
        EXPECT_EQ(o.zaplecze.Polozenia().back(), cel(14 + 50, 34 + 78 + 50));
    }
}

// A change of dpi lays the form out from the design: going back to 96 gives
// exactly what a window made at 96 got, whatever scales came between.
TEST(Skalowanie, AChangeOfDpiLaysOutFromTheDesign) {
    const auto przy96 = [] {
        Okno o(96);
        return Stany(o);
    }();
    const std::vector<std::vector<int>> drogi = {{144, 96}, {120, 144, 192, 96}, {192, 120, 96}};
    for (const auto& droga : drogi) {
        Okno o(droga.front());
        for (std::size_t i = 1; i < droga.size(); ++i) {
            const TProstokat nowe{300 + static_cast<int>(i), 200, 1, 1};
            o.glowne->ZdarzenieZmianyDpi(droga[i], &nowe);
            EXPECT_EQ(o.glowne->Dpi(), droga[i]);
            EXPECT_EQ((PunktEkranu{o.glowne->Left, o.glowne->Top}), (PunktEkranu{nowe.Left, nowe.Top}));
        }
        auto teraz = Stany(o);
        // The window's place is the system's proposal, not the centred one.
        teraz.erase("FormMain");
        for (const auto& [nazwa, stan] : teraz) {
            SCOPED_TRACE(nazwa);
            const StanWidoku& wzor = przy96.at(nazwa);
            EXPECT_EQ(stan.miejsce, wzor.miejsce);
            EXPECT_EQ(stan.czcionka, wzor.czcionka);
            EXPECT_EQ(stan.wysokoscElementu, wzor.wysokoscElementu);
        }
        EXPECT_EQ(o.zaplecze.stany.at(o.glowne.get()).zaokraglenie, (TRozmiar{40, 40}));
        EXPECT_EQ(o.zaplecze.stany.at(o.glowne.get()).miejsce.Width, 730);
    }
}

// A page that outlives the window it was moved onto leaves that window's
// scale with it: its views go back to the design pixels.
TEST(Skalowanie, APageThatOutlivesItsWindowGoesBackToTheDesign) {
    Okno o(144);
    ASSERT_EQ(o.zaplecze.stany.at(o.strona->BBInstal).miejsce.Width, Przy(204, 144));
    o.glowne.reset();
    EXPECT_EQ(o.strona->BBInstal->Forma(), nullptr);
    EXPECT_EQ(o.zaplecze.stany.at(o.strona->BBInstal).miejsce, (TProstokat{243, 289, 204, 30}));
    EXPECT_EQ(o.zaplecze.stany.at(o.strona->BBInstal).czcionka, o.strona->BBInstal->Font().Height);
}

// The notice at 144 dpi: the box's design scaled, centred over the main
// window as the screen has it.
TEST(Skalowanie, TheNoticeBoxAtOneAndAHalf) {
    Okno o(144);
    const TProstokat glowne = o.zaplecze.stany.at(o.glowne.get()).miejsce;
    bool sprawdzone = false;
    o.zaplecze.przyPetliModalnej = [&](TForm& box) {
        auto& q = static_cast<TFormQst&>(box);
        const TProstokat m = o.zaplecze.stany.at(&box).miejsce;
        EXPECT_EQ(m.Left, glowne.Left + (glowne.Width - Przy(471, 144)) / 2);
        EXPECT_EQ(m.Top, glowne.Top + (glowne.Height - Przy(114, 144)) / 2 + Przy(15, 144));
        EXPECT_EQ(m.Width, Przy(471, 144));
        EXPECT_EQ(m.Height, Przy(109, 144));
        EXPECT_EQ(o.zaplecze.stany.at(q.B1).miejsce, (TProstokat{Przy(190, 144), Przy(69, 144), Przy(80, 144),
                                                                   Przy(27, 144)}));
        EXPECT_EQ(o.zaplecze.stany.at(&box).zaokraglenie, (TRozmiar{30, 30}));
        sprawdzone = true;
        q.B1->Click();
    };
    Informacja(nullptr, u"Tekst", u"Uwaga!", 0);
    EXPECT_TRUE(sprawdzone);
}

}  // namespace
