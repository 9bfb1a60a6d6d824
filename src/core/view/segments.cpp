#include "view/segments.h"

#include "view/pixel.h"

namespace sorvel {
namespace {

PixelPoint ToPixel(const Vector3& p) { return PixelPoint{TruncateToPixel(p.x), TruncateToPixel(p.y)}; }

bool InFrontOfCamera(const Vector3& p) { return p.z > 0.0; }

void AddSegment(const Vector3* points, int a, int b, SegmentList& list, int& n)
{
    list.segments[n] = Segment{ToPixel(points[a]), ToPixel(points[b])};
    list.drawable[n] = InFrontOfCamera(points[a]) && InFrontOfCamera(points[b]);
    ++n;
}

}  // namespace

void ProjectSheet(const SceneState& scene, Vector3* rotated, Vector3* projected)
{
    for (int k = 0; k < kPointCount; ++k) {
        scene.RotatePoint(scene.m_pos[k], rotated[k]);
        scene.ProjectPoint(rotated[k], projected[k]);
    }
}

void BuildSegmentList(const Vector3* projectedPoints, SegmentList& list)
{
    int n = 0;
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize - 1; ++j) {
            AddSegment(projectedPoints, PointIndex(i, j), PointIndex(i, j + 1), list, n);
        }
    }
    for (int j = 0; j < kGridSize; ++j) {
        for (int i = 0; i < kGridSize - 1; ++i) {
            AddSegment(projectedPoints, PointIndex(i, j), PointIndex(i + 1, j), list, n);
        }
    }
}

void BuildFrameSegments(const SceneState& scene, SegmentList& list)
{
    // Scratch space of every frame, overwritten whole each time.
    static Vector3 rotated[kPointCount];
    static Vector3 projected[kPointCount];
    ProjectSheet(scene, rotated, projected);
    BuildSegmentList(projected, list);
}

}  // namespace sorvel
