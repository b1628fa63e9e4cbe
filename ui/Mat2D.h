#pragma once
// The plane geometry of the pointer glide: a point of two real coordinates,
// guarded arc sine and arc cosine, and the direction of the vector between
// two points. Screen convention: y grows downwards, so an angle of pi/2
// points straight down.

struct TPunkt2D {
    double X = 0.0;
    double Y = 0.0;
};

void UstawPunkt(TPunkt2D& P, double X, double Y);

// Arc sine of x clamped to [-1, 1]; the result lies in [-pi/2, pi/2].
double ArcSinus(double x);

// Arc cosine of x clamped to [-1, 1]; the result lies in [0, pi].
double ArcCosinus(double x);

// Direction of the vector from A to B, measured from the positive x axis
// towards the positive y axis, minus the reference angle, in (-pi, pi]
// whenever the reference lies in (-pi, pi].
double KatWektora(const TPunkt2D& A, const TPunkt2D& B, double odniesienie);
