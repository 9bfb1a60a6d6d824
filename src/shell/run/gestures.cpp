#include "run/gestures.h"

#include <cmath>

namespace sorvel {
namespace {

// Marks crossed by a travel from the down point, toward zero: -17 pixels cross one mark
// to the left. A wild coordinate (NaN, or far off any screen) crosses a bounded number.
int Marks(double travel)
{
    constexpr double kMostMarks = 1e6;
    const double marks = std::trunc(travel / PointerGestures::kTurnTravel);
    if (!(marks == marks)) return 0;
    return static_cast<int>(std::fmax(-kMostMarks, std::fmin(kMostMarks, marks)));
}

// Taps of `positive` for a count above zero, of `negative` for one below.
void Taps(Animation& animation, int count, Control positive, Control negative, double milliseconds)
{
    if (count > 0) animation.Tap(positive, milliseconds, count);
    if (count < 0) animation.Tap(negative, milliseconds, -count);
}

}  // namespace

void PointerGestures::Down(int pointer, bool primary, double x, double y, double milliseconds)
{
    if (m_phase != Phase::kIdle) {
        if (pointer != m_pointer) End(milliseconds);  // a second finger
        return;
    }
    if (!primary) return;
    m_phase = Phase::kPressed;
    m_pointer = pointer;
    m_x0 = x;
    m_y0 = y;
    m_t0 = milliseconds;
    m_turnsX = m_turnsY = 0;
}

void PointerGestures::Move(int pointer, double x, double y, double milliseconds)
{
    if (m_phase == Phase::kIdle || pointer != m_pointer) return;
    CatchUp(milliseconds);
    if (m_phase == Phase::kPressed) {
        const double dx = x - m_x0, dy = y - m_y0;
        // Only a drag may turn; NaN stays put.
        if (dx * dx + dy * dy > kSlop * kSlop) m_phase = Phase::kDragging;
    }
    if (m_phase == Phase::kDragging) Turn(x, y, milliseconds);
}

void PointerGestures::Up(int pointer, double x, double y, double milliseconds)
{
    if (m_phase == Phase::kIdle || pointer != m_pointer) return;
    Move(pointer, x, y, milliseconds);
    if (m_phase == Phase::kPressed) m_animation.Tap(Control::Poke, milliseconds);
    if (m_phase == Phase::kHolding) m_animation.KeyUp(Control::Poke, milliseconds);
    m_phase = Phase::kIdle;
}

void PointerGestures::Cancel(int pointer, double milliseconds)
{
    if (m_phase == Phase::kIdle || pointer != m_pointer) return;
    End(milliseconds);
    m_phase = Phase::kIdle;  // a cancelled pointer sends nothing more
}

void PointerGestures::Frame(double milliseconds)
{
    if (m_phase != Phase::kIdle) CatchUp(milliseconds);
}

void PointerGestures::ReleaseAll(double milliseconds)
{
    End(milliseconds);
    m_phase = Phase::kIdle;  // its up may never come
}

void PointerGestures::CatchUp(double milliseconds)
{
    if (m_phase == Phase::kPressed && milliseconds >= m_t0 + kHoldMilliseconds) {
        m_phase = Phase::kHolding;
        m_animation.KeyDown(Control::Poke, m_t0 + kHoldMilliseconds);
    }
}

void PointerGestures::End(double milliseconds)
{
    CatchUp(milliseconds);
    if (m_phase == Phase::kHolding) m_animation.KeyUp(Control::Poke, milliseconds);
    if (m_phase != Phase::kIdle) m_phase = Phase::kEnded;
}

void PointerGestures::Turn(double x, double y, double milliseconds)
{
    const int turnsX = Marks(x - m_x0);
    const int turnsY = Marks(y - m_y0);
    // The near edge follows the finger: rightwards turns as Right does, downwards tilts
    // as Up does.
    Taps(m_animation, turnsX - m_turnsX, Control::TurnRight, Control::TurnLeft, milliseconds);
    Taps(m_animation, turnsY - m_turnsY, Control::TiltUp, Control::TiltDown, milliseconds);
    m_turnsX = turnsX;
    m_turnsY = turnsY;
}

}  // namespace sorvel
