// The view onto the sheet: three angles turn it, a camera looks at it along +y, and
// points are projected onto a client area of the given size.
#pragma once

#include "sim/vector3.h"
#include "view/pixel.h"

namespace sorvel {

// Pixels per unit of sideways offset at unit depth on a display of 96 dpi (one device
// pixel per CSS pixel, GTK scale 1). Each edition scales this one figure by its
// display's DPI / 96, device-pixel ratio or surface scale, so that the sheet keeps its
// share of a window whose size grows with the display's pixels.
constexpr double kBasePixelsPerUnit = 100.0;

struct ViewState {
    double m_rot[3][3];      // rotation from the three angles; m_rot[i][j] takes input j to output i
    double m_angleX;         // tilt about the x axis, radians
    double m_angleY;         // roll about the viewing axis, radians
    double m_angleZ;         // spin about the sheet's normal, radians
    Vector3 m_camera;        // camera position; it looks along +y
    int m_cxClient = 0;      // client-area size in pixels, written by the size handler only
    int m_cyClient = 0;
    // Pixels per unit of sideways offset at unit depth: kBasePixelsPerUnit scaled to the display.
    double m_pixelsPerUnit = kBasePixelsPerUnit;

    // Fills m_rot from the three angles.
    void BuildRotation();
    // dst = m_rot * src. src and dst must be different objects.
    void RotatePoint(const Vector3& src, Vector3& dst) const;
    // Pinhole projection of a rotated point: dst.x, dst.y are the pixel column and row
    // (whole numbers), dst.z the scaled depth; a depth <= 0 means at or behind the camera.
    void ProjectPoint(const Vector3& src, Vector3& dst) const;
};

// Inline, so that a loop over the sheet's points is compiled with them: the matrix and
// the factor stay in registers from one point to the next.
inline void ViewState::RotatePoint(const Vector3& src, Vector3& dst) const
{
    dst.x = (m_rot[0][1] * src.y + m_rot[0][2] * src.z) + m_rot[0][0] * src.x;
    dst.y = (m_rot[1][1] * src.y + m_rot[1][2] * src.z) + m_rot[1][0] * src.x;
    dst.z = (m_rot[2][1] * src.y + m_rot[2][2] * src.z) + m_rot[2][0] * src.x;
}

inline void ViewState::ProjectPoint(const Vector3& src, Vector3& dst) const
{
    // m_pixelsPerUnit pixels per unit of sideways offset at unit depth; the camera looks
    // along +y, x becomes the pixel column and z the pixel row (growing downwards).
    const double depth = (src.y - m_camera.y) * 0.1;
    dst.z = depth;
    const int halfWidth = m_cxClient / 2;
    const int halfHeight = m_cyClient / 2;
    const double column = (src.x - m_camera.x) * m_pixelsPerUnit / depth + halfWidth;
    dst.x = TruncateToPixel(column);
    const double row = (src.z - m_camera.z) * m_pixelsPerUnit / depth + halfHeight;
    dst.y = TruncateToPixel(row);
}

}  // namespace sorvel
