#include "afxdc.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The stock objects, shared by every DC and never destroyed while one may hold them.
CGdiObject* StockObject(int index) {
    static CBrush whiteBrush(RGB(255, 255, 255));
    static CBrush blackBrush(RGB(0, 0, 0));
    static CBrush nullBrush;
    static CPen whitePen(PS_SOLID, 1, RGB(255, 255, 255));
    static CPen blackPen(PS_SOLID, 1, RGB(0, 0, 0));
    static CPen nullPen(PS_NULL, 1, RGB(0, 0, 0));
    switch (index) {
        case WHITE_BRUSH:
            return &whiteBrush;
        case BLACK_BRUSH:
            return &blackBrush;
        case NULL_BRUSH:
            return &nullBrush;
        case WHITE_PEN:
            return &whitePen;
        case BLACK_PEN:
            return &blackPen;
        case NULL_PEN:
            return &nullPen;
        default:
            return nullptr;
    }
}

CRect Normalized(int x1, int y1, int x2, int y2) {
    return CRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

// Takes `object`'s description as the one drawn with and returns the object it replaces; null
// changes nothing.
template <class Object, class Description>
Object* Select(Object* object, Object*& selected, Description& current,
               Description Object::*description) {
    Object* previous = selected;
    if (object) {
        current = object->*description;
        selected = object;
    }
    return previous;
}

}  // namespace

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    m_logPen.lopnStyle = static_cast<UINT>(nPenStyle);
    m_logPen.lopnWidth = std::max(nWidth, 0);
    m_logPen.lopnColor = crColor;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    m_logBrush.lbStyle = BS_SOLID;
    m_logBrush.lbColor = crColor;
    return TRUE;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
    if (!lpLogFont) return FALSE;
    m_logFont = *lpLogFont;
    m_logFont.lfFaceName[sizeof m_logFont.lfFaceName - 1] = '\0';
    return TRUE;
}

CDrawingSurface::~CDrawingSurface() = default;

CDC::CDC(CDrawingSurface* surface) : m_pSurface(surface) {
    if (m_pSurface) {
        m_state.clip = m_pSurface->GetBounds();
        m_pSurface->SetClip(m_state.clip);
    }
}

int CDC::GetDeviceCaps(int nIndex) const {
    if (nIndex == LOGPIXELSX || nIndex == LOGPIXELSY) return m_pSurface ? m_pSurface->GetDpi() : 96;
    return 0;
}

CPen* CDC::SelectObject(CPen* pPen) {
    return Select(pPen, m_state.selectedPen, m_state.pen, &CPen::m_logPen);
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return Select(pBrush, m_state.selectedBrush, m_state.brush, &CBrush::m_logBrush);
}

CFont* CDC::SelectObject(CFont* pFont) {
    return Select(pFont, m_state.selectedFont, m_state.font, &CFont::m_logFont);
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    CGdiObject* stock = StockObject(nIndex);
    if (auto* pen = dynamic_cast<CPen*>(stock)) return SelectObject(pen);
    if (auto* brush = dynamic_cast<CBrush*>(stock)) return SelectObject(brush);
    return nullptr;
}

COLORREF CDC::SetTextColor(COLORREF crColor) { return std::exchange(m_state.textColor, crColor); }

COLORREF CDC::SetBkColor(COLORREF crColor) { return std::exchange(m_state.bkColor, crColor); }

int CDC::SetBkMode(int nBkMode) { return std::exchange(m_state.bkMode, nBkMode); }

UINT CDC::SetTextAlign(UINT nFlags) { return std::exchange(m_state.textAlign, nFlags); }

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_state.position, CPoint(x, y)); }

BOOL CDC::LineTo(int x, int y) {
    const POINT line[2] = {m_state.position, CPoint(x, y)};
    m_state.position = CPoint(x, y);
    return Polyline(line, 2);
}

BOOL CDC::Polyline(const POINT* lpPoints, int nCount) {
    if (!lpPoints || nCount < 2) return FALSE;
    if (CanDraw() && m_state.pen.lopnStyle != PS_NULL)
        m_pSurface->DrawPolyline(lpPoints, nCount, m_state.pen);
    return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) {
    if (CanDraw())
        m_pSurface->DrawRectangle(Normalized(x1, y1, x2, y2), m_state.pen, m_state.brush);
    return TRUE;
}

BOOL CDC::Rectangle(LPCRECT lpRect) {
    return lpRect && Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) {
    if (CanDraw()) m_pSurface->DrawEllipse(Normalized(x1, y1, x2, y2), m_state.pen, m_state.brush);
    return TRUE;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    if (lpRect && CanDraw()) m_pSurface->FillRect(*lpRect, clr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    const CRect rect(x, y, x + cx, y + cy);
    FillSolidRect(&rect, clr);
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
    if (CanDraw() && !str.IsEmpty())
        m_pSurface->DrawTextLine(x, y, m_state.textAlign, str, m_state.font, m_state.textColor,
                                 m_state.bkMode == OPAQUE, m_state.bkColor);
    return TRUE;
}

CSize CDC::GetTextExtent(const CString& str) const {
    return m_pSurface ? m_pSurface->MeasureText(str, m_state.font) : CSize();
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    if (!lpRect) return 0;
    const CSize extent = GetTextExtent(str);
    int x = lpRect->left;
    int y = lpRect->top;
    if (nFormat & DT_CENTER)
        x = (lpRect->left + lpRect->right - extent.cx) / 2;
    else if (nFormat & DT_RIGHT)
        x = lpRect->right - extent.cx;
    if (nFormat & DT_VCENTER)
        y = (lpRect->top + lpRect->bottom - extent.cy) / 2;
    else if (nFormat & DT_BOTTOM)
        y = lpRect->bottom - extent.cy;
    const UINT align = std::exchange(m_state.textAlign, TA_LEFT | TA_TOP);
    TextOut(x, y, str);
    m_state.textAlign = align;
    return extent.cy;
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
    CRect clip;
    clip.IntersectRect(m_state.clip, Normalized(x1, y1, x2, y2));
    m_state.clip = clip;
    if (m_pSurface && !clip.IsRectEmpty()) m_pSurface->SetClip(clip);
    return clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(LPCRECT lpRect) {
    if (!lpRect) return ERROR_REGION;
    return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CDC::GetClipBox(LPRECT lpRect) const {
    if (!lpRect) return ERROR_REGION;
    *lpRect = m_state.clip;
    return m_state.clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::SaveDC() {
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

BOOL CDC::RestoreDC(int nSavedDC) {
    if (nSavedDC < 0) nSavedDC = static_cast<int>(m_saved.size()) + 1 + nSavedDC;
    if (nSavedDC < 1 || nSavedDC > static_cast<int>(m_saved.size())) return FALSE;
    m_state = m_saved[static_cast<size_t>(nSavedDC - 1)];
    m_saved.resize(static_cast<size_t>(nSavedDC - 1));
    if (m_pSurface && !m_state.clip.IsRectEmpty()) m_pSurface->SetClip(m_state.clip);
    return TRUE;
}
