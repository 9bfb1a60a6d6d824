// The spring step written the plain way: all four springs of every interior point,
// one after the other, with Vector3 arithmetic. The fast step must match it bit for bit.
#pragma once

#include <cmath>

#include "sim/scene.h"

namespace sorvel {

namespace reference {

inline Vector3 SpringForce(const Vector3& point, const Vector3& neighbour)
{
    const Vector3 d = point - neighbour;
    const double length = std::sqrt(d.LengthSquared());
    if (length == 0.0) {
        return d * 0.0;  // no force; the zero carries the signs of d
    }
    return (d / length) * (1.0 - length);
}

// Interior points in the order given by visit(n) for n in [0, 1444).
template <class Order>
void StepSheet(SceneState& s, Order visit)
{
    static Vector3 snapshot[kPointCount];
    for (int k = 0; k < kPointCount; ++k) {
        snapshot[k] = s.m_pos[k];
    }
    for (int n = 0; n < 38 * 38; ++n) {
        const int k = visit(n);
        const Vector3 total = ((SpringForce(snapshot[k], snapshot[k + 1]) + SpringForce(snapshot[k], snapshot[k - 1])) +
                               SpringForce(snapshot[k], snapshot[k + kGridSize])) +
                              SpringForce(snapshot[k], snapshot[k - kGridSize]);
        s.m_vel[k] += total * 5.0;
    }
    for (int k = 0; k < kPointCount; ++k) {
        s.m_pos[k] += s.m_vel[k] * 0.1;
    }
}

inline int RowMajor(int n) { return PointIndex(1 + n / 38, 1 + n % 38); }

inline void StepSheet(SceneState& s) { StepSheet(s, RowMajor); }

}  // namespace reference

}  // namespace sorvel
