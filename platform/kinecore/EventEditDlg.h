// The host's dialog for the settings of an event's kind: its value, in the setup's first unit
// of the kind (an input number has none), and its direction or level where the kind has one.
#pragma once

#include <afxwin.h>

#include "DriveSetup.h"
#include "MotionEventHost.h"

class CEventEditDlg : public CDialog {
public:
    // `value` in the IU of the kind; `kind` must have settings.
    CEventEditDlg(const CDriveSetup& setup, CMotionEvent::Kind kind, double value, int level,
                  CWnd* parent);

    // After OK: a whole number of IU within the kind's range, and 1 for rising / high.
    double m_dValue;
    int m_nLevel;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    // IU per shown unit; 1 for an input number.
    double UnitFactor() const;
    // The text as IU of the kind, or the message that tells the user what to type.
    bool ParseValue(const CString& text, double& value, CString& message) const;

    const CDriveSetup& m_setup;
    CMotionEvent::Kind m_kind;
};
