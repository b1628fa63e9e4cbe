// The plane geometry of the pointer glide.
#include <QTest>
#include <cmath>
#include <limits>
#include <numbers>

#include "Mat2D.h"

namespace {
constexpr double pi = std::numbers::pi;

TPunkt2D P(double x, double y) {
    TPunkt2D p;
    UstawPunkt(p, x, y);
    return p;
}
}  // namespace

class Mat2DTest : public QObject {
    Q_OBJECT
private slots:
    void arcusyPrzycinajaArgument_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("sinus");
        QTest::addColumn<double>("cosinus");
        QTest::newRow("zero") << 0.0 << 0.0 << pi / 2;
        QTest::newRow("jeden") << 1.0 << pi / 2 << 0.0;
        QTest::newRow("minus jeden") << -1.0 << -pi / 2 << pi;
        QTest::newRow("połowa") << 0.5 << std::asin(0.5) << std::acos(0.5);
        QTest::newRow("minus połowa") << -0.5 << std::asin(-0.5) << std::acos(-0.5);
        QTest::newRow("tuż ponad 1") << 1.0000001 << pi / 2 << 0.0;
        QTest::newRow("daleko ponad 1") << 7.0 << pi / 2 << 0.0;
        QTest::newRow("poniżej -1") << -3.0 << -pi / 2 << pi;
        QTest::newRow("nieskończoność") << std::numeric_limits<double>::infinity() << pi / 2 << 0.0;
        // NaN is not at least -1, so it is taken as -1.
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << -pi / 2 << pi;
    }
    void arcusyPrzycinajaArgument() {
        QFETCH(double, x);
        QFETCH(double, sinus);
        QFETCH(double, cosinus);
        const double s = ArcSinus(x);
        const double c = ArcCosinus(x);
        QVERIFY2(std::abs(s - sinus) < 1e-12, qPrintable(QString::number(s, 'g', 17)));
        QVERIFY2(std::abs(c - cosinus) < 1e-12, qPrintable(QString::number(c, 'g', 17)));
    }

    void katWektoraKierunkiEkranu_data() {
        QTest::addColumn<double>("bx");
        QTest::addColumn<double>("by");
        QTest::addColumn<double>("kat");
        // From A = (10, 20); y grows downwards on the screen.
        QTest::newRow("w prawo") << 15.0 << 20.0 << 0.0;
        QTest::newRow("w dół") << 10.0 << 25.0 << pi / 2;
        QTest::newRow("w lewo") << 3.0 << 20.0 << pi;
        QTest::newRow("w górę") << 10.0 << 12.0 << -pi / 2;
        QTest::newRow("w prawo i w dół") << 13.0 << 23.0 << pi / 4;
        QTest::newRow("w lewo i w dół") << 7.0 << 23.0 << 3 * pi / 4;
        QTest::newRow("w lewo i w górę") << 7.0 << 17.0 << -3 * pi / 4;
        QTest::newRow("w prawo i w górę") << 13.0 << 17.0 << -pi / 4;
        QTest::newRow("ten sam punkt") << 10.0 << 20.0 << 0.0;
        QTest::newRow("bliżej niż 0,001") << 10.0005 << 19.9995 << 0.0;
    }
    void katWektoraKierunkiEkranu() {
        QFETCH(double, bx);
        QFETCH(double, by);
        QFETCH(double, kat);
        const double wynik = KatWektora(P(10, 20), P(bx, by), 0.0);
        QVERIFY2(std::abs(wynik - kat) < 1e-12, qPrintable(QString::number(wynik, 'g', 17)));
    }

    void wLewoToPiANieMinusPi() {
        // Exactly pi, also for a vector far to the left.
        QCOMPARE(KatWektora(P(0, 0), P(-1, 0), 0.0), pi);
        QCOMPARE(KatWektora(P(500, 300), P(-70000, 300), 0.0), pi);
        QVERIFY(KatWektora(P(0, 0), P(-1, 0), 0.0) > 0.0);
    }

    void zOdniesieniemZeroToArcusTangensDwuargumentowy() {
        int sprawdzone = 0;
        for (int ax = -3; ax <= 3; ax += 3)
            for (int ay = -2; ay <= 2; ay += 2)
                for (int dx = -40; dx <= 40; ++dx)
                    for (int dy = -40; dy <= 40; ++dy) {
                        if (dx == 0 && dy == 0) continue;
                        const double oczekiwany = std::atan2(double(dy), double(dx));
                        const double wynik = KatWektora(P(ax, ay), P(ax + dx, ay + dy), 0.0);
                        if (std::abs(wynik - oczekiwany) > 1e-12)
                            QFAIL(qPrintable(QStringLiteral("(%1, %2): %3 zamiast %4")
                                                 .arg(dx).arg(dy).arg(wynik, 0, 'g', 17)
                                                 .arg(oczekiwany, 0, 'g', 17)));
                        QVERIFY(wynik > -pi && wynik <= pi);
                        ++sprawdzone;
                    }
        QCOMPARE(sprawdzone, 9 * (81 * 81 - 1));
    }

    void odniesienieOdejmujeIPoprawiaRazWKazdaStrone_data() {
        QTest::addColumn<double>("bx");
        QTest::addColumn<double>("by");
        QTest::addColumn<double>("odniesienie");
        QTest::addColumn<double>("kat");
        // Vectors from the origin.
        QTest::newRow("w dół względem w prawo") << 0.0 << 1.0 << pi / 4 << pi / 4;
        QTest::newRow("w prawo względem w dół") << 1.0 << 0.0 << pi / 2 << -pi / 2;
        // Raw 7pi/4 minus pi/2 = 5pi/4 > pi: one correction down.
        QTest::newRow("w prawo i w górę względem w dół") << 1.0 << -1.0 << pi / 2 << -3 * pi / 4;
        // Raw pi minus -pi/2 = 3pi/2: one correction down to -pi/2.
        QTest::newRow("w lewo względem w górę") << -1.0 << 0.0 << -pi / 2 << -pi / 2;
        // Raw 0 minus pi = -pi: corrected up to pi, the closed end.
        QTest::newRow("w prawo względem w lewo") << 1.0 << 0.0 << pi << pi;
        // A reference outside (-pi, pi] gets only one correction each way:
        // raw pi/2 minus 5pi = -4.5pi, + 2pi = -2.5pi.
        QTest::newRow("odniesienie 5pi") << 0.0 << 1.0 << 5 * pi << -2.5 * pi;
        // raw 0 minus -6pi = 6pi, - 2pi = 4pi.
        QTest::newRow("odniesienie -6pi") << 1.0 << 0.0 << -6 * pi << 4 * pi;
    }
    void odniesienieOdejmujeIPoprawiaRazWKazdaStrone() {
        QFETCH(double, bx);
        QFETCH(double, by);
        QFETCH(double, odniesienie);
        QFETCH(double, kat);
        const double wynik = KatWektora(P(0, 0), P(bx, by), odniesienie);
        QVERIFY2(std::abs(wynik - kat) < 1e-12, qPrintable(QString::number(wynik, 'g', 17)));
    }
};

QTEST_APPLESS_MAIN(Mat2DTest)
#include "mat2d_test.moc"
