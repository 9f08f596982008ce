// The user's side of an event: the host dialogs that edit its settings and change its kind.
#include "EventEditDlg.h"
#include "EventTypeDlg.h"
#include "MotionEventHost.h"

namespace {

// The dialog in front owns the event's dialog, so that it takes no input meanwhile.
CWnd* ActiveDialog() {
    CWnd* focus = CWnd::GetFocus();
    if (!focus || dynamic_cast<CDialog*>(focus)) return focus;
    return focus->GetParent();
}

}  // namespace

int CMotionEvent::Edit() {
    if (!IsEditable()) return 0;
    CEventEditDlg dialog(CDriveSetup::Of(m_setup), m_kind, m_value, m_nLevel, ActiveDialog());
    if (dialog.DoModal() != IDOK) return 0;
    const double oldValue = m_value;
    const int oldLevel = m_nLevel;
    CMotionEventHost::SetValue(*this, dialog.m_dValue);
    CMotionEventHost::SetLevel(*this, dialog.m_nLevel);
    return m_value != oldValue || m_nLevel != oldLevel ? 1 : 0;
}

int CMotionEvent::ChangeType(int excludedKinds) {
    CEventTypeDlg dialog(m_kind, excludedKinds, ActiveDialog());
    if (dialog.DoModal() != IDOK || dialog.m_kind == m_kind) return 0;
    CMotionEventHost::SetKind(*this, dialog.m_kind);
    return 1;
}
