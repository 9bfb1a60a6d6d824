#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "bits.h"
#include "view/trig.h"

namespace {

// Distance in units in the last place between two finite doubles of the same sign.
uint64_t UlpDistance(double a, double b)
{
    if (a == b) {
        return 0;
    }
    if (std::signbit(a) != std::signbit(b)) {
        return UINT64_MAX;
    }
    const uint64_t x = Bits(std::fabs(a)), y = Bits(std::fabs(b));
    return x > y ? x - y : y - x;
}

void ExpectCloseToLibrary(double x)
{
    const sorvel::SineCosine r = sorvel::SinCos(x);
    // Both are within one unit of the true value, so they are at most one apart
    // where the library rounds correctly and two where it does not.
    EXPECT_LE(UlpDistance(r.sine, std::sin(x)), 2u) << "sin " << x;
    EXPECT_LE(UlpDistance(r.cosine, std::cos(x)), 2u) << "cos " << x;
}

}  // namespace

TEST(SinCos, AgreesWithTheLibraryOverTheViewAngles)
{
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> small(-4.0, 4.0);
    std::uniform_real_distribution<double> medium(-2000.0, 2000.0);
    std::uniform_real_distribution<double> large(-1.6e6, 1.6e6);
    for (int n = 0; n < 100000; ++n) {
        ExpectCloseToLibrary(small(random));
        ExpectCloseToLibrary(medium(random));
        ExpectCloseToLibrary(large(random));
        if (HasFailure()) {
            return;
        }
    }
    // Angles the keys reach from the start values, by repeated steps of 0.1.
    for (double a = -0.4, z = 7.2, n = 0; n < 5000; ++n, a -= 0.1, z += 0.1) {
        ExpectCloseToLibrary(a);
        ExpectCloseToLibrary(z);
    }
    // Multiples of pi / 2, where the reduction cancels the most.
    for (int k = -4000; k <= 4000; ++k) {
        ExpectCloseToLibrary(k * 1.57079632679489661923);
    }
}

TEST(SinCos, SpecialValues)
{
    EXPECT_EQ(Bits(sorvel::SinCos(0.0).sine), Bits(0.0));
    EXPECT_EQ(Bits(sorvel::SinCos(-0.0).sine), Bits(-0.0));
    EXPECT_EQ(sorvel::SinCos(0.0).cosine, 1.0);
    EXPECT_EQ(sorvel::SinCos(1e-300).sine, 1e-300);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {nan, inf, -inf}) {
        EXPECT_TRUE(std::isnan(sorvel::SinCos(x).sine));
        EXPECT_TRUE(std::isnan(sorvel::SinCos(x).cosine));
    }
}

TEST(SinCos, HugeAnglesStayOnTheUnitCircle)
{
    for (double x : {2e6, -3.3e7, 1e15, 1e300, -std::numeric_limits<double>::max()}) {
        const sorvel::SineCosine r = sorvel::SinCos(x);
        ASSERT_TRUE(std::isfinite(r.sine) && std::isfinite(r.cosine)) << x;
        EXPECT_NEAR(r.sine * r.sine + r.cosine * r.cosine, 1.0, 1e-15) << x;
    }
    // Within the range a person can reach, still accurate.
    ExpectCloseToLibrary(1e6);
}
