// The host's base of motion editors: the caller's text, the child helpers, the unit combo boxes
// and the Help button, as a module's editor uses them.
#include <cstdlib>

#include "kinecore_dialog_fixture.h"

namespace kernel_test {
namespace {

using EditMotionDlgTest = KernelDialogTest;

std::vector<std::string> ComboItems(CDialog& dialog, int id) {
    auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(id));
    std::vector<std::string> items;
    for (int i = 0; i < combo->GetCount(); ++i) {
        CString item;
        combo->GetLBText(i, item);
        items.push_back(item.str());
    }
    return items;
}

std::string ChosenItem(CDialog& dialog, int id) {
    auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(id));
    CString item;
    combo->GetLBText(combo->GetCurSel(), item);
    return item.str();
}

TEST_F(EditMotionDlgTest, KeepsTheCallersTextAndLoadsItsTemplate) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    EXPECT_EQ(dialog.m_pParamText, &m_paramText);
    EXPECT_EQ(dialog.m_bValidating, 0);
    CString caption;
    m_driver.Inspect([&caption](CDialog& shown) { shown.GetWindowText(caption); }).Click("OK");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(caption, "Motion - Test");
    EXPECT_EQ(m_paramText, "Kept=1\r\n");  // the base writes nothing itself
}

TEST_F(EditMotionDlgTest, ShowParameterListsTheSetupsUnitsAndTheValueInTheSelectedOne) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) {
        EXPECT_EQ(ComboItems(shown, IDC_UNIT),
                  (std::vector<std::string>{"rot", "IU", "deg", "rad"}));
        EXPECT_EQ(ChosenItem(shown, IDC_UNIT), "rot");
        EXPECT_EQ(AsEditor(shown).GetChildText(IDC_POSITION), "0.5");

        CTestEditorDlg& editor = AsEditor(shown);
        ASSERT_TRUE(editor.m_position.SelectUnit("deg"));
        editor.ShowParameter(editor.m_position, 2, IDC_POSITION, IDC_UNIT, 1, 1);
        EXPECT_EQ(ChosenItem(shown, IDC_UNIT), "deg");
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "-90");
        // Values that are not in the array show as nothing, not as 0.
        editor.ShowParameter(editor.m_position, 3, IDC_POSITION, IDC_UNIT, 1, 1);
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "");
        editor.ShowParameter(editor.m_position, -1, IDC_POSITION, IDC_UNIT, 1, 1);
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "");
    });
    m_driver.Click("Cancel");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

TEST_F(EditMotionDlgTest, ShowParameterLeavesListOrTextAloneWhenAskedTo) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        auto* combo = static_cast<CComboBox*>(shown.GetDlgItem(IDC_UNIT));
        combo->AddString("extra");
        editor.SetChildText(IDC_POSITION, "typed");
        ASSERT_TRUE(editor.m_position.SelectUnit("IU"));
        editor.ShowParameter(editor.m_position, 1, IDC_POSITION, IDC_UNIT, 0, 0);
        EXPECT_EQ(combo->GetCount(), 5);
        EXPECT_EQ(ChosenItem(shown, IDC_UNIT), "IU");  // the choice follows the parameter
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "typed");
        editor.ShowParameter(editor.m_position, 1, IDC_POSITION, IDC_UNIT, 1, 0);
        EXPECT_EQ(combo->GetCount(), 4);
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "typed");
    });
    m_driver.Click("Cancel");
    dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

TEST_F(EditMotionDlgTest, ChoosingAUnitSelectsItAndShowsTheValueInIt) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    const auto expectShown = [this](const char* unit, const char* text) {
        m_driver.Inspect([unit, text](CDialog& shown) {
            CTestEditorDlg& editor = AsEditor(shown);
            EXPECT_STREQ(editor.m_position.GetSelectedUnit(), unit);
            EXPECT_EQ(ChosenItem(shown, IDC_UNIT), unit);
            EXPECT_EQ(editor.GetChildText(IDC_POSITION), text);
        });
    };
    Script("select Unit deg\n");
    expectShown("deg", "180");
    Script("select Unit IU\n");
    expectShown("IU", "1000");
    Script("select Unit rad\n");
    // Pi has no short form: the text must still read back to the value the array holds.
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        const CString text = editor.GetChildText(IDC_POSITION);
        EXPECT_EQ(std::strtod(text, nullptr), editor.m_position.GetValue(1)) << text.GetString();
    });
    Script("click Cancel\n");
    dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log, (EventLog{"unit", "unit", "unit"}));
}

TEST_F(EditMotionDlgTest, ChildHelpersWorkOnTheControlsById) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        editor.SetChildText(IDC_POSITION, "12.5");
        EXPECT_EQ(editor.GetChildText(IDC_POSITION), "12.5");

        EXPECT_EQ(editor.GetChildCheck(IDC_WAIT), 0);
        editor.SetChildCheck(IDC_WAIT, 7);  // any flag that is set checks the box
        EXPECT_NE(editor.GetChildCheck(IDC_WAIT), 0);
        EXPECT_EQ(shown.IsDlgButtonChecked(IDC_WAIT), BST_CHECKED);
        editor.SetChildCheck(IDC_WAIT, 0);
        EXPECT_EQ(editor.GetChildCheck(IDC_WAIT), 0);

        EXPECT_NE(editor.IsChildEnabled(IDC_APPLY), 0);
        editor.EnableChild(IDC_APPLY, 0);
        EXPECT_EQ(editor.IsChildEnabled(IDC_APPLY), 0);
        EXPECT_FALSE(shown.GetDlgItem(IDC_APPLY)->IsWindowEnabled());

        // A control that the template lacks reads as empty, unchecked and disabled.
        editor.SetChildText(999, "lost");
        editor.SetChildCheck(999, 1);
        editor.EnableChild(999, 1);
        EXPECT_EQ(editor.GetChildText(999), "");
        EXPECT_EQ(editor.GetChildCheck(999), 0);
        EXPECT_EQ(editor.IsChildEnabled(999), 0);
    });
    // The user meets what the helpers did.
    Script("click Apply\n");
    dialog.DoModal();
    EXPECT_FALSE(m_driver.Finish());
    EXPECT_NE(m_driver.GetError().str().find("test.txt:1: control 413 \"&Apply\" is disabled"),
              std::string::npos)
        << m_driver.GetError().GetString();
    EXPECT_TRUE(m_log.empty());
}

TEST_F(EditMotionDlgTest, HelpIsAnsweredByTheHostAndOtherCommandsReachTheMaps) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    Script(
        "click Help\n"
        "expect-message \"Motion - Test: set the motion's values and press OK to keep them, or "
        "Cancel to leave the motion as it was.\"\n"
        "click Apply\n"
        "click OK\n");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    // The module's own Help entry never runs; its Apply does, and OK ends the dialog.
    EXPECT_EQ(m_log, (EventLog{"apply"}));
    ASSERT_EQ(m_driver.GetMessages().size(), 1u);
    EXPECT_EQ(m_driver.GetMessages()[0].type, MB_OK | MB_ICONINFORMATION);
}

}  // namespace
}  // namespace kernel_test
