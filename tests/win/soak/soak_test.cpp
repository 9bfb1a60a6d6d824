// Long runs with whatever a person or the window system can throw at the program:
// random keys (all held at once for thousands of ticks, Space alone for longer, so
// the sheet flies apart), random sizes (minimised, one pixel, odd, 1920 x 1080, and
// too large for any bitmap). Nothing may crash, and nothing may pile up.
#include <cstdio>
#include <random>

#include "platform/seams.h"
#include "program_fixture.h"

#include <psapi.h>

namespace {

constexpr int kBulkTicks = 100000;
constexpr int kRealTicks = 1000;

const SIZE kSizes[] = {{0, 0},         {1, 1},   {333, 177}, {1920, 1080}, {481, 330},
                       {65535, 65535}, {2, 999}, {640, 480}, {1024, 1},    {40000, 40000}};
const SIZE kOpeningSize = {481, 330};

// GDI from the framework's own live counts: the platform's count of the process's
// GDI handles is always 0 under Wine. The fixture deletes as Windows does, so a
// refused deletion stays counted.
struct Usage {
    long memoryDCs;
    long gdiObjects;
    SIZE_T privateBytes;  // committed private memory
};

Usage Measure()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return Usage{AfxLiveMemoryDCs(), AfxLiveGdiObjects(), memory.PagefileUsage};
}

void ExpectNothingPiledUp(const Usage& before, const Usage& after)
{
    EXPECT_EQ(after.memoryDCs, before.memoryDCs);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_LT(after.privateBytes, before.privateBytes + 4 * 1024 * 1024) << "memory grew";
    std::printf("memory DCs %ld -> %ld, GDI objects %ld -> %ld, private bytes %llu -> %llu\n",
                before.memoryDCs, after.memoryDCs, before.gdiObjects, after.gdiObjects,
                static_cast<unsigned long long>(before.privateBytes),
                static_cast<unsigned long long>(after.privateBytes));
}

class Soak : public Program {
protected:
    // Each key up or down at random, `held` keys down; only changes are sent.
    void RandomKeys(std::initializer_list<WORD> held)
    {
        for (int k = 0; k < 6; ++k) {
            const WORD key = kAnimationKeys[k];
            bool down = random() % 4 == 0;
            for (WORD h : held) {
                down = down || h == key;
            }
            if (down != keyDown[k]) {
                SendKey(key, down);
                keyDown[k] = down;
            }
        }
    }

    void Resize(const SIZE& size)
    {
        dlg->SendMessage(WM_SIZE, size.cx == 0 ? SIZE_MINIMIZED : SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
        // A size that can have a bitmap must get one at the next frame, whatever came before.
        mustDraw = size.cx != 0 && size.cx <= 4096 && size.cy <= 4096;
    }

    // One tick's work without the pause, then whatever the window system has queued.
    void TickWork(int tick)
    {
        dlg->ApplyKeys();
        dlg->BuildRotation();
        dlg->StepSheet();
        dlg->DrawFrame();
        if (mustDraw) {
            mustDraw = false;
            ASSERT_NE(dlg->m_dcMem.m_hDC, nullptr) << "tick " << tick;
            ASSERT_NE(dlg->m_pBitmap->m_hObject, nullptr) << "tick " << tick;
        }
        Pump();
    }

    // Ticks with random sizes and keys from `first` to `last`.
    void Run(int first, int last, std::initializer_list<WORD> held, int keyEvery)
    {
        for (int tick = first; tick < last && !HasFatalFailure(); ++tick) {
            if (tick % keyEvery == 0) {
                RandomKeys(held);
            }
            if (tick % 97 == 0) {
                Resize(kSizes[random() % (sizeof kSizes / sizeof kSizes[0])]);
            }
            TickWork(tick);
        }
    }

    void ReleaseKeys()
    {
        ReleaseAllKeys();
        for (bool& down : keyDown) {
            down = false;
        }
    }

    std::mt19937 random{20261209};
    bool keyDown[6] = {};
    bool mustDraw = false;
};

}  // namespace

TEST_F(Soak, HundredThousandTicksOfRandomKeysAndSizes)
{
    const DWORD start = ::GetTickCount();
    TickWork(0);
    const Usage opening = Measure();
    Run(0, 3000, {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'C', VK_SPACE}, 1);
    // Space alone: the block's velocity grows by one every tick, without limit, and
    // the sheet flies out past the camera.
    Run(3000, 9000, {VK_SPACE}, 1);

    // By now every size and key has come by, and the platform holds what it keeps
    // for later (the heap grows once, by about one 1920 x 1080 bitmap). From here on
    // nothing may grow.
    Resize(kOpeningSize);
    TickWork(9000);
    const Usage before = Measure();
    EXPECT_EQ(before.memoryDCs, opening.memoryDCs);
    EXPECT_EQ(before.gdiObjects, opening.gdiObjects);
    Run(9000, kBulkTicks, {}, 10);
    ReleaseKeys();
    std::printf("%d ticks in %lu ms; private bytes at the start %llu\n", kBulkTicks, ::GetTickCount() - start,
                static_cast<unsigned long long>(opening.privateBytes));

    Resize(kOpeningSize);
    TickWork(kBulkTicks);
    ExpectNothingPiledUp(before, Measure());
}

TEST_F(Soak, ThousandRealTicksWithRandomKeys)
{
    dlg->Tick();
    const Usage before = Measure();
    for (int tick = 0; tick < kRealTicks && !HasFatalFailure(); ++tick) {
        RandomKeys({});
        if (tick % 200 == 0) {
            Resize(SIZE{300 + tick / 10, 200 + tick / 20});
        }
        dlg->Tick();
        Pump();
    }
    ReleaseKeys();
    Resize(SIZE{300, 200});
    dlg->Tick();
    ExpectNothingPiledUp(before, Measure());
    EXPECT_NE(dlg->m_pBitmap->m_hObject, nullptr);
}
