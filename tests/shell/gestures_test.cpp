// Gestures on the sheet do exactly what their keys do: each gesture is played next to
// the key events it stands for, and the two scenes must agree bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "../core/scene_support.h"
#include "run/gestures.h"
#include "run/keys.h"

namespace sorvel {

namespace {

struct Twins {
    std::unique_ptr<SceneState> touched = NewScene(), typed = NewScene();
    Animation byTouch{*touched}, byKeys{*typed};
    PointerGestures gestures{byTouch};

    // Frames every 16 ms from `from` to `to` on both, the gestures told first.
    void Frames(double from, double to)
    {
        for (double t = from; t <= to; t += 16.0) {
            gestures.Frame(t);
            byTouch.Frame(t, true);
            byKeys.Frame(t, true);
        }
    }
    bool Same() const
    {
        return std::memcmp(touched->m_pos, typed->m_pos, sizeof touched->m_pos) == 0 &&
               std::memcmp(touched->m_vel, typed->m_vel, sizeof touched->m_vel) == 0 &&
               touched->m_angleX == typed->m_angleX && touched->m_angleZ == typed->m_angleZ;
    }
};

}  // namespace

TEST(Gestures, ATapAHoldAndADragDoWhatTheirKeysDo)
{
    Twins t;
    t.Frames(0, 0);
    // A tap that wanders 6 pixels: one Space tap when it goes up.
    t.gestures.Down(1, true, 100, 100, 21);
    t.gestures.Move(1, 104, 96, 30);
    t.gestures.Up(1, 104, 104, 33);
    t.byKeys.KeyDown(Control::Poke, 33);
    t.byKeys.KeyUp(Control::Poke, 33);
    t.Frames(16, 160);
    EXPECT_TRUE(t.Same()) << "tap";
    EXPECT_FALSE(FlatAndAtRest(*t.touched));

    // Still for 250 ms, wandering less than 10 pixels and then far: Space held from
    // then until it goes up, which no frame sees before it happens.
    t.gestures.Down(1, true, 50, 50, 170);
    t.Frames(176, 400);
    t.gestures.Move(1, 57, 43, 401);
    t.gestures.Move(1, 300, 50, 425);
    t.gestures.Up(1, 300, 50, 437);
    t.byKeys.KeyDown(Control::Poke, 420);
    t.byKeys.KeyUp(Control::Poke, 437);
    t.Frames(416, 600);
    EXPECT_TRUE(t.Same()) << "hold";

    // A drag: five marks to the right, one back, two down, in small moves and one jump;
    // it never pokes.
    const auto reset = [&](double ms) {
        t.byTouch.KeyDown(Control::Reset, ms);
        t.byTouch.KeyUp(Control::Reset, ms);
        t.byKeys.KeyDown(Control::Reset, ms);
        t.byKeys.KeyUp(Control::Reset, ms);
    };
    reset(601);
    t.gestures.Down(7, true, 200, 200, 610);
    for (int x = 1; x <= 80; ++x) t.gestures.Move(7, 200 + x, 200, 610 + x);
    t.gestures.Move(7, 270, 232, 700);  // back over the fifth mark, down over two
    t.gestures.Up(7, 270, 232, 710);
    for (int x = 16; x <= 80; x += 16) t.byKeys.Tap(Control::TurnRight, 610 + x);
    t.byKeys.Tap(Control::TurnLeft, 700);
    t.byKeys.Tap(Control::TiltUp, 700, 2);
    t.Frames(616, 800);
    EXPECT_TRUE(t.Same()) << "drag: five turns right, one back, two tilts up";
    EXPECT_TRUE(FlatAndAtRest(*t.touched)) << "a drag never pokes";
}

TEST(Gestures, ASecondFingerOrACancelEndsTheGestureWithNothingMore)
{
    Twins t;
    t.Frames(0, 0);
    // A second finger: the first one's tap never pokes; a cancelled drag turns no more.
    t.gestures.Down(1, true, 10, 10, 5);
    t.gestures.Down(2, false, 90, 10, 8);
    t.gestures.Up(2, 90, 10, 9);
    t.gestures.Up(1, 10, 10, 12);
    t.gestures.Down(3, true, 10, 10, 20);
    t.gestures.Move(3, 30, 10, 25);
    t.gestures.Cancel(3, 26);
    t.gestures.Move(3, 200, 10, 27);
    t.gestures.Up(3, 200, 10, 28);
    t.byKeys.Tap(Control::TurnRight, 25);
    t.Frames(16, 100);
    EXPECT_TRUE(t.Same());
    EXPECT_TRUE(FlatAndAtRest(*t.touched));

    // A hold that a second finger ends lets Space go at once; so does losing the focus.
    t.gestures.Down(4, true, 10, 10, 110);
    t.gestures.Down(5, false, 60, 10, 420);
    t.gestures.Up(4, 10, 10, 700);
    t.gestures.Down(6, true, 10, 10, 710);
    t.gestures.ReleaseAll(1000);
    t.byKeys.KeyDown(Control::Poke, 360);
    t.byKeys.KeyUp(Control::Poke, 420);
    t.byKeys.KeyDown(Control::Poke, 960);
    t.byKeys.KeyUp(Control::Poke, 1000);
    t.Frames(112, 1200);
    EXPECT_TRUE(t.Same());
}

// The editions stop asking for frames while Resting: a pointer that may still become a
// hold, or a key not yet applied, must keep them coming.
TEST(Gestures, FramesMayStopOnlyWhileNothingWaitsToAct)
{
    Twins t;
    t.byTouch.Settle();
    EXPECT_TRUE(t.gestures.Resting()) << "the start sheet";
    t.gestures.Down(1, true, 10, 10, 20);
    EXPECT_FALSE(t.gestures.Resting()) << "a pointer down may become a hold with no further event";
    t.gestures.Move(1, 15, 10, 30);  // a short drag, short of a mark: no key yet
    t.gestures.Move(1, 25, 10, 40);
    EXPECT_TRUE(t.gestures.Resting()) << "a drag acts only on its next move";
    t.byTouch.KeyDown(Control::Poke, 50);
    EXPECT_FALSE(t.gestures.Resting()) << "a key waits for its step";
}

TEST(Keys, CGoesByItsLetterOrWhereTheLayoutHasNoLatinLetterByItsPlace)
{
    Control c = Control::TurnLeft;
    EXPECT_TRUE(ControlForKey(NamedKey::kOther, U'c', false, c) && c == Control::Reset);
    EXPECT_TRUE(ControlForKey(NamedKey::kOther, U'C', true, c) && c == Control::Reset);
    c = Control::TurnLeft;
    EXPECT_TRUE(ControlForKey(NamedKey::kOther, U'\u0441', true, c) && c == Control::Reset) << "Cyrillic es";
    EXPECT_TRUE(ControlForKey(NamedKey::kOther, 0, true, c) && c == Control::Reset) << "no character at all";
    EXPECT_FALSE(ControlForKey(NamedKey::kOther, U'j', true, c)) << "Dvorak's J lies where C lies on US";
    EXPECT_FALSE(ControlForKey(NamedKey::kOther, U'\u0441', false, c));
    EXPECT_TRUE(ControlForKey(NamedKey::kSpace, U' ', false, c) && c == Control::Poke);
    EXPECT_TRUE(ControlForKey(NamedKey::kUp, 0, true, c) && c == Control::TiltUp);
}

}  // namespace sorvel
