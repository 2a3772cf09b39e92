// The elementary functions of the survey numbers, computed the same to the
// last bit on every target. The C library's exp and log differ between
// systems in the last place (MinGW's, glibc's and emscripten's do), and a
// last place differs in the tool's 17-digit output or steers a fit along
// another path; these use only IEEE double addition, multiplication,
// division and exact scaling, which every target rounds alike (no fused
// multiply-add is contracted: the build is ISO C++ and x86-64 has none).
//
// Accuracy: Exp and Log within 1 ulp (fdlibm's reductions and minimax
// polynomials); Log2 and Log10 within 2 ulp, Log1p 3, Pow10 1.5, and
// exact where the result is: Log10(10^n) = n and Pow10(n) = 10^n for the
// powers of ten a double holds exactly (n from 0 to 22), Log(1) = 0, Exp(0) = 1.
#pragma once

namespace tavrin::sounding {

// e^x; +inf above about 709.78, 0 below about -745.13, NaN for NaN.
double Exp(double x);

// ln x; -inf at 0, NaN below 0 and for NaN, +inf at +inf.
double Log(double x);

// ln(1 + x), accurate for small x.
double Log1p(double x);

// log2 x and log10 x.
double Log2(double x);
double Log10(double x);

// 10^y.
double Pow10(double y);

// e^x - 1, accurate for small x (within 3 ulp).
double Expm1(double x);

// sqrt(a^2 + b^2) without overflow or underflow on the way.
double Hypot(double a, double b);

// cos x for |x| <= 4, by its Taylor series (within 2 ulp there): enough for
// the starting guesses of quadrature nodes, which Newton's method refines.
double Cos(double x);

// a^b for a > 0, as Exp(b Log a): the error grows with |b ln a| (about
// |b ln a| / 2 ulp); for curves and spacings, not for exact powers.
double Pow(double a, double b);

}  // namespace tavrin::sounding
