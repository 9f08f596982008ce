// The host's side of a graph window: the view of the data (zoom and pan), the pointer's
// clicks and drags, the preview's speed and the context menu. The module sees none of it.
#pragma once

#include <GraphWindow.h>
#include <afxdc.h>
#include <afxmenu.h>

class CGraphView {
public:
    // `editable` 1 lets the user pick and drag points; `style` 0 is the plain look.
    CGraphView(CGraphWindow& window, int editable, int style);

    int IsEditable() const { return m_nEditable; }
    int GetSelectedPoint() const { return m_nSelected; }

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

private:
    friend class CGraphWindow;

    void Attach(CGraphFilter* filter) { m_pFilter = filter; }
    int SelectPoint(int curve, int point);
    // The arrays have been refilled: takes up their new extent and titles.
    void TakeData();
    void Draw(CDC& dc);
    // The pointer's and the keyboard's messages; false for any other.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnLButtonDown(LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(LPARAM lParam);

    // The first XY curve's arrays when both hold `point`; else false.
    bool FindPoint(int point, CCurve*& xs, CCurve*& ys) const;
    void NotifyParent(int point);

    CGraphWindow& m_window;
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
