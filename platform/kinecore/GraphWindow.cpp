#include <GraphPalette.h>
#include <GraphView.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "GraphDecimation.h"
#include "GraphMapping.h"
#include "GraphTicks.h"

namespace {

// The high word of the notification carries the index.
constexpr int kMaxNotifiedPoint = 0xFFFF;

CCurve* CurveAt(const CCurveArray& curves, int index) {
    return index >= 0 && index < curves.GetSize() ? curves.GetAt(index) : nullptr;
}

// The plot stands inside these margins, room for the tick labels and the titles.
constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 14;
constexpr int kTopMargin = 12;
constexpr int kBottomMargin = 40;
// How near the pointer must come to a point to take it, in pixels.
constexpr int kHitDistance = 6;
// A point drags only once the pointer has moved this far; less is a click.
constexpr int kDragThreshold = 3;
// Markers show while the visible points stand at least this many pixels apart on average.
constexpr int kMarkerSpacing = 6;

CGraphMapping MappingOf(const CGraphView& graph) {
    CGraphMapping mapping;
    mapping.plot = graph.GetPlotRect();
    mapping.minX = graph.m_dViewMinX;
    mapping.maxX = graph.m_dViewMaxX;
    mapping.minY = graph.m_dViewMinY;
    mapping.maxY = graph.m_dViewMaxY;
    return mapping;
}

CPoint PixelOf(LPARAM lParam) { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

// The indices of the points of an ascending x array that the range [low, high] needs, with
// one more on each side so that lines leave the plot towards them.
std::pair<int, int> VisibleRange(const CCurve& xs, int count, double low, double high) {
    // Binary searches: the arrays are long, the view may be narrow.
    auto firstWhere = [&](auto&& predicate) {
        int lo = 0, hi = count;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (predicate(xs.GetAt(mid)))
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    };
    const int firstInside = firstWhere([low](double x) { return x >= low; });
    const int firstBeyond = firstWhere([high](double x) { return x > high; });
    return {std::max(0, firstInside - 1), std::min(count - 1, firstBeyond)};
}

}  // namespace

CGraphWindow::CGraphWindow(int editable, int style)
    : m_pView(std::make_unique<CGraphView>(*this, editable, style)) {}

CGraphWindow::~CGraphWindow() = default;

BOOL CGraphWindow::SubclassDlgItem(UINT id, CWnd* parent, CGraphFilter* filter) {
    if (!CWnd::SubclassDlgItem(id, parent)) return FALSE;
    m_pView->Attach(filter);
    OnDataChanged();
    return TRUE;
}

int CGraphWindow::SelectPoint(int curve, int point) { return m_pView->SelectPoint(curve, point); }

void CGraphWindow::OnDataChanged() { m_pView->TakeData(); }

void CGraphWindow::RefreshWindow() { Invalidate(); }

void CGraphWindow::OnDraw(CDC* pDC) {
    if (pDC) m_pView->Draw(*pDC);
}

LRESULT CGraphWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pView->OnMessage(message, wParam, lParam)) return 0;
    return CWnd::WindowProc(message, wParam, lParam);
}

CGraphView::CGraphView(CGraphWindow& window, int editable, int style)
    : m_window(window), m_nEditable(editable), m_nStyle(style) {}

int CGraphView::SelectPoint(int curve, int point) {
    const int previous = m_nSelected;
    const int previousCurve = m_nSelectedCurve;
    m_nSelectedCurve = curve;
    m_nSelected = point < 0 ? -1 : point;
    // The mark moves on the screen at once: a window system repaints only what is invalidated.
    if (previous != m_nSelected || previousCurve != m_nSelectedCurve) m_window.Invalidate();
    return previous;
}

bool CGraphView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            OnLButtonDown(lParam);
            return true;
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            return true;
        case WM_LBUTTONUP:
            OnLButtonUp(lParam);
            return true;
        case WM_LBUTTONDBLCLK:
            m_dragMode = DragMode::None;
            ShowAll();
            return true;
        case WM_MOUSEWHEEL:
            OnMouseWheel(wParam, lParam);
            return true;
        case WM_KEYDOWN:
            if (wParam == VK_HOME) ShowAll();
            return true;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            return true;
        default:
            return false;
    }
}

