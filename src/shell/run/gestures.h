// Touch, pen and mouse on the sheet, turned into the key table's controls, so that a
// finger does exactly what the keys do:
// - a tap (down and up, never further than kSlop from where it went down) is one tap of
//   Space, at the time it went up;
// - a hold (down for kHoldMilliseconds, never further than kSlop) holds Space from then
//   until it goes up, wherever it wanders meanwhile;
// - a drag (once further than kSlop) never pokes: every kTurnTravel of travel from where
//   it went down is one arrow tap, and travel back gives the opposite taps. The sheet's
//   near edge follows the finger: right is Right, left Left, down Up (the near edge
//   sinks, the far edge rises), up Down.
// Only the primary pointer counts (the mouse's main button, a pen, the first finger); a
// second pointer going down, or the primary one cancelled, ends the gesture at once, and
// nothing more comes of it. Distances are in CSS pixels (GTK's logical pixels), so the
// thresholds are the same on every display.
#pragma once

#include "run/animation.h"

namespace sorvel {

class PointerGestures {
public:
    static constexpr double kSlop = 10.0;
    static constexpr double kTurnTravel = 16.0;
    static constexpr double kHoldMilliseconds = 250.0;

    explicit PointerGestures(Animation& animation) : m_animation(animation) {}

    // A pointer went down at (x, y). A primary one starts a gesture when none runs; any
    // other ends the one that runs.
    void Down(int pointer, bool primary, double x, double y, double milliseconds);
    void Move(int pointer, double x, double y, double milliseconds);
    void Up(int pointer, double x, double y, double milliseconds);
    // The platform took the pointer over (a scroll, a system gesture): the gesture ends.
    void Cancel(int pointer, double milliseconds);
    // Before each frame: a hold whose time has come starts holding Space.
    void Frame(double milliseconds);
    // The window lost the focus or was hidden: every pointer is let go at once.
    void ReleaseAll(double milliseconds);
    // The sheet lies still and nothing waits to act: no key, and no pointer that may yet
    // become a hold without a further event. Frames may stop until the next input.
    bool Resting() const { return m_animation.Still() && m_animation.Idle() && m_phase != Phase::kPressed; }

private:
    enum class Phase { kIdle, kPressed, kHolding, kDragging, kEnded };

    // Starts the hold if the pointer has stayed put long enough by this time.
    void CatchUp(double milliseconds);
    void End(double milliseconds);
    void Turn(double x, double y, double milliseconds);

    Animation& m_animation;
    Phase m_phase = Phase::kIdle;
    int m_pointer = 0;
    double m_x0 = 0.0, m_y0 = 0.0, m_t0 = 0.0;
    int m_turnsX = 0;  // marks crossed so far, signed: right and down positive
    int m_turnsY = 0;
};

}  // namespace sorvel
