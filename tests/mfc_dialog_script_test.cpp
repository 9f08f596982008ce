// Scripts for the headless driver: their text, their errors, message boxes and file choices,
// nested dialogs and the verbs that a host adds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "mfc_dialog_fixture.h"

namespace dialog_test {
namespace {

using DialogScript = DialogTest;

TEST(DialogScriptText, WordsQuotesAndCommentsSplitIntoActionsWithTheirLines) {
    const std::string text =
        "# a comment line\n"
        "type Count 12   # a trailing comment\n"
        "\n"
        "  type \"&Name\" \"two words \\\"quoted\\\" and a \\\\\"\r\n"
        "type 203 \"\"\n"
        "click C#\n";
    std::vector<CDialogScriptAction> actions;
    CString error;
    ASSERT_TRUE(AfxParseDialogScript(text, "t.txt", actions, error)) << error.GetString();
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].line, 2);
    EXPECT_EQ(actions[0].verb, "type");
    EXPECT_EQ(actions[0].args, (std::vector<CString>{"Count", "12"}));
    EXPECT_EQ(actions[1].line, 4);
    EXPECT_EQ(actions[1].args, (std::vector<CString>{"&Name", "two words \"quoted\" and a \\"}));
    EXPECT_EQ(actions[2].args, (std::vector<CString>{"203", ""}));
    EXPECT_EQ(actions[3].args, (std::vector<CString>{"C#"}));
    EXPECT_EQ(actions[3].origin, "t.txt");
}

TEST(DialogScriptText, LoadErrorsNameTheLineAndAppendNothing) {
    struct Case {
        const char* line3;
        const char* error;
    };
    const Case cases[] = {
        {"tpye Count 3", "t.txt:3: unknown verb \"tpye\""},
        {"click", "t.txt:3: click takes 1 word, not 0"},
        {"type Count", "t.txt:3: type takes 2 words, not 1"},
        {"close now", "t.txt:3: close takes 0 words, not 1"},
        {"key Space",
         "t.txt:3: unknown key \"Space\"; the keys are Enter, Escape, Tab, Shift+Tab, Up, Down, "
         "Left and Right"},
        {"answer Maybe",
         "t.txt:3: unknown button \"Maybe\"; the buttons are OK, Cancel, Yes, No, Abort, Retry "
         "and Ignore"},
        {"type Count \"12", "t.txt:3: a quoted word is not closed"},
        {"drag 1 2 3", "t.txt:3: unknown verb \"drag\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line3);
        CHeadlessDriver driver;
        CString error;
        const std::string text = "# first\nclick OK\n" + std::string(c.line3) + "\nkey Escape\n";
        EXPECT_FALSE(driver.LoadScriptText(text, "t.txt", error));
        EXPECT_EQ(error, c.error);
        // Nothing of the script was kept: its first action is not there to be left over.
        EXPECT_TRUE(driver.Finish());
    }
}

TEST_F(DialogScript, ScriptFromAFilePlaysControlsByIdCaptionOrLabel) {
    const std::string path = ::testing::TempDir() + "mfc_dialog_script.txt";
    {
        std::ofstream file(path);
        file << "# count by its label, name by its label's caption with its & mark\n"
                "type Count 42\n"
                "type Name \"a b\"\n"
                "select Unit inc\n"
                "check &Verbose\n"
                "click 230\n"
                "click Slow\n"
                "key Enter\n";
    }
    CString error;
    ASSERT_TRUE(m_driver.LoadScript(path.c_str(), error)) << error.GetString();
    std::remove(path.c_str());
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
    EXPECT_EQ(dialog.m_nCount, 42);
    EXPECT_EQ(dialog.m_strName, "a b");
    EXPECT_NE(std::find(m_log.begin(), m_log.end(), "unit selendok 1"), m_log.end());
    EXPECT_NE(std::find(m_log.begin(), m_log.end(), "base Apply"), m_log.end());

    CHeadlessDriver other;
    EXPECT_FALSE(other.LoadScript("/nonexistent/script.txt", error));
    EXPECT_EQ(error.str().rfind("cannot read script /nonexistent/script.txt", 0), 0u)
        << error.GetString();
}

TEST_F(DialogScript, PlayErrorsNameTheLineAndEndTheDialog) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"click Nope\n", "s:1: no control \"Nope\" in dialog \"Test\""},
        {"type Count 1\nclick 999\n", "s:2: no control 999 in dialog \"Test\""},
        {"type Verbose 3\n", "s:1: control 201 \"&Verbose\" is not an edit"},
        {"click Graph\n", "s:1: control 232 \"Graph\" takes no clicks"},
        {"select Count mm\n", "s:1: control 202 (EDIT) is not a combo box"},
        {"type Count 3\n", "s:1: the script ends with dialog \"Test\" still open"},
        {"answer OK\n", "s:1: no message box is open"},
        {"choose-file x.txt\n", "s:1: no file dialog is open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        CHeadlessDriver driver;
        AfxSetDialogDriver(&driver);
        CString error;
        ASSERT_TRUE(driver.LoadScriptText(c.script, "s", error)) << error.GetString();
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), -1);
        EXPECT_TRUE(driver.HasFailed());
        EXPECT_FALSE(driver.Finish());
        EXPECT_EQ(driver.GetError(), c.error);
    }
    AfxSetDialogDriver(&m_driver);
}

