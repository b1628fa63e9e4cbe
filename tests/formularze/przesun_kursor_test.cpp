// The pointer glide: its steps, its pauses and when it moves the pointer.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <string>
#include <vector>

#include "AtrapyKursora.h"
#include "Prezentacja.h"

namespace {

using platforma::PunktEkranu;
using Pozycje = std::vector<PunktEkranu>;
using Pauzy_ = std::vector<std::uint32_t>;

constexpr PunktEkranu kStart{400, 300};

// Positions of n equal steps from `od` along x.
Pozycje KrokiPoziomo(PunktEkranu od, int n, int krok) {
    Pozycje w;
    for (int i = 1; i <= n; ++i) w.push_back({od.x + i * krok, od.y});
    return w;
}

Pauzy_ Powtorz(int n, std::uint32_t ms) { return Pauzy_(static_cast<size_t>(n), ms); }

template <typename T>
std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Opis(const Pozycje& p) {
    std::string w;
    for (const auto& q : p) w += "(" + std::to_string(q.x) + "," + std::to_string(q.y) + ") ";
    return w;
}

struct Szybowanie {
    DziennikKursora dziennik;
    AtrapaKursora kursor{dziennik};
    AtrapaZegara zegar{dziennik};
    AtrapaPetli petla{dziennik};

