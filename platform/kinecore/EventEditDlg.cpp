#include "EventEditDlg.h"

#include <climits>
#include <cmath>
#include <string>
#include <string_view>

#include "KernelResource.h"
#include "NumberText.h"

namespace {

// What the dialog says and allows for one kind; the value's range is in IU.
struct KindTexts {
    const char* heading;
    const char* valueName;  // for messages; null for an input number
    double low, high;
    const char* rising;  // null for a kind without direction or level
    const char* falling;
};

const KindTexts& TextsOf(CMotionEvent::Kind kind) {
    static const KindTexts kWaitTime{
        "Start the motion after a wait time of", "wait time", 0, INT_MAX, nullptr, nullptr};
    static const KindTexts kPosition{"Start the motion when the position passes",
                                     "position",
                                     INT_MIN,
                                     INT_MAX,
                                     "&Rises above",
                                     "&Falls below"};
    static const KindTexts kInput{"Start the motion when a digital input changes",
                                  nullptr,
                                  1,
                                  CMotionEventHost::kInputCount,
                                  "Goes &high",
                                  "Goes &low"};
    switch (kind) {
        case CMotionEvent::EventPositionPasses:
            return kPosition;
        case CMotionEvent::EventInputChanges:
            return kInput;
        default:
            return kWaitTime;
    }
}

const CMC_Unit* ShownUnit(const CDriveSetup& setup, CMotionEvent::Kind kind) {
    switch (kind) {
        case CMotionEvent::EventWaitTime:
            return &setup.GetUnits(UnitKind::Time).front();
        case CMotionEvent::EventPositionPasses:
            return &setup.GetUnits(UnitKind::Position).front();
        default:
            return nullptr;
    }
}

// A whole number of IU in a unit, as the kernel shows values: the shortest decimal within a
// millionth of an IU of it (2222 IU in deg: "399.96"), which OK reads back to the same IU.
CString Shown(double iu, double iuPerUnit) {
    char buffer[kNumberTextSize];
    const auto toIU = [iuPerUnit](double value) {
        const double product = value * iuPerUnit;
        const double whole = NearestWhole(product);
        return std::fabs(product - whole) <= kWholeCountTolerance ? whole : product;
    };
    return CString(FormatDisplayValue(iu, iu / iuPerUnit, toIU, buffer));
}

// Blanks around the number and a leading + are what people type; the parser takes neither.
std::string_view Trimmed(const CString& text) {
    std::string_view view = text.str();
    while (!view.empty() && (view.front() == ' ' || view.front() == '\t')) view.remove_prefix(1);
    while (!view.empty() && (view.back() == ' ' || view.back() == '\t')) view.remove_suffix(1);
    if (view.size() > 1 && view.front() == '+' && view[1] != '-') view.remove_prefix(1);
    return view;
}

}  // namespace

CEventEditDlg::CEventEditDlg(const CDriveSetup& setup, CMotionEvent::Kind kind, double value,
                             int level, CWnd* parent)
    : CDialog(IDD_EVENT_EDIT, parent),
      m_dValue(value),
      m_nLevel(level),
      m_setup(setup),
      m_kind(kind) {}

double CEventEditDlg::UnitFactor() const {
    const CMC_Unit* unit = ShownUnit(m_setup, m_kind);
    return unit ? unit->iuPerUnit : 1.0;
}

BOOL CEventEditDlg::OnInitDialog() {
    const KindTexts& texts = TextsOf(m_kind);
    SetDlgItemText(IDC_EVENT_KIND, texts.heading);
    CString unit;
    if (const CMC_Unit* shown = ShownUnit(m_setup, m_kind)) {
        unit = shown->name.c_str();
    } else {
        unit.Format("(1 to %d)", CMotionEventHost::kInputCount);
    }
    SetDlgItemText(IDC_EVENT_UNIT, unit);
    CWnd* rising = GetDlgItem(IDC_EVENT_RISING);
    CWnd* falling = GetDlgItem(IDC_EVENT_FALLING);
    if (rising && falling) {
        if (texts.rising) {
            rising->SetWindowText(texts.rising);
            falling->SetWindowText(texts.falling);
        } else {
            rising->ShowWindow(SW_HIDE);
            falling->ShowWindow(SW_HIDE);
        }
    }
    return CDialog::OnInitDialog();
}

bool CEventEditDlg::ParseValue(const CString& text, double& value, CString& message) const {
    const KindTexts& texts = TextsOf(m_kind);
    const CMC_Unit* unit = ShownUnit(m_setup, m_kind);
    CString request;
    if (unit) {
        request.Format("Enter the %s in %s.", texts.valueName, unit->name.c_str());
    } else {
        request.Format("Enter an input number from 1 to %d.", CMotionEventHost::kInputCount);
    }

    const std::string_view number = Trimmed(text);
    double typed = 0;
    if (number.empty()) {
        message = request;
        return false;
    }
    if (!ParseFiniteNumber(number, typed)) {
        message.Format("\"%s\" is not a number. %s", text.GetString(), request.GetString());
        return false;
    }
    if (!unit) {
        if (typed != std::floor(typed) || typed < texts.low || typed > texts.high) {
            message.Format("The input number must be a whole number from 1 to %d.",
                           CMotionEventHost::kInputCount);
            return false;
        }
        value = typed;
        return true;
    }
    // The kernel keeps whole IU; the range applies to what is kept.
    const double iu = std::round(typed * unit->iuPerUnit);
    if (iu < texts.low || iu > texts.high) {
        message.Format("The %s must lie between %s and %s %s.", texts.valueName,
                       Shown(texts.low, unit->iuPerUnit).GetString(),
                       Shown(texts.high, unit->iuPerUnit).GetString(), unit->name.c_str());
        return false;
    }
    value = iu;
    return true;
}

void CEventEditDlg::DoDataExchange(CDataExchange* pDX) {
    const bool hasLevel = TextsOf(m_kind).rising != nullptr;
    if (!pDX->m_bSaveAndValidate) {
        SetDlgItemText(IDC_EVENT_VALUE, Shown(m_dValue, UnitFactor()));
        if (hasLevel) {
            CheckRadioButton(IDC_EVENT_RISING, IDC_EVENT_FALLING,
                             m_nLevel ? IDC_EVENT_RISING : IDC_EVENT_FALLING);
        }
        return;
    }
    pDX->PrepareEditCtrl(IDC_EVENT_VALUE);
    CString text;
    GetDlgItemText(IDC_EVENT_VALUE, text);
    double value = 0;
    CString message;
    if (!ParseValue(text, value, message)) {
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION, 0);
        pDX->Fail();
    }
    m_dValue = value;
    if (hasLevel) m_nLevel = IsDlgButtonChecked(IDC_EVENT_RISING) ? 1 : 0;
}
