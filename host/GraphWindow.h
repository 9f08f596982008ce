// The host's trajectory graph: value arrays (curves), a filter that pairs them into XY curves,
// and the window that shows them in place of a dialog control.
#pragma once

#include <afxdc.h>
#include <afxmenu.h>
#include <afxwin.h>

#include <vector>

// The host's 16-colour palette.
enum tagColorRef16 {
    CR16_BLACK = 0,
    CR16_DARKBLUE = 1,
    CR16_DARKGREEN = 2,
    CR16_DARKCYAN = 3,
    CR16_DARKRED = 4,
    CR16_DARKMAGENTA = 5,
    CR16_BROWN = 6,
    CR16_LIGHTGRAY = 7,
    CR16_DARKGRAY = 8,
    CR16_BLUE = 9,
    CR16_GREEN = 10,
    CR16_CYAN = 11,
    CR16_RED = 12,
    CR16_MAGENTA = 13,
    CR16_YELLOW = 14,
    CR16_WHITE = 15,
    // Extended entries used by graphs: curves, grid and background.
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
    // A write through the reference cannot be seen: the extent is taken afresh after it.
    double& operator[](int index) {
        m_extentKnown = false;
        return m_values.at(static_cast<size_t>(index));
    }
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

// What a graph shows: its XY curves (owned), their source arrays, the axes' titles and two
// colours.
class CGraphFilter : public CObject {
public:
    // Null titles read as empty. `yTitle` starts the title of the value axis (m_strTitle).
    explicit CGraphFilter(const char* xTitle = nullptr, const char* yTitle = nullptr);
    ~CGraphFilter() override;
    // Takes ownership; returns the curve's index.
    int Add(CXYCurve* curve);
    int GetCount() const { return static_cast<int>(m_xyCurves.size()); }
    CXYCurve* GetAt(int index) const { return m_xyCurves.at(static_cast<size_t>(index)); }

    CString m_strXTitle;  // stands in while the x curve has no title of its own
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

class CGraphWindow : public CWnd {
public:
    // `editable` 1 lets the user pick and drag points; `style` 0 is the plain look.
    CGraphWindow(int editable, int style);
    ~CGraphWindow() override;

    // Takes the place of control `id` of `parent` and shows the filter's curves, which must
    // outlive the window. FALSE when the parent has no such control or it is taken.
    BOOL SubclassDlgItem(UINT id, CWnd* parent, CGraphFilter* filter);
    int IsEditable() const { return m_nEditable; }

    // Marks point `point` of XY curve `curve`; -1 clears the mark. Returns the previous mark.
    int SelectPoint(int curve, int point);
    int GetSelectedPoint() const { return m_nSelected; }
    // The arrays have been refilled: the window takes up their new extent and titles.
    virtual void OnDataChanged();
    void RefreshWindow();

    // A user's drag of point `point` of the first XY curve to (x, y): writes the coordinates
    // into both arrays, marks the point and tells the parent. FALSE, with nothing written or
    // sent, when there is no such point, the window is not editable or has no window.
    BOOL MovePoint(int point, double x, double y);
    // A user's click on point `point`: marks it and tells the parent, under the same terms.
    BOOL PickPoint(int point);

    // What the window would draw now: the extent of the data and the axis titles, in the
    // arrays' units. The extent is all 0 without data.
    double m_dMinX = 0, m_dMaxX = 0, m_dMinY = 0, m_dMaxY = 0;
    CString m_strXTitle, m_strYTitle;

    // The part of the data that the plot shows: all of it until the wheel zooms about the
    // pointer or a drag on the background pans. Home or a double click show all again.
    double m_dViewMinX = 0, m_dViewMaxX = 1, m_dViewMinY = 0, m_dViewMaxY = 1;
    void ShowAll();
    BOOL IsShowingAll() const { return !m_bZoomed; }
    // The plot area inside the axes, in client pixels.
    CRect GetPlotRect() const;
    // The point of the first XY curve within a few pixels of `pixel` (the selected one first,
    // then the nearest); -1 for none.
    int HitTest(CPoint pixel) const;
    // A point's pixel in the plot as drawn now.
    CPoint PointToPixel(double x, double y) const;

    // The preview's speed through the first curve's points (docs/trajectory-preview.md) as a
    // second curve on an axis of its own at the right; off until the context menu turns it on.
    static constexpr UINT kPreviewSpeedCommand = 0xE301;
    BOOL IsShowingPreviewSpeed() const { return m_bPreviewSpeed; }
    void ShowPreviewSpeed(BOOL show);
    // The context menu's items, as the right button shows them.
    void BuildContextMenu(CMenu& menu) const;
    // Carries out a command of the context menu; FALSE for one that it does not have.
    BOOL OnContextMenuCommand(UINT nID);
    // A script's choice from the context menu by the item's text (without its &, regardless of
    // case): empty when done, else why not.
    CString ChooseContextMenuItem(const CString& text);

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The first XY curve's arrays when both hold `point`; else false.
    bool FindPoint(int point, CCurve*& xs, CCurve*& ys) const;
    void NotifyParent(int point);

    CGraphFilter* m_pFilter = nullptr;
    int m_nEditable;
    [[maybe_unused]] int m_nStyle;  // the host's style flags; the stand-in draws one style
    int m_nSelected = -1;
    int m_nSelectedCurve = 0;

    enum class DragMode { None, Point, Pan };
    // The view of all the data, with a margin so that no point sits on the frame.
    void FitView();
    // The pointer has left the pixels where the button went down: a drag, not a click.
    bool HasDragged() const;
    void DrawAxes(CDC& dc, const CRect& plot) const;
    void DrawCurves(CDC& dc, const CRect& plot) const;
    void DrawPreviewSpeed(CDC& dc, const CRect& plot) const;
    BOOL m_bPreviewSpeed = FALSE;
    bool m_bZoomed = false;
    // Whether the first curve's x never decreases, so that the visible points can be searched;
    // taken when first needed after the data changed (-1 until then).
    bool IncreasingX() const;
    mutable int m_nIncreasingX = -1;
    DragMode m_dragMode = DragMode::None;
    int m_nDragPoint = -1;
    CPoint m_dragStart, m_dragNow;
    double m_dragView[4] = {};
};
