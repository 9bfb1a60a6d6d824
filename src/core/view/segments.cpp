#include "view/segments.h"

#include "view/pixel.h"

namespace sorvel {
namespace {

// Each point once as a frame draws it: its pixel, and whether it lies in front of the
// camera. Scratch space of every frame, overwritten whole each time.
PixelPoint pointPixels[kPointCount];
bool pointInFront[kPointCount];

void KeepPoint(int k, const Vector3& projected)
{
    pointPixels[k] = PixelPoint{TruncateToPixel(projected.x), TruncateToPixel(projected.y)};
    pointInFront[k] = projected.z > 0.0;
}

void AddSegment(int a, int b, SegmentList& list, int& n)
{
    list.segments[n] = Segment{pointPixels[a], pointPixels[b]};
    list.drawable[n] = pointInFront[a] && pointInFront[b];
    ++n;
}

// The list from the points kept.
void BuildFromPoints(SegmentList& list)
{
    int n = 0;
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize - 1; ++j) {
            AddSegment(PointIndex(i, j), PointIndex(i, j + 1), list, n);
        }
    }
    for (int j = 0; j < kGridSize; ++j) {
        for (int i = 0; i < kGridSize - 1; ++i) {
            AddSegment(PointIndex(i, j), PointIndex(i + 1, j), list, n);
        }
    }
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
    for (int k = 0; k < kPointCount; ++k) {
        KeepPoint(k, projectedPoints[k]);
    }
    BuildFromPoints(list);
}

void BuildFrameSegments(const SceneState& scene, SegmentList& list)
{
    // Each point turned, projected and made a pixel once, not once for every segment
    // it ends.
    for (int k = 0; k < kPointCount; ++k) {
        Vector3 rotated;
        Vector3 projected;
        scene.RotatePoint(scene.m_pos[k], rotated);
        scene.ProjectPoint(rotated, projected);
        KeepPoint(k, projected);
    }
    BuildFromPoints(list);
}

}  // namespace sorvel
