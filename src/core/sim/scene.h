// The scene: a 40 x 40 sheet of mass points joined by springs, and the view onto it.
//
// Point (row i, column j) is element i * 40 + j of m_pos and m_vel. The flat sheet lies
// at (j - 20, i - 20, 0); rows and columns 0 and 39 form the rim, which never moves.
// The main window carries this state as a base, so everything here stays free of
// window-system types and can be tested on its own.
#pragma once

#include "sim/vector3.h"
#include "view/camera.h"

namespace sorvel {

constexpr int kGridSize = 40;
constexpr int kPointCount = kGridSize * kGridSize;

// The view's part (angles, camera, client size and their operations) comes from
// ViewState; the sheet and what moves it are declared here.
struct SceneState : ViewState {
    int m_bRebuildBuffer;    // 1: the back buffer must be made anew before the next frame
    Vector3 m_pos[kPointCount];
    Vector3 m_vel[kPointCount];

    // Start values for the whole scene: view angles, camera, a flat sheet at rest.
    void InitScene();
    // Lays the sheet flat and at rest; the view stays as it is.
    void ResetSheet();
    // Pushes the 5 x 5 block around point (20, 20) upwards: +1.0 on each z velocity.
    void PokeSheet();
    // One spring step: forces from the positions at the start, then velocities, then positions.
    void StepSheet();
};

// Grid geometry shared by the step, the renderer and the tests.
constexpr int PointIndex(int row, int column) { return row * kGridSize + column; }
constexpr bool IsRim(int row, int column)
{
    return row == 0 || column == 0 || row == kGridSize - 1 || column == kGridSize - 1;
}

}  // namespace sorvel
