// What every edition without Win32 shares beyond the core: the keys read once per step
// as the asynchronous key state reads them, the pace of one step per 10 ms of focused
// time, and the rule that only a focused, visible window moves the sheet.
#pragma once

#include <memory>

#include "sim/controls.h"
#include "sim/scene.h"

namespace sorvel {

constexpr double kStepMilliseconds = 10.0;
// After a stall (a hidden tab, a busy machine) a frame runs at most this many steps
// and lets the rest of the backlog go.
constexpr int kMaxStepsPerFrame = 4;

// One key as a step reads it: counted when it is down now, or was pressed since the
// previous read, so a tap between two steps still counts once. A gesture's taps (a
// drag across several marks between two steps) count one by one.
struct KeyLatch {
    bool down = false;
    bool pressed = false;
    int taps = 0;

    void Press() { down = pressed = true; }
    void Release() { down = false; }
    void Tap(int count) { taps += count; }
    // How often the step applies the key.
    int Read()
    {
        const int counted = taps > 0 ? taps : (down || pressed ? 1 : 0);
        pressed = false;
        taps = 0;
        return counted;
    }
};

// Drives a scene from key events and frame times. Key events carry their own time
// stamps and are applied at the first step at or after them, never before: a frame
// whose time lies just before a tap's press does not split the tap over two steps.
class Animation {
public:
    // Settle's copy of the scene is made here, at start, so that no frame allocates.
    explicit Animation(SceneState& scene) : m_scene(scene), m_trial(std::make_unique<SceneState>()) {}

    void KeyDown(Control control, double milliseconds) { Queue({milliseconds, control, KeyEvent::kDown, 1}); }
    void KeyUp(Control control, double milliseconds) { Queue({milliseconds, control, KeyEvent::kUp, 1}); }
    // Taps of a gesture at one time: each counted, at the first step at or after that
    // time, however many others fall into the same step.
    void Tap(Control control, double milliseconds, int count = 1)
    {
        Queue({milliseconds, control, KeyEvent::kTap, count});
    }

    // A frame at the given time. While active (focused, visible, no dialog over the
    // sheet) runs the steps that fell due since the last frame, each one reading the
    // keys, building the rotation and stepping the sheet; returns how many ran.
    // Inactive: no step, every key let go (a press already made still counts once at
    // the next step), and the time that passes is not owed later.
    int Frame(double milliseconds, bool active);

    // After a frame whose pixels did not change: tries a step without keys on a copy of
    // the scene. When the copy comes out the same bit for bit, the scene is at a fixed
    // point (flat and at rest, before a poke or after C), and every later step without
    // keys would leave it so: from then on steps are counted but not run, until a step
    // applies a key.
    void Settle();
    bool Still() const { return m_still; }
    // No key is down, pressed since the last step or waiting in the queue: until the
    // next key event, a still scene's steps are all alike, and an edition may stop
    // asking for frames.
    bool Idle() const
    {
        for (const KeyLatch& key : m_keys) {
            if (key.down || key.pressed || key.taps > 0) return false;
        }
        return m_queued == 0;
    }

private:
    struct KeyEvent {
        enum Kind { kDown, kUp, kTap };
        double milliseconds;
        Control control;
        Kind kind;
        int count;
    };
    static constexpr int kQueueSize = 64;

    void Queue(const KeyEvent& event);
    void Apply(const KeyEvent& event);
    void ApplyEventsUpTo(double milliseconds);
    void Step();
    void ReleaseAll();

    SceneState& m_scene;
    KeyLatch m_keys[kControlCount];
    KeyEvent m_queue[kQueueSize] = {};
    int m_queued = 0;
    bool m_running = false;     // the previous frame was active
    double m_nextStep = 0.0;    // when the next step falls due
    bool m_still = false;       // see Settle
    std::unique_ptr<SceneState> m_trial;  // Settle's copy
};

}  // namespace sorvel
