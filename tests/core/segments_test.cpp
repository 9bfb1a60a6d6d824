#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "sim/scene.h"
#include "view/segments.h"

namespace sorvel {

namespace {

// Projected points that name their own grid position: column 1000 + k, row -k.
void NumberedPoints(Vector3* points)
{
    for (int k = 0; k < kPointCount; ++k) {
        points[k] = Vector3(1000.0 + k, -k, 5.0);
    }
}

void ExpectSegment(const sorvel::Segment& s, int from, int to)
{
    EXPECT_EQ(s.from.x, 1000 + from);
    EXPECT_EQ(s.from.y, -from);
    EXPECT_EQ(s.to.x, 1000 + to);
    EXPECT_EQ(s.to.y, -to);
}

}  // namespace

TEST(SegmentList, RowsThenColumnsInGridOrder)
{
    static Vector3 points[kPointCount];
    NumberedPoints(points);
    auto list = std::make_unique<sorvel::SegmentList>();
    sorvel::BuildSegmentList(points, *list);

    ASSERT_EQ(sorvel::kSegmentCount, 3120);
    ExpectSegment(list->segments[0], PointIndex(0, 0), PointIndex(0, 1));
    ExpectSegment(list->segments[1559], PointIndex(39, 38), PointIndex(39, 39));
    ExpectSegment(list->segments[1560], PointIndex(0, 0), PointIndex(1, 0));
    ExpectSegment(list->segments[3119], PointIndex(38, 39), PointIndex(39, 39));

    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize - 1; ++j) {
            ExpectSegment(list->segments[i * 39 + j], PointIndex(i, j), PointIndex(i, j + 1));
        }
    }
    for (int j = 0; j < kGridSize; ++j) {
        for (int i = 0; i < kGridSize - 1; ++i) {
            ExpectSegment(list->segments[1560 + j * 39 + i], PointIndex(i, j), PointIndex(i + 1, j));
        }
    }
    for (bool drawable : list->drawable) {
        ASSERT_TRUE(drawable);
    }
}

TEST(SegmentList, LinesTouchingTheCameraPlaneAreNotDrawable)
{
    static Vector3 points[kPointCount];
    NumberedPoints(points);
    points[PointIndex(5, 5)].z = 0.0;     // on the camera plane
    points[PointIndex(39, 39)].z = -2.0;  // behind it
    points[PointIndex(20, 0)].z = -0.0;
    auto list = std::make_unique<sorvel::SegmentList>();
    sorvel::BuildSegmentList(points, *list);

    int hidden = 0;
    for (bool drawable : list->drawable) {
        hidden += drawable ? 0 : 1;
    }
    EXPECT_EQ(hidden, 4 + 2 + 3);
    EXPECT_FALSE(list->drawable[5 * 39 + 4]);          // (5,4)-(5,5)
    EXPECT_FALSE(list->drawable[5 * 39 + 5]);          // (5,5)-(5,6)
    EXPECT_FALSE(list->drawable[1560 + 5 * 39 + 4]);   // (4,5)-(5,5)
    EXPECT_FALSE(list->drawable[1560 + 5 * 39 + 5]);   // (5,5)-(6,5)
    EXPECT_FALSE(list->drawable[1559]);
    EXPECT_FALSE(list->drawable[3119]);
    EXPECT_TRUE(list->drawable[1558]);
    // The hidden segments still hold their points, in their places.
    ExpectSegment(list->segments[5 * 39 + 4], PointIndex(5, 4), PointIndex(5, 5));
}

TEST(SegmentList, OutOfRangeCoordinatesAreClamped)
{
    static Vector3 points[kPointCount];
    NumberedPoints(points);
    points[0] = Vector3(1e20, -1e20, 1.0);
    points[1] = Vector3(std::numeric_limits<double>::quiet_NaN(), 7.9, 1.0);
    auto list = std::make_unique<sorvel::SegmentList>();
    sorvel::BuildSegmentList(points, *list);
    EXPECT_EQ(list->segments[0].from.x, INT32_MAX);
    EXPECT_EQ(list->segments[0].from.y, INT32_MIN);
    EXPECT_EQ(list->segments[0].to.x, 0);
    EXPECT_EQ(list->segments[0].to.y, 7);
}

}  // namespace sorvel
