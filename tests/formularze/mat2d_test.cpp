// The plane geometry of the pointer glide.
#include <gtest/gtest.h>

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

TEST(Mat2D, ArcusesClampTheirArgument) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Przypadek {
        const char* opis;
        double x, sinus, cosinus;
    };
    const Przypadek przypadki[] = {
        {"zero", 0.0, 0.0, pi / 2},
        {"one", 1.0, pi / 2, 0.0},
        {"minus one", -1.0, -pi / 2, pi},
        {"half", 0.5, std::asin(0.5), std::acos(0.5)},
        {"minus half", -0.5, std::asin(-0.5), std::acos(-0.5)},
        {"just above 1", 1.0000001, pi / 2, 0.0},
        {"far above 1", 7.0, pi / 2, 0.0},
        {"below -1", -3.0, -pi / 2, pi},
        {"infinity", inf, pi / 2, 0.0},
        // NaN is not at least -1, so it is taken as -1.
        {"NaN", nan, -pi / 2, pi},
    };
    for (const auto& p : przypadki) {
        EXPECT_NEAR(ArcSinus(p.x), p.sinus, 1e-12) << p.opis;
        EXPECT_NEAR(ArcCosinus(p.x), p.cosinus, 1e-12) << p.opis;
    }
}

TEST(Mat2D, DirectionOnTheScreen) {
    struct Przypadek {
        const char* opis;
        double bx, by, kat;
    };
    // From A = (10, 20); y grows downwards on the screen.
    const Przypadek przypadki[] = {
        {"right", 15, 20, 0.0},
        {"down", 10, 25, pi / 2},
        {"left", 3, 20, pi},
        {"up", 10, 12, -pi / 2},
        {"right and down", 13, 23, pi / 4},
        {"left and down", 7, 23, 3 * pi / 4},
        {"left and up", 7, 17, -3 * pi / 4},
        {"right and up", 13, 17, -pi / 4},
        {"the same point", 10, 20, 0.0},
        {"closer than 0.001", 10.0005, 19.9995, 0.0},
    };
    for (const auto& p : przypadki) EXPECT_NEAR(KatWektora(P(10, 20), P(p.bx, p.by), 0.0), p.kat, 1e-12) << p.opis;
}

TEST(Mat2D, LeftIsPiNotMinusPi) {
    EXPECT_EQ(KatWektora(P(0, 0), P(-1, 0), 0.0), pi);
    EXPECT_EQ(KatWektora(P(500, 300), P(-70000, 300), 0.0), pi);
}

TEST(Mat2D, WithReferenceZeroItIsTheTwoArgumentArcTangent) {
    int sprawdzone = 0;
    for (int ax = -3; ax <= 3; ax += 3)
        for (int ay = -2; ay <= 2; ay += 2)
            for (int dx = -40; dx <= 40; ++dx)
                for (int dy = -40; dy <= 40; ++dy) {
                    if (dx == 0 && dy == 0) continue;
                    const double wynik = KatWektora(P(ax, ay), P(ax + dx, ay + dy), 0.0);
                    ASSERT_NEAR(wynik, std::atan2(double(dy), double(dx)), 1e-12) << dx << ", " << dy;
                    ASSERT_TRUE(wynik > -pi && wynik <= pi);
                    ++sprawdzone;
                }
    EXPECT_EQ(sprawdzone, 9 * (81 * 81 - 1));
}

TEST(Mat2D, TheReferenceIsSubtractedAndCorrectedOnceEachWay) {
    struct Przypadek {
        const char* opis;
        double bx, by, odniesienie, kat;
    };
    // Vectors from the origin.
    const Przypadek przypadki[] = {
        {"down against right", 0, 1, pi / 4, pi / 4},
        {"right against down", 1, 0, pi / 2, -pi / 2},
        // Raw 7pi/4 minus pi/2 = 5pi/4 > pi: one correction down.
        {"right and up against down", 1, -1, pi / 2, -3 * pi / 4},
        // Raw pi minus -pi/2 = 3pi/2: one correction down to -pi/2.
        {"left against up", -1, 0, -pi / 2, -pi / 2},
        // Raw 0 minus pi = -pi: corrected up to pi, the closed end.
        {"right against left", 1, 0, pi, pi},
        // A reference outside (-pi, pi] gets one correction each way only.
        {"reference 5pi", 0, 1, 5 * pi, -2.5 * pi},
        {"reference -6pi", 1, 0, -6 * pi, 4 * pi},
    };
    for (const auto& p : przypadki)
        EXPECT_NEAR(KatWektora(P(0, 0), P(p.bx, p.by), p.odniesienie), p.kat, 1e-12) << p.opis;
}

}  // namespace
