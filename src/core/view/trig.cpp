// Argument reduction by Cody and Waite with pi / 2 split into three parts, and the
// minimax polynomials of the classic freely distributable math library (fdlibm).
#include "view/trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace sorvel {
namespace {

constexpr double kInvPio2 = 6.36619772367581382433e-01;  // 2 / pi
constexpr double kPio2_1 = 1.57079632673412561417e+00;   // first 33 bits of pi / 2
constexpr double kPio2_1t = 6.07710050650619224932e-11;  // pi / 2 - kPio2_1
constexpr double kPio2_2 = 6.07710050630396597660e-11;   // second 33 bits of pi / 2
constexpr double kPio2_2t = 2.02226624879595063154e-21;  // pi / 2 - (kPio2_1 + kPio2_2)
constexpr double kPio2_3 = 2.02226624871116645580e-21;   // third 33 bits of pi / 2
constexpr double kPio2_3t = 8.47842766036889956997e-32;  // pi / 2 - (kPio2_1 + kPio2_2 + kPio2_3)
constexpr double kTwoPi = 6.28318530717958647693e+00;

constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;

constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;

// The upper 32 bits of |x|: sign cleared, exponent and top of the mantissa.
uint32_t HighWord(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return static_cast<uint32_t>(bits >> 32) & 0x7fffffffu;
}

int Exponent(double x) { return static_cast<int>(HighWord(x) >> 20); }

constexpr uint32_t kTinyHigh = 0x3e400000;        // |x| < 2^-27: sin x = x, cos x = 1
constexpr uint32_t kPiOver4High = 0x3fe921fb;      // |x| <= about pi / 4
constexpr uint32_t kMediumLimitHigh = 0x413921fb;  // |x| <= about 2^20 * pi / 2

// sin(x + y) for |x + y| <= pi / 4, where y is the tail of a reduced argument.
double KernelSin(double x, double y, bool hasTail)
{
    const double z = x * x;
    const double w = z * z;
    const double r = kS2 + z * (kS3 + z * kS4) + z * w * (kS5 + z * kS6);
    const double v = z * x;
    if (!hasTail) {
        return x + v * (kS1 + z * r);
    }
    return x - ((z * (0.5 * y - v * r) - y) - v * kS1);
}

// cos(x + y) for |x + y| <= pi / 4.
double KernelCos(double x, double y)
{
    const double z = x * x;
    const double w = z * z;
    const double r = z * (kC1 + z * (kC2 + z * kC3)) + w * w * (kC4 + z * (kC5 + z * kC6));
    const double halfZ = 0.5 * z;
    const double oneMinus = 1.0 - halfZ;
    return oneMinus + (((1.0 - oneMinus) - halfZ) + (z * r - x * y));
}

struct Reduced {
    int quadrant;  // x = quadrant * pi / 2 + (hi + lo)
    double hi;
    double lo;
};

// For pi / 4 < |x| <= 2^20 * pi / 2. Each product quadrant * kPio2_n is exact, and a
// further part of pi / 2 is taken only when the subtraction cancelled many bits.
Reduced ReduceMedium(double x)
{
    const double t = std::fabs(x);
    const int n = static_cast<int>(t * kInvPio2 + 0.5);
    const double fn = n;
    double r = t - fn * kPio2_1;
    double w = fn * kPio2_1t;
    double hi = r - w;
    const int exponent = Exponent(t);
    if (exponent - Exponent(hi) > 16) {
        double u = r;
        w = fn * kPio2_2;
        r = u - w;
        w = fn * kPio2_2t - ((u - r) - w);
        hi = r - w;
        if (exponent - Exponent(hi) > 49) {
            u = r;
            w = fn * kPio2_3;
            r = u - w;
            w = fn * kPio2_3t - ((u - r) - w);
            hi = r - w;
        }
    }
    const double lo = (r - hi) - w;
    if (x < 0.0) {
        return Reduced{-n, -hi, -lo};
    }
    return Reduced{n, hi, lo};
}

}  // namespace

SineCosine SinCos(double x)
{
    uint32_t high = HighWord(x);
    if (high >= 0x7ff00000u) {
        const double nan = x - x;
        return SineCosine{nan, nan};
    }
    if (high < kTinyHigh) {
        return SineCosine{x, 1.0};
    }
    if (high <= kPiOver4High) {
        return SineCosine{KernelSin(x, 0.0, false), KernelCos(x, 0.0)};
    }
    if (high > kMediumLimitHigh) {
        // fmod is exact, so this stays deterministic; the angle is off by the tiny
        // difference between kTwoPi and 2 pi for every turn removed.
        x = std::fmod(x, kTwoPi);
        high = HighWord(x);
        if (high < kTinyHigh) {
            // A tiny remainder, as a tiny argument above. The kernels would give the same
            // bits, but +0 for a remainder of -0, and the sine would no longer be odd.
            return SineCosine{x, 1.0};
        }
        if (high <= kPiOver4High) {
            return SineCosine{KernelSin(x, 0.0, false), KernelCos(x, 0.0)};
        }
    }
    const Reduced r = ReduceMedium(x);
    const double s = KernelSin(r.hi, r.lo, true);
    const double c = KernelCos(r.hi, r.lo);
    switch (r.quadrant & 3) {
    case 0:
        return SineCosine{s, c};
    case 1:
        return SineCosine{c, -s};
    case 2:
        return SineCosine{-s, -c};
    default:
        return SineCosine{-c, s};
    }
}

}  // namespace sorvel
