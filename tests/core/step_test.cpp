#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "bits.h"
#include "reference_step.h"
#include "scene_support.h"
#include "sim/scene.h"

namespace sorvel {

namespace {

Vector3 Flat(int i, int j) { return Vector3(j - 20.0, i - 20.0, 0.0); }

void ExpectSameState(const SceneState& a, const SceneState& b, int step)
{
    for (int k = 0; k < kPointCount; ++k) {
        ASSERT_TRUE(SameBits(a.m_pos[k], b.m_pos[k])) << "position " << k << " after step " << step;
        ASSERT_TRUE(SameBits(a.m_vel[k], b.m_vel[k])) << "velocity " << k << " after step " << step;
    }
}

void ExpectAllFinite(const SceneState& s)
{
    for (int k = 0; k < kPointCount; ++k) {
        ASSERT_TRUE(std::isfinite(s.m_pos[k].x) && std::isfinite(s.m_pos[k].y) && std::isfinite(s.m_pos[k].z))
            << "position " << k;
        ASSERT_TRUE(std::isfinite(s.m_vel[k].x) && std::isfinite(s.m_vel[k].y) && std::isfinite(s.m_vel[k].z))
            << "velocity " << k;
    }
}

}  // namespace

TEST(StepSheet, FlatSheetAtRestNeverMoves)
{
    auto s = NewScene();
    for (int n = 0; n < 50; ++n) {
        s->StepSheet();
    }
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            ASSERT_TRUE(SameBits(s->m_pos[PointIndex(i, j)], Flat(i, j)));
            ASSERT_TRUE(SameBits(s->m_vel[PointIndex(i, j)], Vector3(0, 0, 0)));
        }
    }
}

TEST(StepSheet, PokeThenTwoSteps)
{
    auto s = NewScene();
    s->PokeSheet();
    s->StepSheet();

    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            const bool block = i >= 18 && i <= 22 && j >= 18 && j <= 22;
            const int k = PointIndex(i, j);
            const Vector3 pos = block ? Vector3(j - 20.0, i - 20.0, 0.1) : Flat(i, j);
            ASSERT_TRUE(SameBits(s->m_pos[k], pos)) << "point " << k;
            ASSERT_TRUE(SameBits(s->m_vel[k], Vector3(0, 0, block ? 1.0 : 0.0))) << "point " << k;
        }
    }

    s->StepSheet();

    const Vector3& centre = s->m_pos[PointIndex(20, 20)];
    EXPECT_EQ(centre.z, 0.2);
    EXPECT_TRUE(SameBits(s->m_vel[PointIndex(20, 20)], Vector3(0, 0, 1.0)));

    const Vector3& corner = s->m_vel[PointIndex(18, 18)];
    EXPECT_NEAR(corner.x, -0.0248140490, 5e-11);
    EXPECT_NEAR(corner.y, -0.0248140490, 5e-11);
    EXPECT_NEAR(corner.z, 0.995037190, 5e-10);

    const Vector3& outsideVel = s->m_vel[PointIndex(18, 17)];
    EXPECT_NEAR(outsideVel.x, 0.0248140490, 5e-11);
    EXPECT_EQ(outsideVel.y, 0.0);
    EXPECT_NEAR(outsideVel.z, 0.00248140490, 5e-12);
    const Vector3& outsidePos = s->m_pos[PointIndex(18, 17)];
    EXPECT_NEAR(outsidePos.x, -2.99751860, 5e-9);
    EXPECT_EQ(outsidePos.y, -2.0);
    EXPECT_NEAR(outsidePos.z, 0.000248140490, 5e-13);
}

