// The host's base of motion editors: units in combo boxes, the child helpers and Help.
#include <cstdlib>

#include "kinecore_dialog_fixture.h"

namespace kernel_test {
namespace {

using EditMotionDlgTest = KernelDialogTest;

std::vector<std::string> ComboItems(CDialog& dialog) {
    auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(IDC_UNIT));
    std::vector<std::string> items;
    for (int i = 0; i < combo->GetCount(); ++i) {
        CString item;
        combo->GetLBText(i, item);
        items.push_back((i == combo->GetCurSel() ? "*" : "") + item.str());
    }
    return items;
}

TEST_F(EditMotionDlgTest, ShowsTheValueInTheUnitThatTheUserChooses) {
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        EXPECT_EQ(ComboItems(shown), (std::vector<std::string>{"*rot", "IU", "deg", "rad"}));
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "0.5");
        // An index that the array does not hold shows nothing rather than a made-up 0.
        editor.ShowParameter(editor.m_position, 3, IDC_POSITION, IDC_UNIT, 0, 1);
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "");
    });
    Script("select Unit deg\n");
    m_driver.Inspect([](CDialog& shown) {
        EXPECT_EQ(ComboItems(shown), (std::vector<std::string>{"rot", "IU", "*deg", "rad"}));
        EXPECT_EQ(AsEditor(shown).GetChildText(IDC_POSITION), "180");
    });
    Script("select Unit rad\n");
    m_driver.Inspect([](CDialog& shown) {
        // 1000 IU is pi rad, which has no short decimal; what the edit shows is the shortest
        // that reads back to the same IU, without the digits below a millionth of an IU.
        const CString text = AsEditor(shown).GetChildText(IDC_POSITION);
        CMC_ArrayParameter& position = AsEditor(shown).m_position;
        const double stored = position.GetValueInInternalUnit(1);
        EXPECT_LT(text.GetLength(), 12) << text.GetString();
        position.SetValue(1, std::strtod(text, nullptr));
        EXPECT_EQ(position.GetValueInInternalUnit(1), stored) << text.GetString();
    });
    Script("click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_STREQ(m_dialog.m_position.GetSelectedUnit(), "rad");
}

TEST_F(EditMotionDlgTest, ChildHelpersWorkOnTheControlsById) {
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        editor.SetChildText(IDC_POSITION, "12.5");
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "12.5");
        editor.SetChildCheck(IDC_WAIT, 7);  // any flag that is set checks the box
        EXPECT_EQ(shown.IsDlgButtonChecked(IDC_WAIT), BST_CHECKED);
        EXPECT_NE(editor.GetChildCheck(IDC_WAIT), 0);
        editor.SetChildCheck(IDC_WAIT, 0);
        EXPECT_EQ(editor.GetChildCheck(IDC_WAIT), 0);
        editor.EnableChild(IDC_APPLY, 0);
        EXPECT_EQ(editor.IsChildEnabled(IDC_APPLY), 0);
        EXPECT_NE(editor.IsChildEnabled(IDC_WAIT), 0);
        editor.SetChildText(999, "lost");  // a control that the template lacks
        EXPECT_EQ(editor.GetChildText(999), "");
        EXPECT_EQ(editor.IsChildEnabled(999), 0);
    });
    Script("click Apply\n");
    m_dialog.DoModal();
    EXPECT_FALSE(m_driver.Finish());
    EXPECT_EQ(m_driver.GetError(), "test.txt:1: control 413 \"&Apply\" is disabled");
}

TEST_F(EditMotionDlgTest, HelpIsAnsweredByTheHostAndOtherCommandsReachTheMaps) {
    EXPECT_EQ(m_dialog.m_pParamText, &m_paramText);
    EXPECT_EQ(m_dialog.m_bValidating, 0);
    Script(
        "click Help\n"
        "expect-message \"Motion - Test: set the motion's values and press OK to keep them, or "
        "Cancel to leave the motion as it was.\"\n"
        "click Apply\n"
        "click OK\n");
    EXPECT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log, (EventLog{"apply"}));  // the module's own Help entry never runs
    EXPECT_EQ(m_paramText, "Kept=1\r\n");
}

}  // namespace
}  // namespace kernel_test
