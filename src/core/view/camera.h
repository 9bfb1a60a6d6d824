// The view onto the sheet: three angles turn it, a camera looks at it along +y, and
// points are projected onto a client area of the given size.
#pragma once

#include "sim/vector3.h"

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

}  // namespace sorvel
