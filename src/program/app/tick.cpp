// The body of the animation loop, and the keys it reads.
#include "ui/surface_dlg.h"

namespace {

struct KeyBinding {
    int virtualKey;
    void (*apply)(CSurfaceDlg& dlg);
};

// Queried in this order once per tick; each effect applies at once, so C before
// Space lays the sheet flat and then pokes it.
const KeyBinding kKeys[] = {
    {VK_LEFT, [](CSurfaceDlg& d) { d.m_angleZ -= 0.1; }},
    {VK_RIGHT, [](CSurfaceDlg& d) { d.m_angleZ += 0.1; }},
    {VK_UP, [](CSurfaceDlg& d) { d.m_angleX -= 0.1; }},
    {VK_DOWN, [](CSurfaceDlg& d) { d.m_angleX += 0.1; }},
    {'C', [](CSurfaceDlg& d) { d.ResetSheet(); }},
    {VK_SPACE, [](CSurfaceDlg& d) { d.PokeSheet(); }},
};

}  // namespace

void CSurfaceDlg::ApplyKeys()
{
    for (const KeyBinding& key : kKeys) {
        // Down now (high bit) or pressed since the last query (low bit).
        if (::GetAsyncKeyState(key.virtualKey) != 0) {
            key.apply(*this);
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
