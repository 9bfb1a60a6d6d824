#include "run/animation.h"

#include <cstring>

namespace sorvel {

void Animation::Queue(const KeyEvent& event)
{
    if (m_queued == kQueueSize) {
        // Full: the oldest event takes effect now, so no tap is lost.
        Apply(m_queue[0]);
        for (int n = 1; n < m_queued; ++n) {
            m_queue[n - 1] = m_queue[n];
        }
        --m_queued;
    }
    m_queue[m_queued++] = event;
}

void Animation::Apply(const KeyEvent& event)
{
    KeyLatch& key = m_keys[static_cast<int>(event.control)];
    switch (event.kind) {
    case KeyEvent::kDown: key.Press(); break;
    case KeyEvent::kUp: key.Release(); break;
    case KeyEvent::kTap: key.Tap(event.count); break;
    }
}

void Animation::ApplyEventsUpTo(double milliseconds)
{
    int applied = 0;
    while (applied < m_queued && m_queue[applied].milliseconds <= milliseconds) {
        Apply(m_queue[applied++]);
    }
    for (int n = applied; n < m_queued; ++n) {
        m_queue[n - applied] = m_queue[n];
    }
    m_queued -= applied;
}

void Animation::Step()
{
    for (Control control : kControlOrder) {
        for (int n = m_keys[static_cast<int>(control)].Read(); n > 0; --n) {
            ApplyControl(m_scene, control);
            m_still = false;
        }
    }
    if (m_still) return;
    m_scene.BuildRotation();
    m_scene.StepSheet();
}

void Animation::ReleaseAll()
{
    // Taps already made still count at the next step, as the asynchronous key state
    // keeps a press; what is held is let go.
    for (int n = 0; n < m_queued; ++n) {
        Apply(m_queue[n]);
    }
    m_queued = 0;
    for (KeyLatch& key : m_keys) {
        key.Release();
    }
}

void Animation::Settle()
{
    if (m_still) return;
    SceneState& trial = *m_trial;
    std::memcpy(trial.m_pos, m_scene.m_pos, sizeof trial.m_pos);
    std::memcpy(trial.m_vel, m_scene.m_vel, sizeof trial.m_vel);
    // The step reads positions and velocities alone; the view does not move without keys.
    trial.StepSheet();
    m_still = std::memcmp(trial.m_pos, m_scene.m_pos, sizeof trial.m_pos) == 0 &&
              std::memcmp(trial.m_vel, m_scene.m_vel, sizeof trial.m_vel) == 0;
}

int Animation::Frame(double milliseconds, bool active)
{
    if (!active) {
        // Keys released elsewhere never reach us; a dialog's keys are its own.
        m_running = false;
        ReleaseAll();
        return 0;
    }
    if (!m_running) {
        m_running = true;
        m_nextStep = milliseconds;  // the first focused frame steps at once
    }
    int steps = 0;
    while (m_nextStep <= milliseconds && steps < kMaxStepsPerFrame) {
        ApplyEventsUpTo(m_nextStep);
        Step();
        m_nextStep += kStepMilliseconds;
        ++steps;
    }
    if (m_nextStep <= milliseconds) {
        m_nextStep = milliseconds + kStepMilliseconds;  // the backlog is not owed
    }
    return steps;
}

}  // namespace sorvel
