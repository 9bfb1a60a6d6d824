// The view onto the sheet: three angles turn it, a camera looks at it along +y, and
// points are projected onto a client area of the given size.
#pragma once

#include "sim/vector3.h"

struct ViewState {
    double m_rot[3][3];      // rotation from the three angles; m_rot[i][j] takes input j to output i
    double m_angleX;         // tilt about the x axis, radians
    double m_angleY;         // roll about the viewing axis, radians
    double m_angleZ;         // spin about the sheet's normal, radians
    Vector3 m_camera;        // camera position; it looks along +y
    int m_cxClient = 0;      // client-area size in pixels, written by the size handler only
    int m_cyClient = 0;
    // Pixels per unit of sideways offset at unit depth: 100 at 96 dpi, and 100 * dpi / 96
    // (or 100 * the device-pixel ratio) where the display has more pixels per inch.
    double m_pixelsPerUnit = 100.0;

    // Fills m_rot from the three angles.
    void BuildRotation();
    // dst = m_rot * src. src and dst must be different objects.
    void RotatePoint(const Vector3& src, Vector3& dst) const;
    // Pinhole projection of a rotated point: dst.x, dst.y are the pixel column and row
    // (whole numbers), dst.z the scaled depth; a depth <= 0 means at or behind the camera.
    void ProjectPoint(const Vector3& src, Vector3& dst) const;
};
