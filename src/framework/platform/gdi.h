// Device contexts and GDI objects, each a thin wrapper of one handle.
//
// A CGdiObject and a plain CDC own their handle: they delete it when they go. The
// wrappers of a window's DC (CClientDC, CPaintDC) only borrow it and give it back to
// the window. Attach never replaces a handle: it takes ownership of one only when the
// wrapper is empty, so nothing is ever deleted behind the caller's back.
//
// Windows does not delete a bitmap that is still selected into a DC. So a CDC
// remembers what its SelectObject displaced and puts it back before the DC goes, and
// a bitmap deleted while its wrapper is selected into a CDC is taken out of it first:
// the DC and the bitmap can go in either order. A deletion the platform refuses keeps
// the handle, and the object still counts as held.
#pragma once

#include "platform/win.h"

class CDC;
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

    // Takes ownership of a GDI object; FALSE (and nothing changes) for null or when
    // the wrapper already holds one.
    BOOL Attach(HGDIOBJ hObject);
    // Gives up ownership: returns the object held, and the wrapper is empty.
    HGDIOBJ Detach();
    // Deletes the object held, if any, and leaves the wrapper empty; FALSE, with the
    // object still held, when there is none or the platform refuses.
    BOOL DeleteObject();

private:
    friend class CDC;
    CDC* m_pSelectedInto = nullptr;  // the wrapper of the DC this is selected into
};

class CBitmap : public CGdiObject {
public:
    // A bitmap of the given size in the colour format of pDC; FALSE when the platform
    // refuses or the wrapper already holds a bitmap.
    BOOL CreateCompatibleBitmap(class CDC* pDC, int nWidth, int nHeight);
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
};

// A device context. A CDC owns the DC it made or was given (a memory DC) and deletes
// it; the window wrappers derived from it borrow theirs.
class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // Takes ownership of a DC; FALSE (and nothing changes) for null or when the
    // wrapper already holds one.
    BOOL Attach(HDC hDC);
    // Gives up the DC held, owned or borrowed, with what SelectObject displaced put
    // back: returns it, and the wrapper is empty.
    HDC Detach();
    // Deletes the DC held if this wrapper owns it, and leaves the wrapper empty;
    // FALSE when there is none or it is only borrowed.
    BOOL DeleteDC();

    // A memory DC compatible with pDC (or with the screen for null), owned here;
    // FALSE when the platform refuses or the wrapper already holds a DC.
    BOOL CreateCompatibleDC(CDC* pDC);

    // Selects the bitmap; returns the one selected before (not owned by anyone here),
    // or null when the platform refuses.
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

protected:
    // For the wrappers of a window's DC: use hDC without owning it.
    void Borrow(HDC hDC);

private:
    friend class CGdiObject;
    // Selects again the bitmap that the first SelectObject displaced.
    void RestoreSelection();

    bool m_bOwned = false;
    HGDIOBJ m_hDisplacedBitmap = nullptr;    // the DC's own bitmap, displaced by SelectObject
    CGdiObject* m_pSelectedBitmap = nullptr;  // the wrapper whose bitmap is selected now
};

// The client area of a window, borrowed from GetDC to ReleaseDC. m_hDC is null when
// the platform gives none.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// Painting in answer to WM_PAINT, borrowed from BeginPaint to EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
