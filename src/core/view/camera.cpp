// Turning the sheet and projecting it onto the client area.
#include "view/camera.h"

#include "view/pixel.h"
#include "view/trig.h"

namespace sorvel {

void ViewState::BuildRotation()
{
    const SineCosine a = SinCos(m_angleX);
    const SineCosine b = SinCos(m_angleY);
    const SineCosine g = SinCos(m_angleZ);
    const double sa = a.sine, ca = a.cosine;
    const double sb = b.sine, cb = b.cosine;
    const double sg = g.sine, cg = g.cosine;

    // Ry(-b) * Rx(a) * Rz(g): spin in the sheet's plane, tilt, then roll.
    m_rot[0][0] = cg * cb - (sg * sa) * sb;
    m_rot[0][1] = -(sg * cb) - (cg * sa) * sb;
    m_rot[0][2] = -(sb * ca);
    m_rot[1][0] = sg * ca;
    m_rot[1][1] = cg * ca;
    m_rot[1][2] = -sa;
    m_rot[2][0] = (sg * sa) * cb + cg * sb;
    m_rot[2][1] = (cg * sa) * cb - sg * sb;
    m_rot[2][2] = cb * ca;
}

void ViewState::RotatePoint(const Vector3& src, Vector3& dst) const
{
    dst.x = (m_rot[0][1] * src.y + m_rot[0][2] * src.z) + m_rot[0][0] * src.x;
    dst.y = (m_rot[1][1] * src.y + m_rot[1][2] * src.z) + m_rot[1][0] * src.x;
    dst.z = (m_rot[2][1] * src.y + m_rot[2][2] * src.z) + m_rot[2][0] * src.x;
}

void ViewState::ProjectPoint(const Vector3& src, Vector3& dst) const
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
