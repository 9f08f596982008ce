// The host's trajectory graph: value arrays (curves), a filter that pairs them into XY curves,
// and the window that shows them in place of a dialog control.
#pragma once

#include <afxwin.h>

#include <memory>
#include <vector>

// Colours by number: 0 to 15 are the standard 16 colours (the host names them, GraphPalette.h);
// graphs draw their curves, grid and background in the entries below.
enum tagColorRef16 {
    CR16_CURVE = 16,
    CR16_GRID = 20,
    CR16_BACKGROUND = 27,
};
COLORREF RGB16(tagColorRef16 color);

// A growable array of doubles. An index outside the array throws std::out_of_range, except
// that InsertAt past the end first grows the array with zeros, as MFC's arrays do.
class CFloatArray : public CObject {
public:
    int GetSize() const { return static_cast<int>(m_values.size()); }
    // New values are 0. `growBy` is a hint for reallocation; -1 keeps the default.
    void SetSize(int size, int growBy = -1);
    double GetAt(int index) const { return m_values.at(static_cast<size_t>(index)); }
    // The values in order, for code that reads them all; valid until the array changes.
    const double* GetData() const { return m_values.data(); }
    void SetAt(int index, double value);
    // `count` copies of `value` before `index`.
    void InsertAt(int index, double value, int count = 1);
    // Throws when the values index..index + count - 1 are not all there.
    void RemoveAt(int index, int count = 1);
    double operator[](int index) const { return GetAt(index); }

    // The smallest and largest value, each taken as a pass from the first value on would take
    // it; false for an empty array. Kept up as single values change, so that a graph of a
    // million points need not pass over them after every edit of one.
    bool GetExtent(double& low, double& high) const;

private:
    // The kept extent after `old` at `index` goes, and after `value` comes to `index`: kept
    // where the change lies strictly inside it, widened where it lies strictly beyond, taken
    // afresh otherwise (the first value, or a tie with a bound).
    void Forget(int index, double old);
    void Widen(int index, double value);

    std::vector<double> m_values;
    mutable bool m_extentKnown = false;
    mutable double m_low = 0;
    mutable double m_high = 0;
};

// One value array of a graph, with its title.
class CCurve : public CFloatArray {
public:
    CCurve() = default;
    // `size` values of 0, with SetSize's growth hint.
    CCurve(int size, int growBy) { SetSize(size, growBy); }

    CString m_strTitle;
};

// The curves of a graph; it owns and deletes them.
class CCurveArray : public CObject {
public:
    ~CCurveArray() override;
    int Add(CCurve* curve);
    CCurve* GetAt(int index) const { return m_curves.at(static_cast<size_t>(index)); }
    int GetSize() const { return static_cast<int>(m_curves.size()); }

private:
    std::vector<CCurve*> m_curves;
};

// A curve drawn from two value arrays of the filter's curve array.
class CXYCurve : public CObject {
public:
    COLORREF m_crColor = 0;
    int m_nLineWidth = 1;
    int m_nXCurve = 0;  // index of the curve that gives x (the times)
    int m_nYCurve = 1;  // index of the curve that gives y (the positions)
};

// What a graph shows: its XY curves (owned), their source arrays, the value axis's title and
// two colours. The time axis takes its title from the first XY curve's x array.
class CGraphFilter : public CObject {
public:
    ~CGraphFilter() override;
    // Takes ownership; returns the curve's index.
    int Add(CXYCurve* curve);
    int GetCount() const { return static_cast<int>(m_xyCurves.size()); }
    CXYCurve* GetAt(int index) const { return m_xyCurves.at(static_cast<size_t>(index)); }

    CCurveArray* m_pCurves = nullptr;
    CString m_strTitle;       // the value axis
    COLORREF m_crColor1 = 0;  // background
    COLORREF m_crColor2 = 0;  // grid

private:
    std::vector<CXYCurve*> m_xyCurves;
};

// The message a graph window sends its parent when the user has moved or picked a point:
// LPARAM low word 0, high word the point's index; the point's new coordinates already stand
// in the curve arrays. A word holds indices up to 65535, so later points take no click or drag.
constexpr UINT WM_GRAPH_POINT = WM_USER + 0x65;

class CGraphView;  // the host's side: view, pointer, context menu

class CGraphWindow : public CWnd {
public:
    // `editable` 1 lets the user pick and drag points; `style` 0 is the plain look.
    CGraphWindow(int editable, int style);
    ~CGraphWindow() override;

    // Takes the place of control `id` of `parent` and shows the filter's curves, which must
    // outlive the window. FALSE when the parent has no such control or it is taken.
    BOOL SubclassDlgItem(UINT id, CWnd* parent, CGraphFilter* filter);
    // Marks point `point` of XY curve `curve`; -1 clears the mark. Returns the previous mark.
    int SelectPoint(int curve, int point);
    // The arrays have been refilled: the window takes up their new extent and titles.
    virtual void OnDataChanged();
    void RefreshWindow();

    // For the host (GraphView.h).
    CGraphView& View() { return *m_pView; }
    const CGraphView& View() const { return *m_pView; }

protected:
    void OnDraw(CDC* pDC) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::unique_ptr<CGraphView> m_pView;
};
