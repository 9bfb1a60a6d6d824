#include "sim/scene.h"

namespace sorvel {

void SceneState::InitScene()
{
    m_bRebuildBuffer = 1;
    m_angleX = -0.4;
    m_angleY = 0.0;
    m_angleZ = 7.2;
    m_camera = Vector3(0.0, -100.0, 0.0);
    ResetSheet();
}

void SceneState::ResetSheet()
{
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            const int k = PointIndex(i, j);
            m_vel[k] = Vector3(0.0, 0.0, 0.0);
            m_pos[k] = Vector3(j - 20, i - 20, 0.0);
        }
    }
}

void SceneState::PokeSheet()
{
    for (int i = 18; i <= 22; ++i) {
        for (int j = 18; j <= 22; ++j) {
            m_vel[PointIndex(i, j)].z += 1.0;
        }
    }
}

}  // namespace sorvel
