#include "GraphWindow.h"

#include <algorithm>
#include <cmath>

namespace {

// The high word of the notification carries the index.
constexpr int kMaxNotifiedPoint = 0xFFFF;

CCurve* CurveAt(const CCurveArray& curves, int index) {
    return index >= 0 && index < curves.GetSize() ? curves.GetAt(index) : nullptr;
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
