// Drawing: the device context (a CDC subset: pens and brushes, lines, rectangles, ellipses, text,
// clipping) and the drawing surface behind it, which a driver with a screen implements.
#pragma once

#include <vector>

#include "afx.h"
#include "atltypes.h"

// Pen styles
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;

// Background modes for text
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Text alignment of TextOut: one horizontal and one vertical flag
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// DrawText formats
constexpr UINT DT_LEFT = 0x00;
constexpr UINT DT_CENTER = 0x01;
constexpr UINT DT_RIGHT = 0x02;
constexpr UINT DT_TOP = 0x00;
constexpr UINT DT_VCENTER = 0x04;
constexpr UINT DT_BOTTOM = 0x08;
constexpr UINT DT_SINGLELINE = 0x20;

// Stock objects
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// GetDeviceCaps
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Font weights
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

// Brush styles
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

// GetClipBox, IntersectClipRect
constexpr int ERROR_REGION = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    int lopnWidth = 1;  // pixels; 0 draws one pixel wide
    COLORREF lopnColor = RGB(0, 0, 0);
};

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = RGB(255, 255, 255);
};

// A font as LOGFONT describes it, in the fields that the drawing surface honours.
struct LOGFONT {
    LONG lfHeight = 0;      // < 0: the character height in pixels; 0: the surface's default
    LONG lfEscapement = 0;  // tenths of a degree counter-clockwise: 900 writes upwards
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    char lfFaceName[32] = {};
};

class CGdiObject : public CObject {};

class CPen : public CGdiObject {
public:
    CPen() = default;  // a solid black pen one pixel wide
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);

    LOGPEN m_logPen;
};

class CBrush : public CGdiObject {
public:
    CBrush() { m_logBrush.lbStyle = BS_NULL; }  // hollow until created
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor);

    LOGBRUSH m_logBrush;
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);

    LOGFONT m_logFont;
};

// What a driver draws on: a window's client area or an image, in pixels from its top left
// corner. The device context keeps the selected objects and hands each primitive what it needs.
class CDrawingSurface {
public:
    virtual ~CDrawingSurface();

    // The area that can be drawn on; the device context's clipping never reaches beyond it.
    virtual CRect GetBounds() const = 0;
    virtual int GetDpi() const { return 96; }
    // Drawing from now on stays inside rect, which lies within the bounds.
    virtual void SetClip(const RECT& rect) = 0;

    // Lines from point to point, count >= 2, with a pen that is not PS_NULL.
    virtual void DrawPolyline(const POINT* points, int count, const LOGPEN& pen) = 0;
    // The outline with the pen unless it is PS_NULL, the inside with the brush unless it is
    // BS_NULL; the right and bottom edges lie outside, as in GDI.
    virtual void DrawRectangle(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) = 0;
    virtual void DrawEllipse(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) = 0;
    virtual void FillRect(const RECT& rect, COLORREF color) = 0;
    // One line of text placed at (x, y) by nAlign (TA_ flags, turned with the font's
    // escapement); bkColor behind it when opaque.
    virtual void DrawTextLine(int x, int y, UINT nAlign, const CString& text, const LOGFONT& font,
                              COLORREF textColor, bool opaque, COLORREF bkColor) = 0;
    // The width and height of one line of text, unturned.
    virtual CSize MeasureText(const CString& text, const LOGFONT& font) const = 0;
};

// A device context on a drawing surface. Without a surface it keeps its state and draws nothing.
class CDC : public CObject {
public:
    explicit CDC(CDrawingSurface* surface = nullptr);

    int GetDeviceCaps(int nIndex) const;

    // Each returns the object selected before (null for the DC's initial one). The DC copies
    // what it draws with, so a selected object may be destroyed before the DC.
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    // WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN.
    CGdiObject* SelectStockObject(int nIndex);

    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const { return m_state.textColor; }
    COLORREF SetBkColor(COLORREF crColor);
    int SetBkMode(int nBkMode);
    UINT SetTextAlign(UINT nFlags);

    CPoint MoveTo(int x, int y);
    CPoint GetCurrentPosition() const { return m_state.position; }
    // From the current position to (x, y), which becomes the current position; the end point
    // itself is not drawn, as in GDI.
    BOOL LineTo(int x, int y);
    BOOL Polyline(const POINT* lpPoints, int nCount);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT lpRect);
    BOOL Ellipse(int x1, int y1, int x2, int y2);
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);

    BOOL TextOut(int x, int y, const CString& str);
    CSize GetTextExtent(const CString& str) const;
    // One line of text in lpRect, placed by DT_ flags (DT_SINGLELINE is implied); returns the
    // text's height.
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);

    // Narrows the clipping to the rectangle; returns NULLREGION when nothing remains.
    int IntersectClipRect(int x1, int y1, int x2, int y2);
    int IntersectClipRect(LPCRECT lpRect);
    int GetClipBox(LPRECT lpRect) const;

    // Saves the selected objects, colours, modes, position and clipping; returns the level.
    int SaveDC();
    // A level from SaveDC, or -1 for the last one saved. FALSE when there is no such level.
    BOOL RestoreDC(int nSavedDC);

private:
    struct CState {
        LOGPEN pen;
        LOGBRUSH brush;
        LOGFONT font;
        CPen* selectedPen = nullptr;
        CBrush* selectedBrush = nullptr;
        CFont* selectedFont = nullptr;
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        UINT textAlign = TA_LEFT | TA_TOP;
        CPoint position;
        CRect clip;
    };
    bool CanDraw() const { return m_pSurface && !m_state.clip.IsRectEmpty(); }

    CDrawingSurface* m_pSurface;
    CState m_state;
    std::vector<CState> m_saved;
};
