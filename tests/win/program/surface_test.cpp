#include "platform/seams.h"
#include "program_fixture.h"
#include "ui/resource.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

TEST_F(Program, SizeNotificationsRecordOnlyRealSizes)
{
    dlg->DrawFrame();
    ASSERT_EQ(dlg->m_bRebuildBuffer, 0);
    const int cx = dlg->m_cxClient, cy = dlg->m_cyClient;

    dlg->SendMessage(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_EQ(dlg->m_cxClient, cx);
    EXPECT_EQ(dlg->m_cyClient, cy);
    EXPECT_EQ(dlg->m_bRebuildBuffer, 0) << "minimising keeps the back buffer";
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 0));
    EXPECT_EQ(dlg->m_cxClient, cx);
    EXPECT_EQ(dlg->m_bRebuildBuffer, 0);

    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    EXPECT_EQ(dlg->m_cxClient, 300);
    EXPECT_EQ(dlg->m_cyClient, 200);
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1);
}

TEST_F(Program, SameSizeAgainStillRebuildsTheBackBuffer)
{
    dlg->DrawFrame();
    const HGDIOBJ first = dlg->m_pBitmap->m_hObject;
    const long dcs = AfxLiveMemoryDCs(), bitmaps = AfxLiveGdiObjects();
    ASSERT_NE(first, nullptr);

    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(dlg->m_cxClient, dlg->m_cyClient));
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1);
    dlg->DrawFrame();
    EXPECT_EQ(dlg->m_bRebuildBuffer, 0);
    EXPECT_EQ(::GetObjectType(first), 0u) << "the old bitmap is gone";
    EXPECT_NE(dlg->m_pBitmap->m_hObject, nullptr);
    EXPECT_EQ(AfxLiveMemoryDCs(), dcs) << "one memory DC, replaced";
    EXPECT_EQ(AfxLiveGdiObjects(), bitmaps) << "one bitmap, replaced";
}

TEST_F(Program, EdgeOnFlatSheetIsOneBlackLineOnTheMiddleRow)
{
    dlg->m_angleX = dlg->m_angleY = dlg->m_angleZ = 0.0;
    dlg->BuildRotation();
    dlg->DrawFrame();
    const HDC back = dlg->m_dcMem.m_hDC;
    const int hy = dlg->m_cyClient / 2, hx = dlg->m_cxClient / 2;
    int blackOnRow = 0;
    for (int y = 0; y < dlg->m_cyClient; ++y) {
        for (int x = 0; x < dlg->m_cxClient; ++x) {
            const COLORREF c = ::GetPixel(back, x, y);
            if (y == hy) {
                blackOnRow += c == kBlack ? 1 : 0;
            } else {
                ASSERT_EQ(c, kWhite) << x << "," << y;
            }
        }
    }
    // The sheet's nearest row spans 39 units at depth 8: about 490 pixels, clipped.
    EXPECT_GT(blackOnRow, dlg->m_cxClient / 2);
    EXPECT_EQ(::GetPixel(back, hx, hy), kBlack);
}

TEST_F(Program, StartViewCrossesTheGridLinesAtTheCentre)
{
    dlg->BuildRotation();
    dlg->DrawFrame();
    const HDC back = dlg->m_dcMem.m_hDC;
    const int hx = dlg->m_cxClient / 2, hy = dlg->m_cyClient / 2;
    EXPECT_EQ(::GetPixel(back, hx, hy), kBlack) << "point (20, 20) is the world origin";
    // A line leaves the centre on each side.
    int dark = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            dark += ::GetPixel(back, hx + dx, hy + dy) == kBlack ? 1 : 0;
        }
    }
    EXPECT_GE(dark, 4);
    EXPECT_EQ(::GetPixel(back, 0, 0), kWhite) << "outside the sheet the client area is white";
    EXPECT_EQ(::GetPixel(back, dlg->m_cxClient - 1, 0), kWhite);

    // And the window shows what the back buffer holds.
    CClientDC window(dlg);
    EXPECT_EQ(::GetPixel(window.m_hDC, hx, hy), kBlack);
    EXPECT_EQ(::GetPixel(window.m_hDC, 0, 0), kWhite);
}

TEST_F(Program, SystemMenuEndsWithTheAboutItem)
{
    const HMENU menu = ::GetSystemMenu(dlg->m_hWnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    MENUITEMINFOW separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(count - 2), TRUE, &separator));
    EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Sorvel \u306E\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831(&A)...");
}

TEST_F(Program, AboutCommandsOpenTheAboutBox)
{
    for (UINT command : {0x0010u, 0x001Fu}) {
        WhileModal(
            kAboutCaption, [&] { dlg->SendMessage(WM_SYSCOMMAND, command, 0); },
            [&](HWND box) {
                EXPECT_EQ(::GetWindow(box, GW_OWNER), dlg->m_hWnd);
                EXPECT_FALSE(dlg->IsWindowEnabled());
                ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
            });
        EXPECT_TRUE(dlg->IsWindowEnabled());
        EXPECT_EQ(::GetActiveWindow(), dlg->m_hWnd);
    }
}

TEST_F(Program, CloseSystemCommandClosesTheWindow)
{
    const HWND hWnd = dlg->m_hWnd;
    dlg->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(theApp.m_pDlg, nullptr);
    MSG quit;
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(Program, MinimisingKeepsTheSceneAndShowsTheIcon)
{
    EXPECT_EQ(reinterpret_cast<HICON>(dlg->SendMessage(WM_QUERYDRAGICON)), dlg->m_hIcon);
    EXPECT_NE(dlg->m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(dlg->SendMessage(WM_GETICON, ICON_BIG)), dlg->m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(dlg->SendMessage(WM_GETICON, ICON_SMALL)), dlg->m_hIcon);

    const int cx = dlg->m_cxClient;
    dlg->ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(dlg->IsIconic());
    ::RedrawWindow(dlg->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // paints the icon
    EXPECT_EQ(dlg->m_cxClient, cx);
    dlg->ShowWindow(SW_RESTORE);
    EXPECT_EQ(dlg->m_cxClient, cx);
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1) << "restoring reports the size again";
}

TEST_F(Program, ClosingWhileTheAboutBoxIsOpenEndsTheProgramWithZero)
{
    int code = -1;
    WhileModal(
        kAboutCaption,
        [&] {
            dlg->PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            code = theApp.Run();
        },
        [&](HWND) { dlg->PostMessage(WM_CLOSE); });  // takes the box with it
    EXPECT_EQ(code, 0);
}
