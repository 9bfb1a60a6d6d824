#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "sim/scene.h"

namespace sorvel {

namespace {

constexpr double kHalfPi = 1.57079632679489661923;

class Camera : public ::testing::Test {
protected:
    void SetUp() override
    {
        s = std::make_unique<SceneState>();
        s->InitScene();
        s->m_cxClient = 400;
        s->m_cyClient = 300;
    }

    void SetAngles(double x, double y, double z)
    {
        s->m_angleX = x;
        s->m_angleY = y;
        s->m_angleZ = z;
        s->BuildRotation();
    }

    Vector3 Project(const Vector3& world)
    {
        Vector3 rotated, projected;
        s->RotatePoint(world, rotated);
        s->ProjectPoint(rotated, projected);
        return projected;
    }

    void ExpectPixel(const Vector3& world, double column, double row)
    {
        const Vector3 p = Project(world);
        EXPECT_EQ(p.x, column) << "(" << world.x << ", " << world.y << ", " << world.z << ")";
        EXPECT_EQ(p.y, row) << "(" << world.x << ", " << world.y << ", " << world.z << ")";
    }

    std::unique_ptr<SceneState> s;
};

}  // namespace

TEST_F(Camera, RotationAtStartAngles)
{
    s->BuildRotation();
    const double expected[3][3] = {{0.608351, -0.793668, 0.0},
                                   {0.731017, 0.560329, 0.389418},
                                   {-0.309069, -0.236903, 0.921061}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(s->m_rot[i][j], expected[i][j], 5e-7) << i << "," << j;
        }
    }
    EXPECT_EQ(s->m_rot[0][2], 0.0);
    EXPECT_TRUE(std::signbit(s->m_rot[0][2])) << "-cos(a) * sin(0) is a negative zero";
}

TEST_F(Camera, StartViewOfTheSheetCorner)
{
    s->BuildRotation();
    Vector3 rotated, projected;
    s->RotatePoint(Vector3(-20, -20, 0), rotated);
    EXPECT_NEAR(rotated.x, 3.7063, 5e-5);
    EXPECT_NEAR(rotated.y, -25.8269, 5e-5);
    EXPECT_NEAR(rotated.z, 10.9194, 5e-5);
    s->ProjectPoint(rotated, projected);
    EXPECT_EQ(projected.x, 249.0);
    EXPECT_EQ(projected.y, 297.0);
    EXPECT_NEAR(projected.z, 7.4173, 5e-5);

    // The grid's centre point lies at the world origin and lands on the centre.
    ExpectPixel(Vector3(0, 0, 0), 200, 150);
}

TEST_F(Camera, IdentityView)
{
    SetAngles(0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(s->m_rot[i][j], i == j ? 1.0 : 0.0);
        }
    }
    const Vector3 origin = Project(Vector3(0, 0, 0));
    EXPECT_EQ(origin.x, 200);
    EXPECT_EQ(origin.y, 150);
    EXPECT_EQ(origin.z, 10.0);
    ExpectPixel(Vector3(1, 0, 0), 210, 150);
    ExpectPixel(Vector3(0, 0, -1), 200, 140);
    ExpectPixel(Vector3(0, 0, 1), 200, 160);
    const Vector3 far = Project(Vector3(0, 10, 0));
    EXPECT_EQ(far.x, 200);
    EXPECT_EQ(far.y, 150);
    EXPECT_EQ(far.z, 11.0);

    // Edge-on: the whole flat sheet lands on the middle row.
    for (int k = 0; k < kPointCount; ++k) {
        ASSERT_EQ(Project(s->m_pos[k]).y, 150.0) << "point " << k;
    }
}

TEST_F(Camera, MorePixelsPerInchScaleTheOffsetsNotTheCentre)
{
    SetAngles(0, 0, 0);
    s->m_pixelsPerUnit = 100.0 * 192 / 96;
    ExpectPixel(Vector3(1, 0, 0), 220, 150);
    ExpectPixel(Vector3(0, 0, -1), 200, 130);
    s->m_pixelsPerUnit = 100.0 * 144 / 96;  // exactly 150
    ExpectPixel(Vector3(-0.35, 0, 0), 194, 150);  // 194.75
    ExpectPixel(Vector3(1, 0, 1), 215, 165);
}

TEST_F(Camera, TruncatesTowardZeroAfterAddingTheHalfSize)
{
    SetAngles(0, 0, 0);
    ExpectPixel(Vector3(-0.35, 0, 0), 196, 150);  // 196.5
    ExpectPixel(Vector3(-20.35, 0, 0), -3, 150);  // about -3.5

    s->m_cxClient = 401;
    s->m_cyClient = 301;
    ExpectPixel(Vector3(0, 0, 0), 200, 150);

    s->m_cxClient = 1;
    s->m_cyClient = 1;
    ExpectPixel(Vector3(0, 0, 0), 0, 0);
}

TEST_F(Camera, TurnsAsSeenInTheWindow)
{
    SetAngles(-kHalfPi, 0, 0);  // face-on: +x right, +y up
    ExpectPixel(Vector3(10, 0, 0), 300, 150);
    ExpectPixel(Vector3(0, 10, 0), 200, 50);

    SetAngles(-0.4, 0, 0);
    ExpectPixel(Vector3(10, 0, 0), 300, 150);
    SetAngles(-0.4, 0, 1.0);
    ExpectPixel(Vector3(10, 0, 0), 250, 119);
}

TEST_F(Camera, PointsAtOrBehindTheCameraStayDefined)
{
    SetAngles(0, 0, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Vector3 cases[] = {
        Vector3(0, -100, 0),          // depth 0, offset 0: 0 / 0
        Vector3(5, -100, -5),         // depth 0: division by zero
        Vector3(5, -150, 5),          // behind the camera
        Vector3(1e9, -99.9999, 1e9),  // far outside the int range
        Vector3(-1e300, 0, 1e300),
        Vector3(nan, nan, nan),
        Vector3(inf, 0, -inf),
    };
    for (const Vector3& world : cases) {
        const Vector3 p = Project(world);
        EXPECT_EQ(p.x, std::trunc(p.x));
        EXPECT_EQ(p.y, std::trunc(p.y));
        EXPECT_GE(p.x, double(INT32_MIN));
        EXPECT_LE(p.x, double(INT32_MAX));
        EXPECT_GE(p.y, double(INT32_MIN));
        EXPECT_LE(p.y, double(INT32_MAX));
    }
    EXPECT_EQ(Project(Vector3(0, -100, 0)).z, 0.0);
    EXPECT_LT(Project(Vector3(5, -150, 5)).z, 0.0);
    EXPECT_EQ(Project(Vector3(1e9, -99.9999, 1e9)).x, double(INT32_MAX));
    EXPECT_EQ(Project(Vector3(-1e300, 0, 1e300)).x, double(INT32_MIN));
}

}  // namespace sorvel
