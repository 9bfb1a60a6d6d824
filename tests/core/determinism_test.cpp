// The same ticks must give the same bits on every compiler, optimisation level and
// target. The expected fingerprint was recorded once; every build of these tests
// (natively at several optimisation levels, for Windows under Wine, in WebAssembly and
// for arm64 under qemu) checks it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "bits.h"
#include "sim/scene.h"
#include "view/segments.h"

namespace sorvel {

namespace {

// The fingerprint of the ticks; `framed` counts the ticks whose BuildFrameSegments, the
// editions' one pass over the points, differs from ProjectSheet and BuildSegmentList.
uint64_t RunScenario(int& framed)
{
    auto s = std::make_unique<SceneState>();
    s->InitScene();
    s->m_cxClient = 641;
    s->m_cyClient = 479;
    static Vector3 rotated[kPointCount];
    static Vector3 projected[kPointCount];
    auto segments = std::make_unique<sorvel::SegmentList>();
    auto frame = std::make_unique<sorvel::SegmentList>();
    Fingerprint fingerprint;
    framed = 0;

    for (int tick = 0; tick < 2000; ++tick) {
        // A key pattern like a person's: turns, tilts, a long held poke, resets.
        if (tick % 3 == 0) s->m_angleZ -= 0.1;
        if (tick % 5 == 0) s->m_angleZ += 0.1;
        if (tick % 11 < 4) s->m_angleX -= 0.1;
        if (tick % 13 < 3) s->m_angleX += 0.1;
        if (tick == 900 || tick == 1700) s->ResetSheet();
        if (tick % 97 == 0 || (tick > 1000 && tick < 1400)) s->PokeSheet();

        s->BuildRotation();
        s->StepSheet();
        BuildFrameSegments(*s, *frame);
        ProjectSheet(*s, rotated, projected);
        BuildSegmentList(projected, *segments);
        framed += std::memcmp(frame->segments, segments->segments, sizeof frame->segments) != 0 ||
                          std::memcmp(frame->drawable, segments->drawable, sizeof frame->drawable) != 0
                      ? 1
                      : 0;

        fingerprint.Add(s->m_rot, sizeof s->m_rot);
        fingerprint.Add(&s->m_angleX, sizeof s->m_angleX);
        fingerprint.Add(&s->m_angleZ, sizeof s->m_angleZ);
        fingerprint.Add(s->m_pos, sizeof s->m_pos);
        fingerprint.Add(s->m_vel, sizeof s->m_vel);
        fingerprint.Add(projected, sizeof projected);
        fingerprint.Add(segments->segments, sizeof segments->segments);
        fingerprint.Add(segments->drawable, sizeof segments->drawable);
    }
    return fingerprint.Value();
}

}  // namespace

TEST(Determinism, TwoThousandTicksGiveTheRecordedBits)
{
    int framed = 0;
    const uint64_t fingerprint = RunScenario(framed);
    EXPECT_EQ(fingerprint, 0x37704209acf2ae0dull) << std::hex << "fingerprint 0x" << fingerprint;
    EXPECT_EQ(framed, 0) << "ticks whose frame's segments differ";
}

}  // namespace sorvel
