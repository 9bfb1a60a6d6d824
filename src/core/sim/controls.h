// What the six animation keys do to the scene, in the order a step reads them.
#pragma once

#include "sim/scene.h"

namespace sorvel {

enum class Control { TurnLeft, TurnRight, TiltUp, TiltDown, Reset, Poke };

constexpr Control kControlOrder[] = {Control::TurnLeft, Control::TurnRight, Control::TiltUp,
                                     Control::TiltDown, Control::Reset,     Control::Poke};
constexpr int kControlCount = 6;

// Applies one key's effect at once: the arrows turn the view by 0.1 radian, C lays the
// sheet flat, Space pokes it.
inline void ApplyControl(SceneState& scene, Control control)
{
    switch (control) {
    case Control::TurnLeft: scene.m_angleZ -= 0.1; break;
    case Control::TurnRight: scene.m_angleZ += 0.1; break;
    case Control::TiltUp: scene.m_angleX -= 0.1; break;
    case Control::TiltDown: scene.m_angleX += 0.1; break;
    case Control::Reset: scene.ResetSheet(); break;
    case Control::Poke: scene.PokeSheet(); break;
    }
}

}  // namespace sorvel
