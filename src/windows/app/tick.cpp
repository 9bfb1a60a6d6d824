// The body of the animation loop, and the keys it reads.
#include "sim/controls.h"
#include "ui/surface_dlg.h"

namespace {

using sorvel::Control;

struct KeyBinding {
    int virtualKey;
    Control control;
};

// Queried in this order once per tick; each effect applies at once, so C before
// Space lays the sheet flat and then pokes it.
const KeyBinding kKeys[] = {
    {VK_LEFT, Control::TurnLeft}, {VK_RIGHT, Control::TurnRight}, {VK_UP, Control::TiltUp},
    {VK_DOWN, Control::TiltDown}, {'C', Control::Reset},         {VK_SPACE, Control::Poke},
};

}  // namespace

void CSurfaceDlg::ApplyKeys()
{
    for (const KeyBinding& key : kKeys) {
        // Down now (high bit) or pressed since the last query (low bit).
        if (::GetAsyncKeyState(key.virtualKey) != 0) {
            sorvel::ApplyControl(*this, key.control);
        }
    }
}

void CSurfaceDlg::Tick()
{
    // Only the window with the keyboard focus animates; anything else returns at once.
    if (CWnd::FromHandle(::GetFocus()) != this) {
        return;
    }
    ApplyKeys();
    BuildRotation();
    StepSheet();
    DrawFrame();
    ::Sleep(10);
}
