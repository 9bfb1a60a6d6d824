#include <gtest/gtest.h>

#include <memory>

#include "platform/seams.h"
#include "platform_test_resource.h"
#include "win_test_support.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(IDD_TEST_PLAIN));
        CClientDC windowDC(&window);
        ASSERT_NE(windowDC.m_hDC, nullptr);
        ASSERT_TRUE(memory.CreateCompatibleDC(&windowDC));
        // Compatible with the window, not with the memory DC (which would be monochrome).
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&windowDC, 20, 10));
        memory.SelectObject(&bitmap);
        memory.FillSolidRect(0, 0, 20, 10, kWhite);
    }

    ScriptedApp app;
    CDialog window{IDD_TEST_PLAIN};
    CDC memory;
    CBitmap bitmap;
};

}  // namespace

TEST_F(Drawing, FillSolidRectFillsExactlyAndLeavesTheBackgroundColour)
{
    memory.FillSolidRect(2, 3, 5, 4, kRed);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
            ASSERT_EQ(::GetPixel(memory.m_hDC, x, y), inside ? kRed : kWhite) << x << "," << y;
        }
    }
    EXPECT_EQ(::GetBkColor(memory.m_hDC), kRed);
}

TEST_F(Drawing, LineToLeavesItsEndPixelAndTheNextLineColoursIt)
{
    memory.MoveTo(1, 1);
    memory.LineTo(6, 1);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(::GetPixel(memory.m_hDC, x, 1), x >= 1 && x < 6 ? kBlack : kWhite) << x;
    }
    memory.MoveTo(6, 1);
    memory.LineTo(6, 5);
    EXPECT_EQ(::GetPixel(memory.m_hDC, 6, 1), kBlack);
    EXPECT_EQ(::GetPixel(memory.m_hDC, 6, 5), kWhite);
}

TEST_F(Drawing, BitBltCopiesThePixels)
{
    memory.FillSolidRect(3, 2, 4, 4, kRed);
    memory.MoveTo(0, 9);
    memory.LineTo(19, 9);

    CClientDC windowDC(&window);
    CDC copy;
    ASSERT_TRUE(copy.CreateCompatibleDC(&windowDC));
    CBitmap target;
    ASSERT_TRUE(target.CreateCompatibleBitmap(&windowDC, 20, 10));
    copy.SelectObject(&target);
    ASSERT_TRUE(copy.BitBlt(0, 0, 20, 10, &memory, 0, 0, SRCCOPY));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(::GetPixel(copy.m_hDC, x, y), ::GetPixel(memory.m_hDC, x, y)) << x << "," << y;
        }
    }
}

TEST(GdiWrappers, OwnExactlyWhatTheyHold)
{
    const long dcs = AfxLiveMemoryDCs();
    const long objects = AfxLiveGdiObjects();
    {
        CDC empty;
        EXPECT_FALSE(empty.DeleteDC()) << "nothing to delete";
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
        auto* bitmap = new CBitmap;
        ASSERT_TRUE(bitmap->CreateCompatibleBitmap(&memory, 4, 4));
        memory.SelectObject(bitmap);
        EXPECT_EQ(AfxLiveMemoryDCs(), dcs + 1);
        EXPECT_EQ(AfxLiveGdiObjects(), objects + 1);
        // The memory DC goes first, then the bitmap that was selected into it.
        EXPECT_TRUE(memory.DeleteDC());
        EXPECT_EQ(memory.m_hDC, nullptr);
        const HGDIOBJ handle = bitmap->m_hObject;
        delete bitmap;
        EXPECT_EQ(::GetObjectType(handle), 0u) << "deleting the wrapper deleted the bitmap";
    }
    EXPECT_EQ(AfxLiveMemoryDCs(), dcs);
    EXPECT_EQ(AfxLiveGdiObjects(), objects);
}

namespace {
BOOL WINAPI RefuseDeletion(HGDIOBJ) { return FALSE; }
}  // namespace

TEST(GdiWrappers, ADCAndItsBitmapGoInEitherOrderAndARefusalKeepsTheObject)
{
    Refusal asOnWindows(&PlatformCalls::deleteObject, &DeleteObjectAsOnWindows);
    const long objects = AfxLiveGdiObjects();
    for (const bool bitmapFirst : {false, true}) {
        auto memory = std::make_unique<CDC>();
        auto bitmap = std::make_unique<CBitmap>();
        ASSERT_TRUE(memory->CreateCompatibleDC(nullptr));
        ASSERT_TRUE(bitmap->CreateCompatibleBitmap(memory.get(), 4, 4));
        ASSERT_NE(memory->SelectObject(bitmap.get()), nullptr);
        const HGDIOBJ handle = bitmap->m_hObject;
        if (bitmapFirst) {
            bitmap.reset();
        }
        memory.reset();
        bitmap.reset();
        EXPECT_EQ(::GetObjectType(handle), 0u) << (bitmapFirst ? "bitmap first" : "DC first");
        EXPECT_EQ(AfxLiveGdiObjects(), objects);
    }

    CDC screen;
    CBitmap kept;
    ASSERT_TRUE(screen.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(kept.CreateCompatibleBitmap(&screen, 4, 4));
    {
        Refusal refusal(&PlatformCalls::deleteObject, &RefuseDeletion);
        EXPECT_FALSE(kept.DeleteObject());
    }
    EXPECT_NE(kept.m_hObject, nullptr);
    EXPECT_EQ(AfxLiveGdiObjects(), objects + 1) << "a refused deletion frees nothing";
}
