// Turning the sheet and projecting it onto the client area.
#include "view/camera.h"

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

}  // namespace sorvel
