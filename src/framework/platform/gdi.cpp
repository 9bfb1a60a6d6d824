#include "platform/gdi.h"

#include "platform/seams.h"
#include "platform/wnd.h"

namespace {

long g_liveGdiObjects = 0;
long g_liveMemoryDCs = 0;

}  // namespace

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == nullptr || m_hObject != nullptr) {
        return FALSE;
    }
    m_hObject = hObject;
    ++g_liveGdiObjects;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    if (m_pSelectedInto != nullptr) {
        m_pSelectedInto->m_pSelectedBitmap = nullptr;  // still selected, now the caller's concern
        m_pSelectedInto = nullptr;
    }
    HGDIOBJ hObject = m_hObject;
    if (hObject != nullptr) {
        m_hObject = nullptr;
        --g_liveGdiObjects;
    }
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr) {
        return FALSE;
    }
    if (m_pSelectedInto != nullptr) {
        m_pSelectedInto->RestoreSelection();
    }
    if (!AfxPlatformCalls().deleteObject(m_hObject)) {
        return FALSE;
    }
    Detach();
    return TRUE;
}

long AfxLiveGdiObjects() { return g_liveGdiObjects; }

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (m_hObject != nullptr) {
        return FALSE;
    }
    return Attach(AfxPlatformCalls().createCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

CDC::~CDC() { DeleteDC(); }

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == nullptr || m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = hDC;
    m_bOwned = true;
    ++g_liveMemoryDCs;
    return TRUE;
}

void CDC::Borrow(HDC hDC)
{
    m_hDC = hDC;
    m_bOwned = false;
}

HDC CDC::Detach()
{
    RestoreSelection();
    HDC hDC = m_hDC;
    if (hDC != nullptr && m_bOwned) {
        --g_liveMemoryDCs;
    }
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == nullptr || !m_bOwned) {
        return FALSE;
    }
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_hDC != nullptr) {
        return FALSE;
    }
    return Attach(AfxPlatformCalls().createCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr));
}

HGDIOBJ CDC::SelectObject(CBitmap* pBitmap)
{
    const HGDIOBJ previous = ::SelectObject(m_hDC, pBitmap->m_hObject);
    if (previous == nullptr) {
        return nullptr;
    }
    if (m_hDisplacedBitmap == nullptr) {
        m_hDisplacedBitmap = previous;
    }
    if (m_pSelectedBitmap != nullptr) {
        m_pSelectedBitmap->m_pSelectedInto = nullptr;
    }
    m_pSelectedBitmap = pBitmap;
    pBitmap->m_pSelectedInto = this;
    return previous;
}

void CDC::RestoreSelection()
{
    if (m_hDisplacedBitmap != nullptr) {
        ::SelectObject(m_hDC, m_hDisplacedBitmap);
        m_hDisplacedBitmap = nullptr;
    }
    if (m_pSelectedBitmap != nullptr) {
        m_pSelectedBitmap->m_pSelectedInto = nullptr;
        m_pSelectedBitmap = nullptr;
    }
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    ::SetBkColor(m_hDC, color);
    const RECT rect = {x, y, x + cx, y + cy};
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

BOOL CDC::PolyPolyline(const POINT* lpPoints, const DWORD* lpPolyPoints, int nCount)
{
    return AfxPlatformCalls().polyPolyline(m_hDC, lpPoints, lpPolyPoints, static_cast<DWORD>(nCount));
}

long AfxLiveMemoryDCs() { return g_liveMemoryDCs; }

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr)
{
    // GetDC(null) would hand out the whole screen; a window that is gone gets nothing.
    Borrow(m_hWnd != nullptr ? AfxPlatformCalls().getDC(m_hWnd) : nullptr);
}

CClientDC::~CClientDC()
{
    if (HDC hDC = Detach()) {
        ::ReleaseDC(m_hWnd, hDC);
    }
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(pWnd->m_hWnd) { Borrow(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