TEST_F(DialogScript, ActionsLeftAfterTheDialogClosedAreAnError) {
    m_driver.Key("Escape").Click("OK");
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(m_driver.Finish());
    EXPECT_EQ(m_driver.GetError(), "script:2: no dialog is open for this action");
}

TEST_F(DialogScript, MessageBoxesAreAnsweredFromTheScriptAndRecorded) {
    CTestDlg dialog(m_log);
    int yesNo = 0, okCancel = 0, plain = 0;
    m_driver.Inspect([&](CDialog&) { yesNo = AfxMessageBox("Save?", MB_YESNO | MB_ICONQUESTION); })
        .Answer("no")
        .Inspect([&](CDialog&) { okCancel = AfxMessageBox("Go on?", MB_OKCANCEL); })
        .ExpectMessage("Go on?")
        .Answer("Cancel")
        .Inspect([&](CDialog&) { plain = AfxMessageBox("Done."); })
        .ExpectMessage("Done.")
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(yesNo, IDNO);
    EXPECT_EQ(okCancel, IDCANCEL);
    EXPECT_EQ(plain, IDOK);
    ASSERT_EQ(m_driver.GetMessages().size(), 3u);
    EXPECT_EQ(m_driver.GetMessages()[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(m_driver.GetMessages()[0].answer, IDNO);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Save?", "Go on?", "Done."}));
}

TEST_F(DialogScript, MessageBoxThatTheScriptDoesNotAnswerStopsThePlay) {
    struct Case {
        std::function<void(CHeadlessDriver&)> script;
        int answer;
        const char* error;
    };
    const auto ask = [](UINT type) { return [type](CDialog&) { AfxMessageBox("Really?", type); }; };
    const Case cases[] = {
        {[&](CHeadlessDriver& d) { d.Inspect(ask(MB_OK)).Key("Escape"); }, IDOK,
         "script:1: message box \"Really?\" is not answered"},
        {[&](CHeadlessDriver& d) { d.Inspect(ask(MB_YESNO)).ExpectMessage("Really?"); }, IDNO,
         "script:2: message box \"Really?\" is not answered"},
        {[&](CHeadlessDriver& d) { d.Inspect(ask(MB_OK)).ExpectMessage("Sure?"); }, IDOK,
         "script:2: the message box says \"Really?\", not \"Sure?\""},
        {[&](CHeadlessDriver& d) { d.Inspect(ask(MB_YESNO)).Answer("OK"); }, IDNO,
         "script:2: message box \"Really?\" has no OK button"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        CHeadlessDriver driver;
        AfxSetDialogDriver(&driver);
        c.script(driver);
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), -1);
        EXPECT_EQ(driver.GetError(), c.error);
        ASSERT_EQ(driver.GetMessages().size(), 1u);
        EXPECT_EQ(driver.GetMessages()[0].answer, c.answer);  // closed as Escape would
    }
    AfxSetDialogDriver(&m_driver);
}

TEST_F(DialogScript, NestedDialogTakesTheFollowingActionsAndGivesTheFocusBack) {
    CTestDlg dialog(m_log);
    m_driver.Click("&More...")
        .Inspect([&](CDialog& child) {
            CString caption, text;
            child.GetWindowText(caption);
            child.GetDlgItemText(IDC_CHILD_TEXT, text);
            EXPECT_EQ(caption, "Child");
            EXPECT_EQ(text, "seed");
            EXPECT_EQ(child.GetParent(), &dialog);
        })
        .Type(IDC_CHILD_TEXT, "hello")
        .Key("Enter")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(&shown, &dialog);
            EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_MORE));
        })
        .Click("&More...")
        .Close()
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
    EXPECT_EQ(dialog.m_nChildResult, IDCANCEL);
    const EventLog children = [&] {
        EventLog kept;
        for (const std::string& event : m_log)
            if (event.rfind("child ", 0) == 0) kept.push_back(event);
        return kept;
    }();
    EXPECT_EQ(children, (EventLog{"child 1", "child 2"}));
}

