// Scenes for the tests, and checks on them, shared by the core's and the program's tests.
#pragma once

#include <memory>

#include "bits.h"
#include "sim/scene.h"

namespace sorvel {

// A scene with its start values (on the heap: it is large).
inline std::unique_ptr<SceneState> NewScene()
{
    auto s = std::make_unique<SceneState>();
    s->InitScene();
    return s;
}

// The flat start sheet at rest, bit for bit (so a -0 counts as moved).
inline bool FlatAndAtRest(const SceneState& s)
{
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            const int k = PointIndex(i, j);
            if (!SameBits(s.m_pos[k], Vector3(j - 20.0, i - 20.0, 0.0)) ||
                !SameBits(s.m_vel[k], Vector3(0.0, 0.0, 0.0))) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace sorvel
