// The agreement presentation of the licence page, run at once over the
// recording backend: its exact waits, glides and repaints, the final view,
// and its first tick only once the window is on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "TrescUmowy.h"

namespace {

using platforma::PunktEkranu;
using Rodzaj = WpisZaplecza::Rodzaj;

std::vector<std::u16string> LinieUmowy() {
    std::vector<std::u16string> w;
    for (const auto l : TrescUmowy)
        if (!l.empty()) w.emplace_back(l);
    return w;
}

// What the list showed at one pause.
struct Stan {
    std::uint32_t ms;
    int wierszy;
    std::u16string ostatni;
    int gorny;
    bool akceptacjaWlaczona;
    bool odmalowanaOdPoprzedniej;  // an explicit repaint of the list since the previous pause
};

struct Prezentacja : AplikacjaTestowa, AtrapyUslug {
    std::unique_ptr<TFormMain> okno;
    std::vector<Stan> stany;

    Prezentacja() {
        okno = std::make_unique<TFormMain>(uslugi);
        PokazINamaluj(*okno);  // at (275, 220)
        zaplecze.przySpaniu = [this](std::uint32_t ms) {
            TListBox& l = *okno->ListBox1;
            bool odmalowana = false;
            for (auto w = zaplecze.dziennik.rbegin() + 1; w != zaplecze.dziennik.rend(); ++w) {
                if (w->rodzaj == Rodzaj::Spij) break;
                if (w->rodzaj == Rodzaj::Odmaluj && w->nazwa == "ListBox1") odmalowana = true;
            }
            stany.push_back({ms, l.Items.Count(), l.Items.Count() ? l.Items[l.Items.Count() - 1] : u"",
                             l.TopIndex, okno->RGAkceptacja->Enabled, odmalowana});
        };
    }
    ~Prezentacja() { okno.reset(); }