TEST_F(DialogScript, ErrorInANestedDialogEndsEveryOpenDialog) {
    CTestDlg dialog(m_log);
    m_driver.Click("&More...").Click("Nope").Key("Escape");
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_nChildResult, -1);
    EXPECT_EQ(m_driver.GetError(), "script:2: no control \"Nope\" in dialog \"Child\"");
}

TEST_F(DialogScript, HostVerbsActOnTheDialogInFront) {
    CPickWnd pick;
    const auto pickVerb = [&pick](CDialog& dialog, const std::vector<CString>& args) -> CString {
        if (args.size() != 1) return "pick takes a point";
        CString error;
        CWnd* graph = CHeadlessDriver::FindControl(dialog, "Graph", error);
        if (!graph) return error;
        if (graph != &pick && !pick.SubclassDlgItem(graph->GetDlgCtrlID(), &dialog))
            return "the graph is taken";
        pick.Pick(std::atoi(args[0]));
        return CString();
    };
    EXPECT_FALSE(m_driver.RegisterVerb("click", pickVerb));
    EXPECT_TRUE(m_driver.RegisterVerb("pick", pickVerb));
    CString error;
    ASSERT_TRUE(m_driver.LoadScriptText("pick 4\npick 7\npick\n", "host", error))
        << error.GetString();

    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(m_driver.GetError(), "host:3: pick takes a point");
    const EventLog picks = [&] {
        EventLog kept;
        for (const std::string& event : m_log)
            if (event.rfind("pick ", 0) == 0) kept.push_back(event);
        return kept;
    }();
    EXPECT_EQ(picks, (EventLog{"pick 4", "pick 7"}));
}

TEST_F(DialogScript, FileChoicesAreAnsweredFromTheScript) {
    CTestDlg dialog(m_log);
    CString picked;
    BOOL first = FALSE, second = TRUE;
    m_driver
        .Inspect([&](CDialog&) {
            first = AfxGetDialogDriver()->ChooseFile(TRUE, "Text Files (*.txt)|*.txt||", picked);
        })
        .PickFile("points.txt")
        .Inspect([&](CDialog&) {
            CString ignored;
            second = AfxGetDialogDriver()->ChooseFile(TRUE, "Text Files (*.txt)|*.txt||", ignored);
        })
        .CancelFile()
        .Inspect([&](CDialog&) {
            CString ignored;
            AfxGetDialogDriver()->ChooseFile(TRUE, "Text Files (*.txt)|*.txt||", ignored);
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(first);
    EXPECT_EQ(picked, "points.txt");
    EXPECT_FALSE(second);
    EXPECT_EQ(m_driver.GetError(), "script:5: a file dialog is not answered");
}

}  // namespace
}  // namespace dialog_test
