#include "Mat2D.h"

#include <cmath>
#include <numbers>

void UstawPunkt(TPunkt2D& P, double X, double Y) {
    P.X = X;
    P.Y = Y;
}

namespace {

// A value above 1 becomes 1; anything not at least -1 (NaN included) becomes -1.
double Przytnij(double x) {
    if (x > 1.0) x = 1.0;
    if (!(x >= -1.0)) x = -1.0;
    return x;
}

}  // namespace

double ArcSinus(double x) {
    x = Przytnij(x);
    return std::atan2(x, std::sqrt(1.0 - x * x));
}

double ArcCosinus(double x) {
    x = Przytnij(x);
    return std::atan2(std::sqrt(1.0 - x * x), x);
}

double KatWektora(const TPunkt2D& A, const TPunkt2D& B, double odniesienie) {
    constexpr double pi = std::numbers::pi;
    const double dx = B.X - A.X;
    const double dy = B.Y - A.Y;
    const double d = std::sqrt((A.X - B.X) * (A.X - B.X) + (A.Y - B.Y) * (A.Y - B.Y));

    // The raw angle is in [0, 2*pi): each half-plane takes the function that
    // is well conditioned there.
    double kat;
    if (d < 0.001 || (A.X == B.X && A.Y == B.Y))
        kat = 0.0;
    else if (dy >= 0.0)
        kat = ArcCosinus(dx / d);
    else if (dx >= 0.0)
        kat = ArcSinus(dy / d) + 2.0 * pi;
    else
        kat = std::atan(dy / dx) + pi;

    if (odniesienie != 0.0) kat -= odniesienie;

    // One correction each way brings the result into (-pi, pi].
    if (kat > pi) kat -= 2.0 * pi;
    if (kat <= -pi) kat += 2.0 * pi;
    return kat;
}