void CGraphView::TakeData() {
    m_dMinX = m_dMaxX = m_dMinY = m_dMaxY = 0;
    m_nIncreasingX = -1;
    m_strXTitle.Empty();
    m_strYTitle.Empty();
    if (!m_pFilter) return;
    m_strYTitle = m_pFilter->m_strTitle;
    if (!m_pFilter->m_pCurves) return;

    bool any = false;
    for (int i = 0; i < m_pFilter->GetCount(); ++i) {
        const CXYCurve* xy = m_pFilter->GetAt(i);
        const CCurve* xs = xy ? CurveAt(*m_pFilter->m_pCurves, xy->m_nXCurve) : nullptr;
        const CCurve* ys = xy ? CurveAt(*m_pFilter->m_pCurves, xy->m_nYCurve) : nullptr;
        if (!xs || !ys) continue;
        if (i == 0) m_strXTitle = xs->m_strTitle;
        const int count = std::min(xs->GetSize(), ys->GetSize());
        if (count == 0) continue;
        double lowX = xs->GetAt(0), highX = lowX, lowY = ys->GetAt(0), highY = lowY;
        if (xs->GetSize() == ys->GetSize()) {
            // The arrays keep their extents up as single values change.
            xs->GetExtent(lowX, highX);
            ys->GetExtent(lowY, highY);
        } else {
            for (int point = 0; point < count; ++point) {
                lowX = std::min(lowX, xs->GetAt(point));
                highX = std::max(highX, xs->GetAt(point));
                lowY = std::min(lowY, ys->GetAt(point));
                highY = std::max(highY, ys->GetAt(point));
            }
        }
        m_dMinX = any ? std::min(m_dMinX, lowX) : lowX;
        m_dMaxX = any ? std::max(m_dMaxX, highX) : highX;
        m_dMinY = any ? std::min(m_dMinY, lowY) : lowY;
        m_dMaxY = any ? std::max(m_dMaxY, highY) : highY;
        any = true;
    }
    if (!m_bZoomed) FitView();
}

bool CGraphView::IncreasingX() const {
    if (m_nIncreasingX < 0) {
        // Taken when first needed after a change, not on every refresh: the arrays keep their
        // extents so that a refresh need not pass over them.
        CCurve* xs = nullptr;
        CCurve* ys = nullptr;
        m_nIncreasingX = 1;
        if (FindPoint(0, xs, ys)) {
            const double* x = xs->GetData();
            m_nIncreasingX = std::is_sorted(x, x + xs->GetSize()) ? 1 : 0;
        }
    }
    return m_nIncreasingX == 1;
}

void CGraphView::FitView() {
    m_dViewMinX = m_dMinX;
    m_dViewMaxX = m_dMaxX;
    m_dViewMinY = m_dMinY;
    m_dViewMaxY = m_dMaxY;
    WidenRange(m_dViewMinX, m_dViewMaxX);
    WidenRange(m_dViewMinY, m_dViewMaxY);
    const double marginX = (m_dViewMaxX - m_dViewMinX) * 0.03;
    const double marginY = (m_dViewMaxY - m_dViewMinY) * 0.06;
    m_dViewMinX -= marginX;
    m_dViewMaxX += marginX;
    m_dViewMinY -= marginY;
    m_dViewMaxY += marginY;
}

void CGraphView::ShowAll() {
    m_bZoomed = false;
    FitView();
    m_window.Invalidate();
}

CRect CGraphView::GetPlotRect() const {
    CRect client;
    m_window.GetClientRect(&client);
    // The preview's speed takes its axis at the right.
    const int right = m_bPreviewSpeed ? kLeftMargin : kRightMargin;
    CRect plot(client.left + kLeftMargin, client.top + kTopMargin, client.right - right,
               client.bottom - kBottomMargin);
    if (plot.Width() < 2) plot.right = plot.left + 2;
    if (plot.Height() < 2) plot.bottom = plot.top + 2;
    return plot;
}

CPoint CGraphView::PointToPixel(double x, double y) const {
    const CGraphMapping mapping = MappingOf(*this);
    return CPoint(mapping.ToPixelX(x), mapping.ToPixelY(y));
}

