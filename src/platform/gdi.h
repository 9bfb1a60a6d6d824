// Device contexts and GDI objects, each a thin owner of one handle.
#pragma once

#include "platform/win.h"

class CWnd;

// A GDI object (pen, brush, bitmap, ...) owned through its handle.
class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    // Deleting the wrapper deletes the GDI object it holds.
    virtual ~CGdiObject() { DeleteObject(); }

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
};

class CBitmap : public CGdiObject {
public:
    // A bitmap of the given size in the colour format of pDC.
    BOOL CreateCompatibleBitmap(class CDC* pDC, int nWidth, int nHeight);
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
};

// A device context. Destroying the wrapper deletes the DC it holds (a memory DC);
// the window and paint wrappers give theirs back instead.
class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    BOOL Attach(HDC hDC);
    HDC Detach();
    // Deletes the DC held, if any, and leaves the wrapper empty.
    BOOL DeleteDC();

    // A memory DC compatible with pDC (or with the screen for null), attached here.
    BOOL CreateCompatibleDC(CDC* pDC);

    // Selects the bitmap; returns the one selected before (not owned by anyone here).
    HGDIOBJ SelectObject(CBitmap* pBitmap);

    // Fills a rectangle with one colour; the background colour stays set to it.
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void MoveTo(int x, int y) { ::MoveToEx(m_hDC, x, y, nullptr); }
    // Draws up to (x, y), not including that pixel, with the current pen.
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    // Several polylines in one call; each leaves its last pixel uncoloured, as LineTo does.
    BOOL PolyPolyline(const POINT* lpPoints, const DWORD* lpPolyPoints, int nCount);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, dwRop);
    }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
};

// The client area of a window, from GetDC to ReleaseDC. m_hDC is null when the
// platform gives none.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// Painting in answer to WM_PAINT, from BeginPaint to EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
