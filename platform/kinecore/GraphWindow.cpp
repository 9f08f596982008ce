#include "GraphWindow.h"

#include <algorithm>
#include <cmath>

namespace {

// The high word of the notification carries the index.
constexpr int kMaxNotifiedPoint = 0xFFFF;

CCurve* CurveAt(const CCurveArray& curves, int index) {
    return index >= 0 && index < curves.GetSize() ? curves.GetAt(index) : nullptr;
}

// Widens [low, high] to take in `count` values. Four lanes of minima and maxima that do not wait
// for each other: an editor refreshes the graph after every action on a million points.
void WidenToExtent(const double* values, int count, double& low, double& high) {
    double lows[4] = {low, low, low, low};
    double highs[4] = {high, high, high, high};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        for (int lane = 0; lane < 4; ++lane) {
            lows[lane] = std::min(lows[lane], values[i + lane]);
            highs[lane] = std::max(highs[lane], values[i + lane]);
        }
    }
    for (; i < count; ++i) {
        lows[0] = std::min(lows[0], values[i]);
        highs[0] = std::max(highs[0], values[i]);
    }
    for (int lane = 0; lane < 4; ++lane) {
        low = std::min(low, lows[lane]);
        high = std::max(high, highs[lane]);
    }
}

}  // namespace

CGraphWindow::CGraphWindow(int editable, int style) : m_nEditable(editable), m_nStyle(style) {}

CGraphWindow::~CGraphWindow() = default;

BOOL CGraphWindow::SubclassDlgItem(UINT id, CWnd* parent, CGraphFilter* filter) {
    if (!CWnd::SubclassDlgItem(id, parent)) return FALSE;
    m_pFilter = filter;
    OnDataChanged();
    return TRUE;
}

int CGraphWindow::SelectPoint(int curve, int point) {
    const int previous = m_nSelected;
    m_nSelectedCurve = curve;
    m_nSelected = point < 0 ? -1 : point;
    return previous;
}

void CGraphWindow::OnDataChanged() {
    m_dMinX = m_dMaxX = m_dMinY = m_dMaxY = 0;
    m_strXTitle.Empty();
    m_strYTitle.Empty();
    if (!m_pFilter) return;
    m_strYTitle = m_pFilter->m_strTitle;
    m_strXTitle = m_pFilter->m_strXTitle;
    if (!m_pFilter->m_pCurves) return;

    bool any = false;
    for (int i = 0; i < m_pFilter->GetCount(); ++i) {
        const CXYCurve* xy = m_pFilter->GetAt(i);
        const CCurve* xs = xy ? CurveAt(*m_pFilter->m_pCurves, xy->m_nXCurve) : nullptr;
        const CCurve* ys = xy ? CurveAt(*m_pFilter->m_pCurves, xy->m_nYCurve) : nullptr;
        if (!xs || !ys) continue;
        if (i == 0 && !xs->m_strTitle.IsEmpty()) m_strXTitle = xs->m_strTitle;
        const int count = std::min(xs->GetSize(), ys->GetSize());
        if (count == 0) continue;
        if (!any) {
            m_dMinX = m_dMaxX = xs->GetAt(0);
            m_dMinY = m_dMaxY = ys->GetAt(0);
            any = true;
        }
        WidenToExtent(xs->GetData(), count, m_dMinX, m_dMaxX);
        WidenToExtent(ys->GetData(), count, m_dMinY, m_dMaxY);
    }
}

// Drawing comes with a driver that has a screen; until then a refresh is only counted.
void CGraphWindow::RefreshWindow() { ++m_nRefreshCount; }

bool CGraphWindow::FindPoint(int point, CCurve*& xs, CCurve*& ys) const {
    if (!m_pFilter || !m_pFilter->m_pCurves || m_pFilter->GetCount() == 0) return false;
    const CXYCurve* xy = m_pFilter->GetAt(0);
    if (!xy) return false;
    xs = CurveAt(*m_pFilter->m_pCurves, xy->m_nXCurve);
    ys = CurveAt(*m_pFilter->m_pCurves, xy->m_nYCurve);
    return xs && ys && point >= 0 && point <= kMaxNotifiedPoint && point < xs->GetSize() &&
           point < ys->GetSize();
}

void CGraphWindow::NotifyParent(int point) {
    SelectPoint(0, point);
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_GRAPH_POINT, 0, MAKELPARAM(0, static_cast<WORD>(point)));
}

BOOL CGraphWindow::MovePoint(int point, double x, double y) {
    CCurve* xs = nullptr;
    CCurve* ys = nullptr;
    if (!m_nEditable || !m_hWnd || !std::isfinite(x) || !std::isfinite(y) ||
        !FindPoint(point, xs, ys))
        return FALSE;
    xs->SetAt(point, x);
    ys->SetAt(point, y);
    NotifyParent(point);
    return TRUE;
}

BOOL CGraphWindow::PickPoint(int point) {
    CCurve* xs = nullptr;
    CCurve* ys = nullptr;
    if (!m_nEditable || !m_hWnd || !FindPoint(point, xs, ys)) return FALSE;
    NotifyParent(point);
    return TRUE;
}