    // The first handled tick of Timer1.
    void Tyknij() { okno->Timer1->ZdarzenieTykniecia(); }
    PunktEkranu Rog() const { return {okno->Left, okno->Top}; }
};

TEST(Prezentacja, TheWholePresentation) {
    Prezentacja p;
    TFormMain& okno = *p.okno;
    const PunktEkranu rog = p.Rog();
    ASSERT_EQ(rog, (PunktEkranu{275, 220}));
    const PunktEkranu nadLista{rog.x + 50, rog.y + 72};
    const PunktEkranu nadGrupa{rog.x + 58, rog.y + 318};
    // 1000 pixels left of the list: a glide of 100 steps of 10.
    p.zaplecze.pozycja = {nadLista.x - 1000, nadLista.y};
    // A click on the acceptance group that waits in the queue until a
    // glide's pump.
    std::vector<bool> wlaczonaPrzyPompowaniu;
    p.zaplecze.przyPompowaniu = [&] {
        wlaczonaPrzyPompowaniu.push_back(okno.RGAkceptacja->Enabled);
        okno.RGAkceptacja->ZdarzenieWyboru(0);
    };

    p.Tyknij();

    EXPECT_TRUE(okno.RGAkceptacja->Enabled);
    EXPECT_FALSE(okno.Timer1->Enabled);
    const auto linie = LinieUmowy();
    ASSERT_EQ(linie.size(), 219u);
    const std::u16string& tytul = linie.front();

    // The exact sequence of pauses up to the second glide.
    std::vector<std::uint32_t> oczekiwane(20, 10);        // first glide
    oczekiwane.insert(oczekiwane.end(), 34, 10);          // the title
    oczekiwane.insert(oczekiwane.end(), 14, 50);          // the first 14 lines
    oczekiwane.insert(oczekiwane.end(), {100, 100});
    const auto pauzy = p.zaplecze.Pauzy();
    ASSERT_GT(pauzy.size(), oczekiwane.size());
    EXPECT_EQ(std::vector<std::uint32_t>(pauzy.begin(), pauzy.begin() + static_cast<long>(oczekiwane.size())),
              oczekiwane);

    // The first glide ends on the list, before anything is listed.
    const auto& d = p.zaplecze.dziennik;
    std::size_t pierwszaPompa = 0;
    while (d[pierwszaPompa].rodzaj != Rodzaj::Pompuj) ++pierwszaPompa;
    const auto pierwsze = p.zaplecze.Polozenia(0, pierwszaPompa);
    ASSERT_EQ(pierwsze.size(), 100u);
    EXPECT_EQ(pierwsze.back(), nadLista);
    EXPECT_EQ(p.zaplecze.Pauzy(0, pierwszaPompa).size(), 20u);

    // The second glide starts there and ends inside the acceptance group,
    // pausing once every five steps.
    std::size_t poDrugiej100 = 0;
    for (std::size_t i = 0, sto = 0; i < d.size(); ++i)
        if (d[i].rodzaj == Rodzaj::Spij && d[i].ms == 100 && ++sto == 2) {
            poDrugiej100 = i + 1;
            break;
        }
    const auto drugie = p.zaplecze.Polozenia(poDrugiej100);
    const auto pauzyDrugiej = p.zaplecze.Pauzy(poDrugiej100);
    ASSERT_FALSE(drugie.empty());
    EXPECT_EQ(drugie.back(), nadGrupa);
    EXPECT_EQ(pauzyDrugiej.size(), (drugie.size() + 4) / 5);
    for (auto ms : pauzyDrugiej) EXPECT_TRUE(ms == 10 || ms == 20);
    EXPECT_EQ(p.zaplecze.Polozenia().size(), pierwsze.size() + drugie.size());
    EXPECT_EQ(p.zaplecze.odczytyPozycji, 2);

    // The title is typed one character per 10 ms pause, each change painted
    // before the next pause; then one line per 50 ms pause.
    for (int k = 0; k < 34; ++k) {
        const Stan& s = p.stany.at(20 + static_cast<std::size_t>(k));
        EXPECT_EQ(s.wierszy, 1);
        EXPECT_EQ(s.ostatni, tytul.substr(0, static_cast<std::size_t>(k) + 1));
        if (k > 0) {
            EXPECT_TRUE(s.odmalowanaOdPoprzedniej) << k;
        }
    }
    for (int m = 1; m <= 14; ++m) {
        const Stan& s = p.stany.at(20 + 34 + static_cast<std::size_t>(m) - 1);
        EXPECT_EQ(s.wierszy, m);
        EXPECT_EQ(s.ostatni, linie.at(static_cast<std::size_t>(m) - 1));
        EXPECT_EQ(s.gorny, 0);
        EXPECT_TRUE(s.odmalowanaOdPoprzedniej) << m;
    }
    // At the first 100 ms pause everything is listed, still from the top; at
    // the second the view has jumped, and that has been painted.
    const Stan& przedSkokiem = p.stany.at(20 + 34 + 14);
    EXPECT_EQ(przedSkokiem.wierszy, 219);
    EXPECT_EQ(przedSkokiem.gorny, 0);
    EXPECT_EQ(p.stany.at(20 + 34 + 15).gorny, 28);
    EXPECT_TRUE(p.stany.at(20 + 34 + 15).odmalowanaOdPoprzedniej);
    // One explicit repaint per change of the list: 34 + 218 lines, and the jump.
    EXPECT_EQ(p.zaplecze.Ile(Rodzaj::Odmaluj, "ListBox1"), 34u + 218u + 1u);

    // The acceptance group stays disabled until the end: at every pause and
    // at both pumps, so the waiting clicks had no effect.
    for (const Stan& s : p.stany) EXPECT_FALSE(s.akceptacjaWlaczona);
    EXPECT_EQ(wlaczonaPrzyPompowaniu, (std::vector<bool>{false, false}));
    EXPECT_EQ(okno.RGAkceptacja->ItemIndex(), -1);
    EXPECT_EQ(d.back().rodzaj, Rodzaj::Zmiana);  // the enabling, after the last pump

    // The final view: 219 items, none empty, 28 at the top, 41 selected and
    // focused, the last whole line of the 14 in view.
    TListBox& lista = *okno.ListBox1;
    ASSERT_EQ(lista.Items.Count(), 219);
    EXPECT_EQ(lista.Items.Wszystkie(), linie);
    EXPECT_EQ(lista.TopIndex(), 28);
    EXPECT_EQ(lista.ItemIndex(), 41);
    EXPECT_EQ(okno.ActiveControl(), &lista);
    EXPECT_EQ(lista.TopIndex + lista.WidoczneElementy() - 1, 41);

    // Once per run: a later tick does nothing.
    const std::size_t wpisow = d.size();
    p.Tyknij();
    EXPECT_EQ(d.size(), wpisow);
}

TEST(Prezentacja, AnInactiveApplicationLeavesThePointerAlone) {
    Prezentacja p;
    p.zaplecze.aktywna = false;
    p.zaplecze.pozycja = {3, 4};
    p.Tyknij();
    EXPECT_TRUE(p.zaplecze.Polozenia().empty());
    EXPECT_EQ(p.zaplecze.pozycja, (PunktEkranu{3, 4}));
    // The pauses of the listing run as usual.
    const auto pauzy = p.zaplecze.Pauzy();
    EXPECT_EQ(std::count(pauzy.begin(), pauzy.end(), 50u), 14);
    EXPECT_EQ(std::count(pauzy.begin(), pauzy.end(), 100u), 2);
    EXPECT_EQ(p.okno->ListBox1->Items.Count(), 219);
    EXPECT_TRUE(p.okno->RGAkceptacja->Enabled);
}

TEST(Prezentacja, TheTargetsFollowTheWindow) {
    Prezentacja p;
    p.okno->ZdarzeniePrzesuniecia(17, 23);  // the user dragged it
    p.zaplecze.pozycja = {17 + 50, 23 + 72};  // already on the list
    p.Tyknij();
    const auto polozenia = p.zaplecze.Polozenia();
    ASSERT_FALSE(polozenia.empty());
    EXPECT_EQ(polozenia.back(), (PunktEkranu{17 + 58, 23 + 318}));
    // No steps and no pauses in the first glide: the title's pause comes first.
    EXPECT_EQ(p.zaplecze.Pauzy().front(), 10u);
    std::size_t pierwszy = 0;
    while (p.zaplecze.dziennik[pierwszy].rodzaj != Rodzaj::Pompuj &&
           p.zaplecze.dziennik[pierwszy].rodzaj != Rodzaj::Ustaw)
        ++pierwszy;
    EXPECT_EQ(p.zaplecze.dziennik[pierwszy].rodzaj, Rodzaj::Pompuj);
}

// The timer runs from the window's creation; a tick that comes before the
// window has been shown and painted (a slow start) is dropped, so that the
// glide and the typed title are never run unseen.
TEST(Prezentacja, TheFirstTickComesOnlyOnceTheWindowIsShownAndPainted) {
    AplikacjaTestowa a;
    AtrapyUslug u;
    TFormMain okno(u.uslugi);
    ASSERT_TRUE(okno.Timer1->Enabled);
    okno.Timer1->ZdarzenieTykniecia();  // made, not shown
    okno.Show();
    okno.Timer1->ZdarzenieTykniecia();  // shown, not painted yet
    EXPECT_EQ(okno.ListBox1->Items.Count(), 0);
    EXPECT_TRUE(a.zaplecze.Pauzy().empty());
    EXPECT_TRUE(okno.Timer1->Enabled);
    okno.ZdarzenieMalowania();
    okno.Timer1->ZdarzenieTykniecia();
    EXPECT_EQ(okno.ListBox1->Items.Count(), 219);
    EXPECT_FALSE(okno.Timer1->Enabled);
}

}  // namespace
