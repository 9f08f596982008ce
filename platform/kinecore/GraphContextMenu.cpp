// The graph's context menu: what the right button offers.
#include <GraphView.h>
#include <strings.h>

#include "GraphMapping.h"

namespace {

CString WithoutMnemonic(const CString& text) {
    CString plain;
    for (const char ch : text.str()) {
        if (ch != '&') plain += ch;
    }
    return plain;
}

}  // namespace

void CGraphView::ShowPreviewSpeed(BOOL show) {
    if (m_bPreviewSpeed == show) return;
    m_bPreviewSpeed = show;
    m_window.RefreshWindow();
}

void CGraphView::BuildContextMenu(CMenu& menu) const {
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING | (m_bPreviewSpeed ? MF_CHECKED : MF_UNCHECKED), kPreviewSpeedCommand,
                    "Preview &Speed");
}

BOOL CGraphView::OnContextMenuCommand(UINT nID) {
    if (nID != kPreviewSpeedCommand) return FALSE;
    ShowPreviewSpeed(!m_bPreviewSpeed);
    return TRUE;
}

CString CGraphView::ChooseContextMenuItem(const CString& text) {
    CMenu menu;
    BuildContextMenu(menu);
    CString offered;
    for (const CMenu::CItem& item : menu.GetItems()) {
        if (item.nFlags & MF_SEPARATOR) continue;
        const CString plain = WithoutMnemonic(item.text);
        if (strcasecmp(plain.GetString(), WithoutMnemonic(text).GetString()) == 0 &&
            !(item.nFlags & MF_GRAYED)) {
            OnContextMenuCommand(item.nID);
            return CString();
        }
        offered += (offered.IsEmpty() ? "\"" : ", \"") + plain + "\"";
    }
    return "the graph's menu has no item \"" + text + "\" (it has " + offered + ")";
}

void CGraphView::OnContextMenu(LPARAM lParam) {
    CMenu menu;
    BuildContextMenu(menu);
    const UINT chosen = static_cast<UINT>(
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, GET_X_LPARAM(lParam),
                            GET_Y_LPARAM(lParam), &m_window));
    if (chosen != 0) OnContextMenuCommand(chosen);
}
