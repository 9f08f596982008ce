#include "EventTypeDlg.h"

#include "KernelResource.h"

namespace {

constexpr int kKindCount = CMotionEvent::EventMotionComplete + 1;

int ButtonOf(int kind) { return IDC_EVENT_WAIT_TIME + kind; }

}  // namespace

CEventTypeDlg::CEventTypeDlg(CMotionEvent::Kind kind, int excludedKinds, CWnd* parent)
    : CDialog(IDD_EVENT_TYPE, parent), m_kind(kind), m_excludedKinds(excludedKinds) {}

BOOL CEventTypeDlg::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (m_excludedKinds & (1 << kind)) {
            if (CWnd* button = GetDlgItem(ButtonOf(kind))) button->EnableWindow(FALSE);
        }
    }
    return result;
}

void CEventTypeDlg::DoDataExchange(CDataExchange* pDX) {
    if (!pDX->m_bSaveAndValidate) {
        CheckRadioButton(ButtonOf(0), ButtonOf(kKindCount - 1), ButtonOf(m_kind));
        return;
    }
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (IsDlgButtonChecked(ButtonOf(kind))) m_kind = static_cast<CMotionEvent::Kind>(kind);
    }
}
