#include <gtest/gtest.h>

#include "sim/vector3.h"

namespace sorvel {

TEST(Vector3, ArithmeticIsComponentWise)
{
    const Vector3 a(1.0, 2.0, 2.0);
    const Vector3 b(0.5, -4.0, 8.0);

    EXPECT_EQ(a.LengthSquared(), 9.0);

    const Vector3 sum = a + b;
    EXPECT_EQ(sum.x, 1.5);
    EXPECT_EQ(sum.y, -2.0);
    EXPECT_EQ(sum.z, 10.0);

    const Vector3 diff = a - b;
    EXPECT_EQ(diff.x, 0.5);
    EXPECT_EQ(diff.y, 6.0);
    EXPECT_EQ(diff.z, -6.0);

    const Vector3 quotient = b / 4.0;
    EXPECT_EQ(quotient.x, 0.125);
    EXPECT_EQ(quotient.y, -1.0);
    EXPECT_EQ(quotient.z, 2.0);

    Vector3 acc(1.0, 1.0, 1.0);
    Vector3& self = (acc += b);
    EXPECT_EQ(&self, &acc);
    EXPECT_EQ(acc.x, 1.5);
    EXPECT_EQ(acc.y, -3.0);
    EXPECT_EQ(acc.z, 9.0);
}

TEST(Vector3, ScaledCopyLeavesOperandAlone)
{
    const Vector3 v(10.0, 0.0, -10.0);
    const Vector3 scaled = v * 0.1;
    EXPECT_EQ(scaled.x, 1.0);
    EXPECT_EQ(scaled.y, 0.0);
    EXPECT_EQ(scaled.z, -1.0);
    EXPECT_EQ(v.x, 10.0);
    EXPECT_EQ(v.z, -10.0);
}

TEST(Vector3, LengthSquaredAddsXAndYFirst)
{
    // 1e16 + 1 rounds back to 1e16, so the order of the two additions shows.
    const Vector3 v(1e8, 1.0, 1.0);
    EXPECT_EQ(v.LengthSquared(), 1e16);
    EXPECT_NE(v.LengthSquared(), 1e16 + 2.0);
}

}  // namespace sorvel