int CGraphView::HitTest(CPoint pixel) const {
    CCurve* xs = nullptr;
    CCurve* ys = nullptr;
    if (!FindPoint(0, xs, ys)) return -1;
    const CGraphMapping mapping = MappingOf(*this);
    auto distance = [&](int point) {
        const long dx = mapping.ToPixelX(xs->GetAt(point)) - pixel.x;
        const long dy = mapping.ToPixelY(ys->GetAt(point)) - pixel.y;
        return std::max(std::labs(dx), std::labs(dy));
    };
    const int count = std::min(xs->GetSize(), ys->GetSize());
    if (m_nSelected >= 0 && m_nSelected < count && distance(m_nSelected) <= kHitDistance)
        return m_nSelected;
    int first = 0, last = count - 1;
    if (IncreasingX()) {
        std::tie(first, last) = VisibleRange(*xs, count, mapping.FromPixelX(pixel.x - kHitDistance),
                                             mapping.FromPixelX(pixel.x + kHitDistance));
    }
    int best = -1;
    long bestDistance = kHitDistance + 1;
    for (int point = first; point <= last; ++point) {
        const long d = distance(point);
        if (d < bestDistance) best = point, bestDistance = d;
    }
    return best;
}

void CGraphView::Draw(CDC& dc) {
    CRect client;
    m_window.GetClientRect(&client);
    const COLORREF background =
        m_pFilter && m_pFilter->m_crColor1 ? m_pFilter->m_crColor1 : RGB16(CR16_BACKGROUND);
    dc.FillSolidRect(&client, RGB16(CR16_WHITE));
    const CRect plot = GetPlotRect();
    dc.FillSolidRect(&plot, background);
    DrawAxes(dc, plot);
    dc.SaveDC();
    dc.IntersectClipRect(&plot);
    DrawCurves(dc, plot);
    dc.RestoreDC(-1);
    if (m_bPreviewSpeed) DrawPreviewSpeed(dc, plot);
    CPen frame(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
    dc.SelectObject(&frame);
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1);
}

void CGraphView::DrawAxes(CDC& dc, const CRect& plot) const {
    const CGraphMapping mapping = MappingOf(*this);
    const COLORREF gridColor =
        m_pFilter && m_pFilter->m_crColor2 ? m_pFilter->m_crColor2 : RGB16(CR16_GRID);
    CPen grid(PS_SOLID, 1, gridColor);
    CPen tick(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB16(CR16_BLACK));
    const int textHeight = std::max<int>(1, dc.GetTextExtent("0").cy);

    DrawXTicks(dc, mapping, MakeTicks(m_dViewMinX, m_dViewMaxX, std::max(2, plot.Width() / 50)),
               grid, tick, true);
    DrawYTicks(dc, mapping,
               MakeTicks(m_dViewMinY, m_dViewMaxY, std::max(2, plot.Height() / (textHeight * 3))),
               grid, tick, textHeight);

    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut((plot.left + plot.right) / 2, plot.bottom + 7 + textHeight, m_strXTitle);
    CFont upwards;
    LOGFONT logFont;
    logFont.lfEscapement = 900;
    upwards.CreateFontIndirect(&logFont);
    dc.SaveDC();
    dc.SelectObject(&upwards);
    dc.TextOut(3, (plot.top + plot.bottom) / 2, m_strYTitle);
    dc.RestoreDC(-1);
}