TEST(StepSheet, RaisedPointIsPulledBack)
{
    auto s = NewScene();
    s->m_pos[PointIndex(20, 20)].z = 0.1;
    s->StepSheet();

    const Vector3& v = s->m_vel[PointIndex(20, 20)];
    EXPECT_EQ(v.x, 0.0);
    EXPECT_EQ(v.y, 0.0);
    EXPECT_NEAR(v.z, -0.00992561958, 5e-12);
    EXPECT_NEAR(s->m_pos[PointIndex(20, 20)].z, 0.0990074380, 5e-11);

    const Vector3& right = s->m_vel[PointIndex(20, 21)];
    EXPECT_NEAR(right.x, -0.0248140490, 5e-11);
    EXPECT_EQ(right.y, 0.0);
    EXPECT_NEAR(right.z, 0.00248140490, 5e-12);
    const Vector3& rightPos = s->m_pos[PointIndex(20, 21)];
    EXPECT_NEAR(rightPos.x, 0.997518595, 5e-10);
    EXPECT_EQ(rightPos.y, 0.0);
    EXPECT_NEAR(rightPos.z, 0.000248140490, 5e-13);

    const Vector3& below = s->m_vel[PointIndex(21, 20)];
    EXPECT_EQ(below.x, 0.0);
    EXPECT_NEAR(below.y, -0.0248140490, 5e-11);
    EXPECT_NEAR(below.z, 0.00248140490, 5e-12);
}

TEST(StepSheet, RimNeverMoves)
{
    auto s = NewScene();
    for (int n = 0; n < 600; ++n) {
        if (n % 7 == 0 || (n > 300 && n < 330)) {
            s->PokeSheet();
        }
        if (n == 450) {
            s->ResetSheet();
        }
        s->StepSheet();
    }
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            if (IsRim(i, j)) {
                ASSERT_TRUE(SameBits(s->m_pos[PointIndex(i, j)], Flat(i, j))) << i << "," << j;
                ASSERT_TRUE(SameBits(s->m_vel[PointIndex(i, j)], Vector3(0, 0, 0))) << i << "," << j;
            }
        }
    }
}

TEST(StepSheet, MatchesThePlainStepBitForBit)
{
    auto fast = NewScene();
    auto plain = NewScene();
    for (int n = 0; n < 1500; ++n) {
        // Pokes keep coming, in bursts and alone, so the velocities keep growing.
        if (n % 50 < 5 || n % 37 == 0) {
            fast->PokeSheet();
            plain->PokeSheet();
        }
        if (n == 1200) {
            fast->ResetSheet();
            plain->ResetSheet();
        }
        fast->StepSheet();
        reference::StepSheet(*plain);
        ExpectSameState(*fast, *plain, n);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST(StepSheet, VisitingOrderDoesNotMatter)
{
    auto fast = NewScene();
    auto reversed = NewScene();
    fast->PokeSheet();
    reversed->PokeSheet();
    for (int n = 0; n < 100; ++n) {
        fast->StepSheet();
        reference::StepSheet(*reversed, [](int m) { return reference::RowMajor(38 * 38 - 1 - m); });
    }
    ExpectSameState(*fast, *reversed, 100);
}

TEST(StepSheet, CoincidentNeighboursExertNoForce)
{
    auto fast = NewScene();
    fast->m_pos[PointIndex(10, 11)] = fast->m_pos[PointIndex(10, 10)];
    // Neighbours so close that the squared length underflows to zero.
    fast->m_pos[PointIndex(30, 5)] = Vector3(fast->m_pos[PointIndex(29, 5)].x + 1e-200,
                                             fast->m_pos[PointIndex(29, 5)].y, 0.0);
    // A rim point and its interior neighbour on the same spot.
    fast->m_pos[PointIndex(1, 1)] = fast->m_pos[PointIndex(0, 1)];
    auto plain = std::make_unique<SceneState>(*fast);

    fast->StepSheet();
    reference::StepSheet(*plain);
    ExpectSameState(*fast, *plain, 1);
    ExpectAllFinite(*fast);

    for (int n = 0; n < 300; ++n) {
        fast->StepSheet();
        reference::StepSheet(*plain);
    }
    ExpectSameState(*fast, *plain, 301);
    ExpectAllFinite(*fast);
}

}  // namespace sorvel
