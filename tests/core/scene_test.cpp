#include <gtest/gtest.h>

#include <memory>

#include "bits.h"
#include "scene_support.h"
#include "sim/scene.h"

namespace sorvel {

namespace {

void ExpectVector(const Vector3& v, double x, double y, double z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

bool InPokeBlock(int k)
{
    const int i = k / kGridSize, j = k % kGridSize;
    return i >= 18 && i <= 22 && j >= 18 && j <= 22;
}

}  // namespace

TEST(Scene, InitSceneSetsViewAndFlatSheet)
{
    auto s = std::make_unique<SceneState>();
    EXPECT_EQ(s->m_cxClient, 0);
    EXPECT_EQ(s->m_cyClient, 0);
    s->m_cxClient = 400;
    s->m_cyClient = 300;
    s->InitScene();

    EXPECT_EQ(s->m_bRebuildBuffer, 1);
    EXPECT_EQ(s->m_angleX, -0.4);
    EXPECT_EQ(s->m_angleY, 0.0);
    EXPECT_EQ(s->m_angleZ, 7.2);
    ExpectVector(s->m_camera, 0.0, -100.0, 0.0);
    EXPECT_EQ(s->m_cxClient, 400) << "the client size belongs to the size handler";
    EXPECT_EQ(s->m_cyClient, 300);

    ExpectVector(s->m_pos[0], -20, -20, 0);
    ExpectVector(s->m_pos[39], 19, -20, 0);
    ExpectVector(s->m_pos[1560], -20, 19, 0);
    ExpectVector(s->m_pos[1599], 19, 19, 0);
    ExpectVector(s->m_pos[820], 0, 0, 0);
    EXPECT_TRUE(FlatAndAtRest(*s));
}

TEST(Scene, ResetKeepsTheView)
{
    auto s = NewScene();
    s->m_angleX = 1.5;
    s->m_angleZ = -3.0;
    s->m_bRebuildBuffer = 0;
    s->PokeSheet();
    s->StepSheet();
    s->StepSheet();

    s->ResetSheet();

    EXPECT_TRUE(FlatAndAtRest(*s));
    EXPECT_EQ(s->m_angleX, 1.5);
    EXPECT_EQ(s->m_angleZ, -3.0);
    ExpectVector(s->m_camera, 0.0, -100.0, 0.0);
    EXPECT_EQ(s->m_bRebuildBuffer, 0);
}

TEST(Scene, PokeAddsOneToTheBlockEachTime)
{
    auto s = NewScene();
    s->PokeSheet();
    s->PokeSheet();

    for (int k = 0; k < kPointCount; ++k) {
        const double z = InPokeBlock(k) ? 2.0 : 0.0;
        ASSERT_TRUE(SameBits(s->m_vel[k], Vector3(0.0, 0.0, z))) << "point " << k;
    }
    EXPECT_EQ(s->m_vel[738].z, 2.0);
    EXPECT_EQ(s->m_vel[820].z, 2.0);
    EXPECT_EQ(s->m_vel[902].z, 2.0);
    EXPECT_EQ(s->m_vel[700].z, 0.0);
    EXPECT_EQ(s->m_vel[823].z, 0.0);
    ExpectVector(s->m_pos[820], 0, 0, 0);
}

TEST(Scene, ResetAndPokeInEitherOrder)
{
    auto s = NewScene();
    s->PokeSheet();
    s->ResetSheet();
    EXPECT_TRUE(FlatAndAtRest(*s));

    // Within one tick the reset comes first: a flat sheet with the block moving up.
    s->PokeSheet();
    s->StepSheet();
    s->ResetSheet();
    s->PokeSheet();
    for (int k = 0; k < kPointCount; ++k) {
        const int i = k / kGridSize, j = k % kGridSize;
        ASSERT_TRUE(SameBits(s->m_pos[k], Vector3(j - 20.0, i - 20.0, 0.0)));
        ASSERT_TRUE(SameBits(s->m_vel[k], Vector3(0.0, 0.0, InPokeBlock(k) ? 1.0 : 0.0)));
    }
}

}  // namespace sorvel