void CGraphView::DrawCurves(CDC& dc, const CRect& plot) const {
    if (!m_pFilter || !m_pFilter->m_pCurves) return;
    const CGraphMapping mapping = MappingOf(*this);
    std::vector<POINT> polyline;
    std::vector<double> xs, ys;
    for (int i = 0; i < m_pFilter->GetCount(); ++i) {
        const CXYCurve* xy = m_pFilter->GetAt(i);
        const CCurve* xCurve = xy ? CurveAt(*m_pFilter->m_pCurves, xy->m_nXCurve) : nullptr;
        const CCurve* yCurve = xy ? CurveAt(*m_pFilter->m_pCurves, xy->m_nYCurve) : nullptr;
        if (!xCurve || !yCurve) continue;
        const int count = std::min(xCurve->GetSize(), yCurve->GetSize());
        if (count == 0) continue;
        int first = 0, last = count - 1;
        if (i == 0 && IncreasingX())
            std::tie(first, last) = VisibleRange(*xCurve, count, m_dViewMinX, m_dViewMaxX);
        const double* x = xCurve->GetData();
        const double* y = yCurve->GetData();
        // The point being dragged follows the pointer until it is let go: the visible points
        // are copied to move it, which only a drag pays for.
        const bool dragging = i == 0 && m_dragMode == DragMode::Point && m_nDragPoint >= first &&
                              m_nDragPoint <= last && HasDragged();
        if (dragging) {
            xs.assign(x + first, x + last + 1);
            ys.assign(y + first, y + last + 1);
            xs[static_cast<size_t>(m_nDragPoint - first)] = mapping.FromPixelX(m_dragNow.x);
            ys[static_cast<size_t>(m_nDragPoint - first)] = mapping.FromPixelY(m_dragNow.y);
            x = xs.data() - first;
            y = ys.data() - first;
        }
        DecimateCurve(x, y, first, last, mapping, polyline);
        CPen pen(PS_SOLID, std::max(1, xy->m_nLineWidth), xy->m_crColor);
        dc.SelectObject(&pen);
        if (polyline.size() >= 2)
            dc.Polyline(polyline.data(), static_cast<int>(polyline.size()));
        else if (polyline.size() == 1)
            dc.FillSolidRect(polyline[0].x - 1, polyline[0].y - 1, 3, 3, xy->m_crColor);

        const bool roomy = (last - first + 1) * kMarkerSpacing <= plot.Width();
        if (i == 0 && roomy) {
            CPen outline(PS_SOLID, 1, xy->m_crColor);
            CBrush fill(RGB16(CR16_WHITE));
            dc.SelectObject(&outline);
            dc.SelectObject(&fill);
            for (int point = first; point <= last; ++point) {
                const int px = mapping.ToPixelX(x[point]);
                const int py = mapping.ToPixelY(y[point]);
                dc.Rectangle(px - 3, py - 3, px + 4, py + 4);
            }
        }
        if (i == m_nSelectedCurve && m_nSelected >= first && m_nSelected <= last) {
            const int px = mapping.ToPixelX(x[m_nSelected]);
            const int py = mapping.ToPixelY(y[m_nSelected]);
            CPen ring(PS_SOLID, 2, RGB16(CR16_RED));
            CBrush fill(RGB16(CR16_RED));
            dc.SelectObject(&ring);
            dc.SelectObject(&fill);
            dc.Ellipse(px - 5, py - 5, px + 6, py + 6);
        }
    }
}

bool CGraphView::HasDragged() const {
    return std::abs(m_dragNow.x - m_dragStart.x) >= kDragThreshold ||
           std::abs(m_dragNow.y - m_dragStart.y) >= kDragThreshold;
}

void CGraphView::OnLButtonDown(LPARAM lParam) {
    // A click gives the graph the keyboard focus (for Home), as Tab does not: it is no tab stop.
    m_window.SetFocus();
    const CPoint pixel = PixelOf(lParam);
    m_dragStart = m_dragNow = pixel;
    const int point = m_nEditable ? HitTest(pixel) : -1;
    if (point >= 0) {
        m_dragMode = DragMode::Point;
        m_nDragPoint = point;
        PickPoint(point);
    } else {
        m_dragMode = DragMode::Pan;
        m_dragView[0] = m_dViewMinX;
        m_dragView[1] = m_dViewMaxX;
        m_dragView[2] = m_dViewMinY;
        m_dragView[3] = m_dViewMaxY;
    }
    m_window.Invalidate();
}