    explicit Szybowanie(PunktEkranu start) { kursor.pozycja = start; }
    void Wykonaj(PunktEkranu cel, int tempo) { PrzesunKursor(cel, tempo, kursor, zegar, petla); }
};

TEST(PrzesunKursor, StepsAndPauses) {
    struct Przypadek {
        const char* opis;
        PunktEkranu cel;
        int tempo;
        Pozycje pozycje;
        Pauzy_ pauzy;
    };
    const PunktEkranu s = kStart;
    const Przypadek przypadki[] = {
        {"already at the target", s, 100, {}, {}},
        // Step 0.5 at first, 1 from the first step on (d < 10); one 20 ms
        // pause right after the first step.
        {"5 to the right", {s.x + 5, s.y}, 100, KrokiPoziomo(s, 5, 1), {20}},
        // At the last step d is exactly 10, not below it.
        {"1000 to the right", {s.x + 1000, s.y}, 100, KrokiPoziomo(s, 100, 10), Powtorz(20, 10)},
        // 10.05 rounds to 10; the 5 pixels left take 1-pixel steps, and the
        // 101st step (i = 100) pauses 20 ms near the target.
        {"1005 to the right", {s.x + 1005, s.y}, 100,
         KrokiPoziomo(s, 100, 10) + KrokiPoziomo({s.x + 1000, s.y}, 5, 1), Powtorz(20, 10) + Pauzy_{20}},
        {"pacing 0 does not wait", {s.x + 1005, s.y}, 0,
         KrokiPoziomo(s, 100, 10) + KrokiPoziomo({s.x + 1000, s.y}, 5, 1), {}},
        // d0 = 50: step 50/30 rounds to 2 until d < 10 at 42, then 1 pixel.
        {"50 to the right", {s.x + 50, s.y}, 100,
         KrokiPoziomo(s, 21, 2) + KrokiPoziomo({s.x + 42, s.y}, 8, 1), {10, 10, 10, 10, 10, 20}},
        // Negative pacing doubles every pause closer than 100 pixels; 1.5
        // rounds to 2 and d = 100 is not closer.
        {"50 to the right, negative pacing", {s.x + 50, s.y}, -1,
         KrokiPoziomo(s, 21, 2) + KrokiPoziomo({s.x + 42, s.y}, 8, 1), Powtorz(6, 20)},
        {"150 to the right, negative pacing", {s.x + 150, s.y}, -100,
         KrokiPoziomo(s, 71, 2) + KrokiPoziomo({s.x + 142, s.y}, 8, 1), Powtorz(6, 10) + Powtorz(10, 20)},
        // Far beyond what 32-bit squares hold: the distance is taken at its
        // largest, 46340.95, and the glide walks 200 steps of 463 pixels.
        {"beyond the range of the squares", {s.x + 200000, s.y}, 100, KrokiPoziomo(s, 200, 463), Powtorz(40, 10)},
        {"12 down", {s.x, s.y + 12}, 100,
         {{s.x, s.y + 1}, {s.x, s.y + 2}, {s.x, s.y + 3}, {s.x, s.y + 4}, {s.x, s.y + 5}, {s.x, s.y + 6},
          {s.x, s.y + 7}, {s.x, s.y + 8}, {s.x, s.y + 9}, {s.x, s.y + 10}, {s.x, s.y + 11}, {s.x, s.y + 12}},
         {10, 20, 20}},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Szybowanie g(kStart);
        g.Wykonaj(p.cel, p.tempo);
        const Pozycje faktyczne = Polozenia(g.dziennik);
        EXPECT_EQ(faktyczne, p.pozycje) << Opis(faktyczne);
        EXPECT_EQ(Pauzy(g.dziennik), p.pauzy);
        // The pointer is read once; the pump runs once, last.
        EXPECT_EQ(g.kursor.odczyty, 1);
        ASSERT_FALSE(g.dziennik.empty());
        EXPECT_EQ(g.dziennik.back().rodzaj, WpisKursora::Rodzaj::Pompuj);
        int pompowania = 0;
        for (const auto& w : g.dziennik) pompowania += w.rodzaj == WpisKursora::Rodzaj::Pompuj;
        EXPECT_EQ(pompowania, 1);
    }
}

TEST(PrzesunKursor, AnUnreachableTargetStopsAfter200Steps) {
    // d0 = 5015: steps of 50 leave 15, which a step of 50.15 overshoots and
    // comes back: the glide swings around the target until the 200th step.
    Szybowanie g(kStart);
    g.Wykonaj({kStart.x + 5015, kStart.y}, 100);
    const Pozycje p = Polozenia(g.dziennik);
    ASSERT_EQ(p.size(), 200u);
    EXPECT_EQ(p.at(99), (PunktEkranu{kStart.x + 5000, kStart.y}));
    EXPECT_EQ(p.at(100), (PunktEkranu{kStart.x + 5050, kStart.y}));
    EXPECT_EQ(p.at(101), (PunktEkranu{kStart.x + 5000, kStart.y}));
    EXPECT_EQ(p.back(), (PunktEkranu{kStart.x + 5000, kStart.y}));
    EXPECT_EQ(Pauzy(g.dziennik), Powtorz(40, 10));
}

TEST(PrzesunKursor, APauseFollowsEveryFifthStepFromTheFirst) {
    Szybowanie g(kStart);
    g.Wykonaj({kStart.x + 1000, kStart.y}, 100);
    int krokow = 0;
    for (const auto& w : g.dziennik) {
        if (w.rodzaj == WpisKursora::Rodzaj::Ustaw) ++krokow;
        if (w.rodzaj == WpisKursora::Rodzaj::Spij) {
            EXPECT_EQ(krokow % 5, 1);
        }
    }
}

TEST(PrzesunKursor, ADiagonalIsAStraightLineToTheTarget) {
    const PunktEkranu s = kStart;
    const PunktEkranu cele[] = {
        {s.x + 8, s.y + 246}, {s.x - 377, s.y - 123}, {s.x + 30, s.y + 40}, {s.x - 7, s.y + 3}, {s.x + 900, s.y + 1},
    };
    for (const PunktEkranu cel : cele) {
        SCOPED_TRACE(Opis({cel}));
        Szybowanie g(kStart);
        g.Wykonaj(cel, 100);
        const Pozycje p = Polozenia(g.dziennik);
        ASSERT_FALSE(p.empty());
        EXPECT_EQ(p.back(), cel);
        EXPECT_LT(p.size(), 200u);
        // Every step comes closer, and no coordinate moves away from the
        // target or past it.
        PunktEkranu poprzedni = kStart;
        for (const auto& q : p) {
            EXPECT_LT(std::hypot(cel.x - q.x, cel.y - q.y), std::hypot(cel.x - poprzedni.x, cel.y - poprzedni.y))
                << Opis({q});
            EXPECT_LE(std::abs(cel.x - q.x), std::abs(cel.x - poprzedni.x));
            EXPECT_LE(std::abs(cel.y - q.y), std::abs(cel.y - poprzedni.y));
            EXPECT_GE((cel.x - q.x) * (cel.x - poprzedni.x), 0);
            EXPECT_GE((cel.y - q.y) * (cel.y - poprzedni.y), 0);
            poprzedni = q;
        }
        // n steps wait ceil(n / 5) times.
        EXPECT_EQ(Pauzy(g.dziennik).size(), (p.size() + 4) / 5);
    }
}

TEST(PrzesunKursor, AnInactiveApplicationLeavesThePointerButGlidesOn) {
    Szybowanie g(kStart);
    g.kursor.aktywna = false;
    g.Wykonaj({kStart.x + 1000, kStart.y}, 100);
    EXPECT_TRUE(Polozenia(g.dziennik).empty());
    EXPECT_EQ(g.kursor.pozycja, kStart);
    EXPECT_EQ(Pauzy(g.dziennik), Powtorz(20, 10));

    // Active again half-way: the pointer jumps to where the glide has got.
    Szybowanie h(kStart);
    int pytania = 0;
    h.kursor.czyAktywna = [&] { return ++pytania > 50; };
    h.Wykonaj({kStart.x + 1000, kStart.y}, 100);
    const Pozycje p = Polozenia(h.dziennik);
    ASSERT_EQ(p.size(), 50u);
    EXPECT_EQ(p.front(), (PunktEkranu{kStart.x + 510, kStart.y}));
    EXPECT_EQ(p.back(), (PunktEkranu{kStart.x + 1000, kStart.y}));
    EXPECT_EQ(pytania, 100);
}

TEST(PrzesunKursor, RoundingDoesNotDependOnTheCallersMode) {
    // cos * 2.5 steps round half to even whatever mode was set before.
    const int tryb = std::fegetround();
    std::fesetround(FE_UPWARD);
    Szybowanie g(kStart);
    g.Wykonaj({kStart.x + 75, kStart.y}, 0);  // d0 = 75: step 2.5
    std::fesetround(tryb);
    const Pozycje p = Polozenia(g.dziennik);
    ASSERT_GE(p.size(), 2u);
    EXPECT_EQ(p.at(0).x, kStart.x + 2);
    EXPECT_EQ(p.at(1).x, kStart.x + 4);
    EXPECT_EQ(p.back().x, kStart.x + 75);
}

}  // namespace
