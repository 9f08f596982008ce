// CPoint, CSize and CRect: the Windows geometry structures with MFC's helpers.
#pragma once

#include "afxtypes.h"

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int x0, int y0) : POINT{x0, y0} {}
    friend bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
};

class CSize : public SIZE {
public:
    CSize() = default;
    CSize(int cx0, int cy0) : SIZE{cx0, cy0} {}
    friend bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rect) : RECT(rect) {}  // NOLINT: implicit as in MFC

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL PtInRect(POINT point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    // The common part of a and b; FALSE, with an empty rectangle, when they do not meet.
    BOOL IntersectRect(const RECT& a, const RECT& b);
    friend bool operator==(const CRect& a, const CRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

inline BOOL CRect::IntersectRect(const RECT& a, const RECT& b) {
    left = a.left > b.left ? a.left : b.left;
    top = a.top > b.top ? a.top : b.top;
    right = a.right < b.right ? a.right : b.right;
    bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    if (IsRectEmpty()) {
        *this = CRect();
        return FALSE;
    }
    return TRUE;
}
