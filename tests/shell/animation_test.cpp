// The editions' pace and keys: one step per 10 ms of focused time, a tap counted once.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "run/animation.h"
#include "../core/scene_support.h"

namespace sorvel {

namespace {

struct Pace : ::testing::Test {
    std::unique_ptr<SceneState> scene = NewScene();
    sorvel::Animation animation{*scene};
    // The angle the arrows turn, in tenths: how many steps counted Right.
    long Turns() const { return std::lround((scene->m_angleZ - 7.2) / 0.1); }
};

}  // namespace

TEST_F(Pace, StepsFollowFocusedTimeAndNeverRunFarBehind)
{
    EXPECT_EQ(animation.Frame(1000.0, true), 1);  // the first focused frame steps at once
    int steps = 0;
    for (double t = 1016.0; t < 2000.0; t += 16.0) steps += animation.Frame(t, true);
    EXPECT_NEAR(steps, 98, 1);
    EXPECT_EQ(animation.Frame(2000.0, false), 0);
    EXPECT_EQ(animation.Frame(9000.0, false), 0);
    // Back in front after a long stall: a step at once, and the backlog is not owed.
    EXPECT_EQ(animation.Frame(60000.0, true), 1);
    EXPECT_EQ(animation.Frame(60500.0, true), sorvel::kMaxStepsPerFrame);
    EXPECT_EQ(animation.Frame(60516.0, true), 1);
}

TEST_F(Pace, ATapBetweenTwoStepsCountsOnceAndAHeldKeyEveryStep)
{
    animation.Frame(0.0, true);
    // Pressed and released between the steps at 10 and 20, delivered late, in a frame
    // whose time lies before the press: it must not count in that frame's step 10 only
    // to count again later.
    animation.KeyDown(Control::TurnRight, 12.0);
    animation.KeyUp(Control::TurnRight, 13.0);
    EXPECT_EQ(animation.Frame(11.0, true), 1);
    EXPECT_EQ(Turns(), 0);
    animation.Frame(40.0, true);
    EXPECT_EQ(Turns(), 1);
    // Held from 45 to 75: down at the steps at 50, 60 and 70.
    animation.KeyDown(Control::TurnRight, 45.0);
    animation.KeyUp(Control::TurnRight, 75.0);
    animation.Frame(80.0, true);
    EXPECT_EQ(Turns(), 4);
    // Pressed just before the focus goes: counted once when it comes back, not held.
    animation.KeyDown(Control::TurnRight, 85.0);
    animation.Frame(86.0, false);
    animation.Frame(200.0, true);
    animation.Frame(230.0, true);
    EXPECT_EQ(Turns(), 5);
}

TEST_F(Pace, KeysAreReadInTableOrderSoResetComesBeforeThePoke)
{
    animation.Frame(0.0, true);
    animation.KeyDown(Control::Poke, 1.0);
    animation.KeyDown(Control::Reset, 2.0);
    animation.Frame(10.0, true);
    EXPECT_FALSE(FlatAndAtRest(*scene)) << "C then Space: laid flat, then poked";
    animation.KeyUp(Control::Poke, 11.0);
    animation.Frame(20.0, true);
    EXPECT_TRUE(FlatAndAtRest(*scene)) << "C alone: flat and still again";
}

TEST_F(Pace, AFullQueueAppliesItsOldestEventsAtOnceAndLosesNoRelease)
{
    animation.Frame(0.0, true);
    // 50 taps of Left, one per step, all told before the next frame: the queue holds 32
    // of them. The 18 oldest take effect at once, and count once, as taps between two
    // reads do; none may be dropped, and no release lost, or Left would stay held.
    for (int n = 0; n < 50; ++n) {
        animation.KeyDown(Control::TurnLeft, 1.0 + 10.0 * n);
        animation.KeyUp(Control::TurnLeft, 2.0 + 10.0 * n);
    }
    for (double t = 16.0; t <= 1200.0; t += 16.0) animation.Frame(t, true);
    EXPECT_EQ(Turns(), -33);
}

TEST_F(Pace, AStillSceneCountsItsStepsWithoutRunningThemUntilAKey)
{
    auto plain = NewScene();
    Animation reference{*plain};
    animation.Settle();  // the start sheet at rest: a step changes nothing
    EXPECT_TRUE(animation.Still());
    int still = 0, stepped = 0;
    const auto frames = [&](double from, double to) {
        for (double t = from; t < to; t += 16.0) {
            still += animation.Frame(t, true);
            stepped += reference.Frame(t, true);
        }
    };
    frames(0.0, 100.0);
    EXPECT_TRUE(animation.Still());
    // A turn ends the stillness as any key does; the poke must then move the sheet.
    for (Animation* a : {&animation, &reference}) {
        a->KeyDown(Control::TurnLeft, 101.0);
        a->KeyUp(Control::TurnLeft, 102.0);
        a->KeyDown(Control::Poke, 150.0);
        a->KeyUp(Control::Poke, 151.0);
    }
    frames(100.0, 400.0);
    animation.Settle();
    EXPECT_FALSE(animation.Still()) << "a rippling sheet is no fixed point";
    EXPECT_EQ(still, stepped);
    EXPECT_EQ(std::memcmp(scene->m_pos, plain->m_pos, sizeof plain->m_pos), 0);
    EXPECT_EQ(std::memcmp(scene->m_vel, plain->m_vel, sizeof plain->m_vel), 0);
    EXPECT_EQ(scene->m_angleZ, plain->m_angleZ);
    EXPECT_FALSE(FlatAndAtRest(*scene));
}

}  // namespace sorvel
