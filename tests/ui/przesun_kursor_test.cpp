// The pointer glide: its steps, its pauses and when it moves the pointer.
#include <QTest>
#include <cfenv>
#include <cmath>
#include <vector>

#include "AtrapyKursora.h"
#include "Prezentacja.h"

using platforma::PunktEkranu;
using Pozycje = std::vector<PunktEkranu>;
using Pauzy_ = std::vector<std::uint32_t>;

Q_DECLARE_METATYPE(Pozycje)
Q_DECLARE_METATYPE(Pauzy_)

namespace {

constexpr PunktEkranu kStart{400, 300};

// Positions of n equal steps from `od` along x (or y).
Pozycje KrokiPoziomo(PunktEkranu od, int n, int krok) {
    Pozycje w;
    for (int i = 1; i <= n; ++i) w.push_back({od.x + i * krok, od.y});
    return w;
}

Pauzy_ Powtorz(int n, std::uint32_t ms) { return Pauzy_(static_cast<size_t>(n), ms); }

Pozycje operator+(Pozycje a, const Pozycje& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Pauzy_ operator+(Pauzy_ a, const Pauzy_& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Szybowanie {
    DziennikKursora dziennik;
    AtrapaKursora kursor{dziennik};
    AtrapaZegara zegar{dziennik};
    AtrapaPetli petla{dziennik};

    explicit Szybowanie(PunktEkranu start) { kursor.pozycja = start; }
    void Wykonaj(PunktEkranu cel, int tempo) { PrzesunKursor(cel, tempo, kursor, zegar, petla); }
};

QString Opis(const Pozycje& p) {
    QStringList w;
    for (const auto& q : p) w << QStringLiteral("(%1,%2)").arg(q.x).arg(q.y);
    return w.join(u' ');
}

}  // namespace

class PrzesunKursorTest : public QObject {
    Q_OBJECT
private slots:
    void krokiIPauzy_data() {
        QTest::addColumn<PunktEkranu>("cel");
        QTest::addColumn<int>("tempo");
        QTest::addColumn<Pozycje>("pozycje");
        QTest::addColumn<Pauzy_>("pauzy");

        const PunktEkranu s = kStart;
        QTest::newRow("już u celu") << s << 100 << Pozycje{} << Pauzy_{};
        // Step 0.5 at first, 1 from the first step on (d < 10); one 20 ms
        // pause right after the first step.
        QTest::newRow("5 w prawo") << PunktEkranu{s.x + 5, s.y} << 100 << KrokiPoziomo(s, 5, 1)
                                   << Pauzy_{20};
        // At the last step d is exactly 10, not below it.
        QTest::newRow("1000 w prawo") << PunktEkranu{s.x + 1000, s.y} << 100
                                      << KrokiPoziomo(s, 100, 10) << Powtorz(20, 10);
        // 10.05 rounds to 10; the 5 pixels left take 1-pixel steps, and the
        // 101st step (i = 100) pauses 20 ms near the target.
        QTest::newRow("1005 w prawo")
            << PunktEkranu{s.x + 1005, s.y} << 100
            << KrokiPoziomo(s, 100, 10) + KrokiPoziomo({s.x + 1000, s.y}, 5, 1)
            << Powtorz(20, 10) + Pauzy_{20};
        QTest::newRow("tempo 0 nie czeka") << PunktEkranu{s.x + 1005, s.y} << 0
                                           << KrokiPoziomo(s, 100, 10) +
                                                  KrokiPoziomo({s.x + 1000, s.y}, 5, 1)
                                           << Pauzy_{};
        // d0 = 50: step 50/30 rounds to 2 until d < 10 at 42, then 1 pixel.
        QTest::newRow("50 w prawo")
            << PunktEkranu{s.x + 50, s.y} << 100
            << KrokiPoziomo(s, 21, 2) + KrokiPoziomo({s.x + 42, s.y}, 8, 1)
            << Pauzy_{10, 10, 10, 10, 10, 20};
        // Negative pacing doubles every pause closer than 100 pixels; 1.5
        // rounds to 2 and d = 100 is not closer.
        QTest::newRow("50 w prawo, tempo ujemne")
            << PunktEkranu{s.x + 50, s.y} << -1
            << KrokiPoziomo(s, 21, 2) + KrokiPoziomo({s.x + 42, s.y}, 8, 1) << Powtorz(6, 20);
        QTest::newRow("150 w prawo, tempo ujemne")
            << PunktEkranu{s.x + 150, s.y} << -100
            << KrokiPoziomo(s, 71, 2) + KrokiPoziomo({s.x + 142, s.y}, 8, 1)
            << Powtorz(6, 10) + Powtorz(10, 20);
        // d0 = 5015: steps of 50 leave 15, which a step of 50.15 overshoots
        // and comes back: the glide swings around the target until the
        // 200th step and stops where that leaves it.
        QTest::newRow("cel nieosiągalny")
            << PunktEkranu{s.x + 5015, s.y} << 100 << Pozycje{} << Powtorz(40, 10);
        // Far beyond what 32-bit squares hold: the distance is taken at its
        // largest, 46340.95, and the glide walks 200 steps of 463 pixels.
        QTest::newRow("poza zakresem kwadratów")
            << PunktEkranu{s.x + 200000, s.y} << 100 << KrokiPoziomo(s, 200, 463)
            << Powtorz(40, 10);
        QTest::newRow("w dół 12") << PunktEkranu{s.x, s.y + 12} << 100
                                  << Pozycje{{s.x, s.y + 1}, {s.x, s.y + 2}, {s.x, s.y + 3},
                                             {s.x, s.y + 4}, {s.x, s.y + 5}, {s.x, s.y + 6},
                                             {s.x, s.y + 7}, {s.x, s.y + 8}, {s.x, s.y + 9},
                                             {s.x, s.y + 10}, {s.x, s.y + 11}, {s.x, s.y + 12}}
                                  << Pauzy_{10, 20, 20};
    }
    void krokiIPauzy() {
        QFETCH(PunktEkranu, cel);
        QFETCH(int, tempo);
        QFETCH(Pozycje, pozycje);
        QFETCH(Pauzy_, pauzy);

        Szybowanie g(kStart);
        g.Wykonaj(cel, tempo);

        const Pozycje faktyczne = Polozenia(g.dziennik);
        if (QTest::currentDataTag() == QByteArray("cel nieosiągalny")) {
            QCOMPARE(faktyczne.size(), size_t{200});
            QCOMPARE(faktyczne.at(99), (PunktEkranu{kStart.x + 5000, kStart.y}));
            QCOMPARE(faktyczne.at(100), (PunktEkranu{kStart.x + 5050, kStart.y}));
            QCOMPARE(faktyczne.at(101), (PunktEkranu{kStart.x + 5000, kStart.y}));
            QCOMPARE(faktyczne.back(), (PunktEkranu{kStart.x + 5000, kStart.y}));
        } else if (faktyczne != pozycje) {
            QFAIL(qPrintable(QStringLiteral("%1 zamiast %2").arg(Opis(faktyczne), Opis(pozycje))));
        }
        QCOMPARE(Pauzy(g.dziennik), pauzy);

        // The pointer is read once; the pump runs once, last.
        QCOMPARE(g.kursor.odczyty, 1);
        QVERIFY(!g.dziennik.empty());
        QVERIFY(g.dziennik.back().rodzaj == WpisKursora::Rodzaj::Pompuj);
        int pompowania = 0;
        for (const auto& w : g.dziennik) pompowania += w.rodzaj == WpisKursora::Rodzaj::Pompuj;
        QCOMPARE(pompowania, 1);
    }

    void pauzaPoKrokuOLiczbiePodzielnejPrzezPiec() {
        // Steps and pauses interleave: a pause follows steps 1, 6, 11, ...
        Szybowanie g(kStart);
        g.Wykonaj({kStart.x + 1000, kStart.y}, 100);
        int krokow = 0;
        for (const auto& w : g.dziennik) {
            if (w.rodzaj == WpisKursora::Rodzaj::Ustaw) ++krokow;
            if (w.rodzaj == WpisKursora::Rodzaj::Spij) QCOMPARE(krokow % 5, 1);
        }
    }

    void skosJestProstaDoCelu_data() {
        QTest::addColumn<PunktEkranu>("cel");
        const PunktEkranu s = kStart;
        QTest::newRow("z listy do grupy akceptacji") << PunktEkranu{s.x + 8, s.y + 246};
        QTest::newRow("w lewo i w górę") << PunktEkranu{s.x - 377, s.y - 123};
        QTest::newRow("30, 40") << PunktEkranu{s.x + 30, s.y + 40};
        QTest::newRow("krótki skos") << PunktEkranu{s.x - 7, s.y + 3};
        QTest::newRow("prawie poziomo") << PunktEkranu{s.x + 900, s.y + 1};
    }
    void skosJestProstaDoCelu() {
        QFETCH(PunktEkranu, cel);
        Szybowanie g(kStart);
        g.Wykonaj(cel, 100);
        const Pozycje p = Polozenia(g.dziennik);
        QVERIFY(!p.empty());
        QCOMPARE(p.back(), cel);
        QVERIFY(p.size() < 200);
        // Every step comes closer and no coordinate moves away from the
        // target or past it.
        PunktEkranu poprzedni = kStart;
        for (const auto& q : p) {
            QVERIFY2(std::hypot(cel.x - q.x, cel.y - q.y) <
                         std::hypot(cel.x - poprzedni.x, cel.y - poprzedni.y),
                     qPrintable(Opis({q})));
            QVERIFY(std::abs(cel.x - q.x) <= std::abs(cel.x - poprzedni.x));
            QVERIFY(std::abs(cel.y - q.y) <= std::abs(cel.y - poprzedni.y));
            QVERIFY((cel.x - q.x) * (cel.x - poprzedni.x) >= 0);
            QVERIFY((cel.y - q.y) * (cel.y - poprzedni.y) >= 0);
            poprzedni = q;
        }
        // n steps wait ceil(n / 5) times.
        QCOMPARE(Pauzy(g.dziennik).size(), (p.size() + 4) / 5);
    }

    void nieaktywnaAplikacjaNieRuszaWskaznikaAleIdzieDalej() {
        Szybowanie g(kStart);
        g.kursor.aktywna = false;
        g.Wykonaj({kStart.x + 1000, kStart.y}, 100);
        QVERIFY(Polozenia(g.dziennik).empty());
        QCOMPARE(g.kursor.pozycja, kStart);
        QCOMPARE(Pauzy(g.dziennik), Powtorz(20, 10));

        // Active again half-way: the pointer jumps to where the glide has got.
        Szybowanie h(kStart);
        int pytania = 0;
        h.kursor.czyAktywna = [&] { return ++pytania > 50; };
        h.Wykonaj({kStart.x + 1000, kStart.y}, 100);
        const Pozycje p = Polozenia(h.dziennik);
        QCOMPARE(p.size(), size_t{50});
        QCOMPARE(p.front(), (PunktEkranu{kStart.x + 510, kStart.y}));
        QCOMPARE(p.back(), (PunktEkranu{kStart.x + 1000, kStart.y}));
        QCOMPARE(pytania, 100);
    }

    void zaokraglenieNieZalezyOdTrybuWywolujacego() {
        // cos * 2.5 steps round half to even whatever mode was set before.
        const int tryb = std::fegetround();
        std::fesetround(FE_UPWARD);
        Szybowanie g(kStart);
        g.Wykonaj({kStart.x + 75, kStart.y}, 0);  // d0 = 75: step 2.5
        std::fesetround(tryb);
        const Pozycje p = Polozenia(g.dziennik);
        QVERIFY(p.size() >= 2);
        QCOMPARE(p.at(0).x, kStart.x + 2);
        QCOMPARE(p.at(1).x, kStart.x + 4);
        QCOMPARE(p.back().x, kStart.x + 75);
    }
};

QTEST_APPLESS_MAIN(PrzesunKursorTest)
#include "przesun_kursor_test.moc"
