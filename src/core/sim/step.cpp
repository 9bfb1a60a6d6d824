// The spring step.
//
// Every point is joined to its four grid neighbours by a spring of rest length 1.0.
// Written plainly, one step is:
//
//     snapshot = m_pos                                   (forces read only these)
//     for every interior point k (rows and columns 1 to 38):
//         F(a, b) = (a - b) / |a - b| * (1.0 - |a - b|)  (0 when |a - b| == 0)
//         total   = ((F(k, k+1) + F(k, k-1)) + F(k, k+40)) + F(k, k-40)
//         m_vel[k] += total * 5.0
//     for every point k:  m_pos[k] += m_vel[k] * 0.1     (the rim's velocity stays 0)
//
// tests/core/reference_step.h holds exactly this, and the test
// StepSheet.MatchesThePlainStepBitForBit proves that the code below gives the same
// bits. The code is faster in two ways:
// - Each spring is computed once. F(b, a) is the exact negation of F(a, b), because
//   b - a is the exact negation of a - b and everything after is symmetric, so the
//   point at the other end uses the same force with the opposite sign; adding a
//   negated force is the same operation as subtracting it.
// - The loops run over one array per component, so that they vectorise.
//
// Signed zeros are the one subtlety: where two coordinates are equal, a - b and
// b - a are both +0, not +0 and -0, so a total of zero can come out as +0 where the
// plain step gives -0. That could only show as a velocity of -0, and a sheet that
// starts at rest has velocities of +0, which adding +0 or -0 never turns into -0.
#include <cmath>

#include "sim/scene.h"

namespace sorvel {
namespace {

struct Components {
    double x[kPointCount];
    double y[kPointCount];
    double z[kPointCount];
};

// Positions at the start of the step; the forces read nothing else.
Components snapshotPoints;
// rowForces[k]: force on k of the spring to k + 1. columnForces[k]: of the spring to k + 40.
Components rowForces;
Components columnForces;

constexpr double kRestLength = 1.0;
constexpr double kForceFactor = 5.0;
constexpr double kPositionFactor = 0.1;

// Springs from point k to k + Offset for k in [first, last). Some of these join points
// that are not neighbours (the end of one row and the start of the next); their
// results are never read, and computing them keeps the loop flat.
template <int Offset>
void ComputeSprings(int first, int last, Components& forces)
{
    const Components& s = snapshotPoints;
    for (int k = first; k < last; ++k) {
        const double dx = s.x[k] - s.x[k + Offset];
        const double dy = s.y[k] - s.y[k + Offset];
        const double dz = s.z[k] - s.z[k + Offset];
        const double length = std::sqrt((dx * dx + dy * dy) + dz * dz);
        // A spring of zero length has no direction and exerts no force: divide by 1
        // instead and scale by 0. The zero keeps the signs of the difference, so the
        // twin force stays its exact negation. Otherwise adding 0 and scaling by 1
        // change nothing, and the loop needs no branch.
        const double collapsed = length == 0.0 ? 1.0 : 0.0;
        const double divisor = length + collapsed;
        const double stretch = (kRestLength - length) * (1.0 - collapsed);
        forces.x[k] = (dx / divisor) * stretch;
        forces.y[k] = (dy / divisor) * stretch;
        forces.z[k] = (dz / divisor) * stretch;
    }
}

}  // namespace

void SceneState::StepSheet()
{
    for (int k = 0; k < kPointCount; ++k) {
        snapshotPoints.x[k] = m_pos[k].x;
        snapshotPoints.y[k] = m_pos[k].y;
        snapshotPoints.z[k] = m_pos[k].z;
    }

    // Row springs that touch an interior point: rows 1 to 38, columns 0 to 38.
    ComputeSprings<1>(PointIndex(1, 0), PointIndex(38, 39), rowForces);
    // Column springs that touch an interior point: rows 0 to 38, columns 1 to 38.
    ComputeSprings<kGridSize>(PointIndex(0, 1), PointIndex(38, 39), columnForces);

    // The four forces on k, in the order k + 1, k - 1, k + 40, k - 40, summed row by
    // row into one array per component (so the sums vectorise), then added to the
    // velocities.
    for (int i = 1; i < kGridSize - 1; ++i) {
        constexpr int kInterior = kGridSize - 2;
        double total[3][kInterior];
        const int first = PointIndex(i, 1);
        const Components& r = rowForces;
        const Components& c = columnForces;
        for (int n = 0; n < kInterior; ++n) {
            const int k = first + n;
            total[0][n] = ((r.x[k] - r.x[k - 1]) + c.x[k]) - c.x[k - kGridSize];
            total[1][n] = ((r.y[k] - r.y[k - 1]) + c.y[k]) - c.y[k - kGridSize];
            total[2][n] = ((r.z[k] - r.z[k - 1]) + c.z[k]) - c.z[k - kGridSize];
        }
        for (int n = 0; n < kInterior; ++n) {
            m_vel[first + n] += Vector3(total[0][n], total[1][n], total[2][n]) * kForceFactor;
        }
    }

    for (int k = 0; k < kPointCount; ++k) {
        m_pos[k] += m_vel[k] * kPositionFactor;
    }
}

}  // namespace sorvel
