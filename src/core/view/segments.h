// The line segments of one frame: every grid line between neighbouring points, in
// pixel coordinates, in drawing order.
#pragma once

#include <cstdint>

#include "sim/scene.h"

namespace sorvel {

// Laid out like the platform's POINT, so a run of segments can be handed to a
// polyline call as it stands.
struct PixelPoint {
    int32_t x;
    int32_t y;
};

struct Segment {
    PixelPoint from;
    PixelPoint to;
};

constexpr int kRowSegmentCount = kGridSize * (kGridSize - 1);
constexpr int kSegmentCount = 2 * kRowSegmentCount;

struct SegmentList {
    // Row lines first (row 0 left to right, then row 1, ...), then column lines
    // (column 0 top to bottom, then column 1, ...).
    Segment segments[kSegmentCount];
    // False where an end lies at or behind the camera plane (depth <= 0, or no depth
    // at all): projecting such a point mirrors it, so the line must not be drawn.
    bool drawable[kSegmentCount];
};

// Turns and projects every point of the sheet, in grid order: rotated[k] is m_pos[k]
// turned by the scene's rotation, projected[k] its pixel column, row and depth. The
// rotation must be built.
void ProjectSheet(const SceneState& scene, Vector3* rotated, Vector3* projected);

// Builds the list from projected points (pixel column, pixel row, depth), grid-indexed.
void BuildSegmentList(const Vector3* projectedPoints, SegmentList& list);

// The segments of the scene's current frame at its client size: ProjectSheet, then
// BuildSegmentList. The rotation must be built.
void BuildFrameSegments(const SceneState& scene, SegmentList& list);

}  // namespace sorvel
