#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "program_support.h"
#include "ui/about_dlg.h"
#include "ui/resource.h"

namespace {

// Columns of a control's client area that its own painting inks dark.
int InkedColumns(HWND control)
{
    RECT client;
    ::GetClientRect(control, &client);
    const HDC screen = ::GetDC(nullptr);
    const HDC dc = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int inked = 0;
    for (int x = 0; x < client.right; ++x) {
        for (int y = 0; y < client.bottom; ++y) {
            const COLORREF c = ::GetPixel(dc, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) {
                ++inked;
                break;
            }
        }
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return inked;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(main.Create(IDD_SURFACE_DIALOG));
        AfxGetApp()->m_pMainWnd = &main;
    }
    void TearDown() override { AfxGetApp()->m_pMainWnd = nullptr; }

    CDialog main{IDD_SURFACE_DIALOG};
};

}  // namespace

TEST_F(AboutBox, ShowsModallyOverTheMainWindow)
{
    INT_PTR result = 0;
    WhileModal(
        kAboutCaption, [&] { result = CAboutDlg().DoModal(); },
        [&](HWND box) {
            EXPECT_EQ(WindowText(box), kAboutCaption);
            EXPECT_EQ(::GetWindow(box, GW_OWNER), main.m_hWnd);
            EXPECT_FALSE(main.IsWindowEnabled()) << "the main window takes no input meanwhile";
            const RECT b = WindowRect(box), m = WindowRect(main.m_hWnd);
            EXPECT_LE(std::abs((b.left + b.right) - (m.left + m.right)), 2) << "centred over the main window";
            EXPECT_LE(std::abs((b.top + b.bottom) - (m.top + m.bottom)), 2);

            const std::vector<HWND> controls = Children(box);
            ASSERT_EQ(controls.size(), 4u);
            EXPECT_EQ(ClassName(controls[0]), L"Static");
            EXPECT_NE(::SendMessageW(controls[0], STM_GETICON, 0, 0), 0) << "shows the program's icon";
            EXPECT_EQ(WindowText(controls[1]), L"Sorvel Version 0.1");
            EXPECT_NE(WindowText(controls[2]).find(L"Copyright"), std::wstring::npos);
            EXPECT_EQ(ClassName(controls[3]), L"Button");
            EXPECT_EQ(::GetDlgCtrlID(controls[3]), IDOK);
            EXPECT_EQ(WindowText(controls[3]), L"OK");

            // The dialog font stands in for a Japanese face that has these glyphs.
            const HDC dc = ::GetDC(box);
            const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(box, WM_GETFONT, 0, 0)));
            WORD glyphs[4] = {};
            ::GetGlyphIndicesW(dc, L"\u306E\uFF8A\u60C5\u5831", 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
            for (WORD g : glyphs) {
                EXPECT_NE(g, 0xFFFF) << "a Japanese glyph is missing from the dialog font";
            }
            ::SelectObject(dc, old);
            ::ReleaseDC(box, dc);

            // Text 2 shows an ampersand as it is; text 3 takes it for a mnemonic marker.
            const std::wstring saved2 = WindowText(controls[1]), saved3 = WindowText(controls[2]);
            ::SetWindowTextW(controls[1], L"W&W");
            ::SetWindowTextW(controls[2], L"W&W");
            EXPECT_GT(InkedColumns(controls[1]), InkedColumns(controls[2]));
            ::SetWindowTextW(controls[1], saved2.c_str());
            ::SetWindowTextW(controls[2], saved3.c_str());

            ::SendMessageW(controls[3], BM_CLICK, 0, 0);  // OK
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(main.IsWindowEnabled());
    EXPECT_EQ(::GetActiveWindow(), main.m_hWnd);
    EXPECT_EQ(FindThreadWindow(kAboutCaption), nullptr);
}

TEST_F(AboutBox, EscClosesItAndItOpensAgain)
{
    for (int n = 0; n < 3; ++n) {
        INT_PTR result = 0;
        WhileModal(
            kAboutCaption, [&] { result = CAboutDlg().DoModal(); },
            [&](HWND box) {
                EXPECT_FALSE(main.IsWindowEnabled());
                ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
            });
        EXPECT_EQ(result, IDCANCEL) << "opening " << n;
        EXPECT_TRUE(main.IsWindowEnabled());
        EXPECT_EQ(::GetActiveWindow(), main.m_hWnd);
    }
}
