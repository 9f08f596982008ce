// The host's base of a motion type's editor dialog: it keeps the caller's parameter text, reaches
// the controls by id, and shows array parameters with their units.
#pragma once

#include <afxwin.h>

#include "MC_ArrayParameter.h"
#include "MC_EditMotionInternalData.h"
#include "MC_Motion.h"
#include "MC_Setup.h"

class CMC_EditMotionDlg : public CDialog {
public:
    // Loads `templateId` through the resource chain when the dialog runs; keeps `paramText` by
    // reference for the derived dialog's OK.
    CMC_EditMotionDlg(CMC_Setup& setup, CMC_Motion& motion, CString& paramText, UINT templateId,
                      CWnd* parent);
    ~CMC_EditMotionDlg() override;

    // The record that the dialog edits.
    virtual CMC_EditMotionInternalData* GetInternalData() = 0;

protected:
    CString GetChildText(int id);
    void SetChildText(int id, const char* text);
    int GetChildCheck(int id);
    void SetChildCheck(int id, int check);
    void EnableChild(int id, int enable);
    int IsChildEnabled(int id);

    // Shows value `index` of `parameter` in edit `editId` in the selected unit, and fills combo
    // box `comboId` with the parameter's units, the selected one chosen. `fillUnits` 0 leaves
    // the combo box's list as it is; `showValue` 0 leaves the edit as it is.
    void ShowParameter(CMC_ArrayParameter& parameter, int index, int editId, int comboId,
                       int fillUnits, int showValue);
    // Makes the unit chosen in `comboId` the parameter's selected unit and shows value `index`
    // in that unit.
    void ChangeParameterUnit(CMC_ArrayParameter& parameter, int index, int editId, int comboId);

    // Runs before the message maps: Help (57671) is answered by the host; a click on an auto
    // check box or radio button stores the dialog's options and shows them again, so that the
    // controls they enable follow the click; then every command goes on to the maps.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    CString* m_pParamText;
    int m_bValidating;

    DECLARE_MESSAGE_MAP()
};
