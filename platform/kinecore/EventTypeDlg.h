// The host's dialog for the choice of an event's kind: one radio button a kind.
#pragma once

#include <afxwin.h>

#include "MotionEventHost.h"

class CEventTypeDlg : public CDialog {
public:
    // Bit k of `excludedKinds` disables the button of kind k.
    CEventTypeDlg(CMotionEvent::Kind kind, int excludedKinds, CWnd* parent);

    // The kind chosen, after OK.
    CMotionEvent::Kind m_kind;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    int m_excludedKinds;
};