void CGraphView::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!(wParam & MK_LBUTTON) || m_dragMode == DragMode::None) return;
    m_dragNow = PixelOf(lParam);
    if (m_dragMode == DragMode::Pan) {
        const CGraphMapping start = [&] {
            CGraphMapping mapping = MappingOf(*this);
            mapping.minX = m_dragView[0];
            mapping.maxX = m_dragView[1];
            mapping.minY = m_dragView[2];
            mapping.maxY = m_dragView[3];
            return mapping;
        }();
        const double dx = start.FromPixelX(m_dragStart.x) - start.FromPixelX(m_dragNow.x);
        const double dy = start.FromPixelY(m_dragStart.y) - start.FromPixelY(m_dragNow.y);
        if (dx != 0 || dy != 0) {
            m_dViewMinX = m_dragView[0] + dx;
            m_dViewMaxX = m_dragView[1] + dx;
            m_dViewMinY = m_dragView[2] + dy;
            m_dViewMaxY = m_dragView[3] + dy;
            m_bZoomed = true;
        }
    }
    m_window.Invalidate();
}

void CGraphView::OnLButtonUp(LPARAM lParam) {
    const DragMode mode = std::exchange(m_dragMode, DragMode::None);
    m_dragNow = PixelOf(lParam);
    if (mode == DragMode::Point && HasDragged()) {
        const CGraphMapping mapping = MappingOf(*this);
        MovePoint(m_nDragPoint, mapping.FromPixelX(m_dragNow.x), mapping.FromPixelY(m_dragNow.y));
    }
    m_nDragPoint = -1;
    m_window.Invalidate();
}

void CGraphView::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if (delta == 0) return;
    // A notch forward shows 80 % of the range, about the value under the pointer.
    const double factor = std::pow(0.8, static_cast<double>(delta) / WHEEL_DELTA);
    const CGraphMapping mapping = MappingOf(*this);
    const CPoint pixel = PixelOf(lParam);
    const double x = mapping.FromPixelX(pixel.x);
    const double y = mapping.FromPixelY(pixel.y);
    const double minX = x - (x - m_dViewMinX) * factor, maxX = x + (m_dViewMaxX - x) * factor;
    const double minY = y - (y - m_dViewMinY) * factor, maxY = y + (m_dViewMaxY - y) * factor;
    // Far enough in, the doubles run out of digits; stop there.
    if (!(maxX - minX > 1e-9 * std::max(1.0, std::fabs(x))) ||
        !(maxY - minY > 1e-9 * std::max(1.0, std::fabs(y))) || !std::isfinite(maxX - minX) ||
        !std::isfinite(maxY - minY))
        return;
    m_dViewMinX = minX;
    m_dViewMaxX = maxX;
    m_dViewMinY = minY;
    m_dViewMaxY = maxY;
    m_bZoomed = true;
    m_window.Invalidate();
}

bool CGraphView::FindPoint(int point, CCurve*& xs, CCurve*& ys) const {
    if (!m_pFilter || !m_pFilter->m_pCurves || m_pFilter->GetCount() == 0) return false;
    const CXYCurve* xy = m_pFilter->GetAt(0);
    if (!xy) return false;
    xs = CurveAt(*m_pFilter->m_pCurves, xy->m_nXCurve);
    ys = CurveAt(*m_pFilter->m_pCurves, xy->m_nYCurve);
    return xs && ys && point >= 0 && point <= kMaxNotifiedPoint && point < xs->GetSize() &&
           point < ys->GetSize();
}

void CGraphView::NotifyParent(int point) {
    SelectPoint(0, point);
    if (CWnd* parent = m_window.GetParent())
        parent->SendMessage(WM_GRAPH_POINT, 0, MAKELPARAM(0, static_cast<WORD>(point)));
}

BOOL CGraphView::MovePoint(int point, double x, double y) {
    CCurve* xs = nullptr;
    CCurve* ys = nullptr;
    if (!m_nEditable || !m_window.m_hWnd || !std::isfinite(x) || !std::isfinite(y) ||
        !FindPoint(point, xs, ys))
        return FALSE;
    xs->SetAt(point, x);
    ys->SetAt(point, y);
    m_nIncreasingX = -1;
    NotifyParent(point);
    return TRUE;
}

BOOL CGraphView::PickPoint(int point) {
    CCurve* xs = nullptr;
    CCurve* ys = nullptr;
    if (!m_nEditable || !m_window.m_hWnd || !FindPoint(point, xs, ys)) return FALSE;
    NotifyParent(point);
    return TRUE;
}
