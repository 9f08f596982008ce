// The headless dialog driver: plays a script of user actions on the dialogs that open, answers
// message boxes and file choices from the same script, and records every message box shown.
// Actions come from script text (docs/dialog-drivers.md) or from code; both play alike.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "afxdlgdriver.h"
#include "afxdlginput.h"
#include "afxdlgscript.h"

// A control as an action names it: by id, or by caption (with or without its & marks).
struct CControlName {
    CString name;
    CControlName(int id);              // NOLINT: implicit, so that ids read as ids
    CControlName(const char* caption)  // NOLINT
        : name(caption) {}
};

// Shows the dialogs that a script plays on, for a person to watch: told when a dialog opens,
// after each action played on it, and before it closes.
class CDialogViewer {
public:
    virtual ~CDialogViewer() = default;
    virtual void DialogOpened(CDialog& dialog) = 0;
    virtual void ActionPlayed(CDialog& dialog) = 0;
    virtual void DialogClosing(CDialog& dialog) = 0;
};

class CHeadlessDriver : public CDialogDriver {
public:
    // A host's own verb: acts on the dialog in front with the words after the verb. Returns an
    // empty text, or what went wrong, which stops the script at the verb's line.
    using VerbHandler = std::function<CString(CDialog& dialog, const std::vector<CString>& args)>;

    // A message box as the user saw it, with the answer the script gave.
    struct CShownMessage {
        CString text;
        CString caption;
        UINT type = 0;
        int answer = 0;
    };

    CHeadlessDriver();
    ~CHeadlessDriver() override;

    // Register a verb before loading a script that uses it. FALSE for a built-in verb, which
    // cannot be replaced; a host verb registered again is replaced.
    BOOL RegisterVerb(const char* verb, VerbHandler handler);

    // Append a script's actions. FALSE, with a message naming the line and nothing appended, for a
    // line that does not parse, an unknown verb, a wrong number of words, an unknown key or button.
    BOOL LoadScript(const char* path, CString& error);
    BOOL LoadScriptText(const std::string& text, const char* origin, CString& error);

    // The same actions from code, counted as lines of a script named "script".
    CHeadlessDriver& Type(CControlName control, const char* text);
    CHeadlessDriver& Click(CControlName control);
    CHeadlessDriver& Check(CControlName control);
    CHeadlessDriver& Uncheck(CControlName control);
    CHeadlessDriver& Select(CControlName control, const char* item);
    CHeadlessDriver& Focus(CControlName control);
    CHeadlessDriver& Key(const char* key);
    CHeadlessDriver& Close();
    CHeadlessDriver& ExpectMessage(const char* text);
    CHeadlessDriver& Answer(const char* button);
    CHeadlessDriver& PickFile(const char* path);
    CHeadlessDriver& CancelFile();
    CHeadlessDriver& Do(const char* verb, std::vector<CString> args);
    // Runs code on the dialog in front at this point of the play, to look at its controls.
    CHeadlessDriver& Inspect(std::function<void(CDialog& dialog)> code);

    // For a host verb that opens a file dialog itself (a click on an import button): the next
    // file dialog takes PATH, before any choose-file line of the script. The answer is dropped
    // when the action being played ends, whether a file dialog came up or not; a choice that the
    // dialog refuses asks the script's next lines, as after choose-file.
    void AnswerNextFileChoice(const CString& path) { m_fileAnswer = path; }

    // Dialogs are shown to the viewer from now on; null for none.
    void SetViewer(CDialogViewer* viewer) { m_viewer = viewer; }
    // The input goes to `input` from now on; null for the framework's own controls.
    void SetInput(CDialogInput* input) { m_input = input; }
    // A click as the built-in `click` plays it, for a host's verb.
    CString PlayClick(CWnd& control);

    // Call when the last dialog has closed: an error if actions are left over. TRUE when the
    // whole script played without error.
    BOOL Finish();
    BOOL HasFailed() const { return !m_error.IsEmpty(); }
    // "origin:line: what went wrong", the first error only.
    const CString& GetError() const { return m_error; }
    const std::vector<CShownMessage>& GetMessages() const { return m_messages; }

    // The control of `dialog` that `name` names: an id, or a button's or static's caption with or
    // without & marks. A static without an id of its own (IDC_STATIC) names the control after
    // it, as a label names its field. Null, with the reason in `error`, when there is none or
    // more than one.
    static CWnd* FindControl(CDialog& dialog, const CString& name, CString& error);
    // `dialog "Caption"`, as a script's messages name a dialog.
    static CString NameOfDialog(const CWnd& dialog);

    void RunModalLoop(CDialog& dialog) override;
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) override;
    BOOL ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) override;

private:
    struct CStep {
        CDialogScriptAction action;
        std::function<void(CDialog&)> inspect;
    };

    CHeadlessDriver& Add(const char* verb, std::vector<CString> args);
    CString CheckAction(const CDialogScriptAction& action) const;
    CString Play(CDialog& dialog, const CStep& step);
    CString PlayCheck(CWnd& control, bool checked);
    CString PlaySelect(CWnd& control, const CString& item);
    // The next action if it has this verb (and then it is consumed), else null.
    const CDialogScriptAction* TakeNext(const char* verb);
    void Fail(const CDialogScriptAction* at, const CString& message);
    // The action being played, else the next one: where a message box or file choice came up.
    const CDialogScriptAction* CurrentAction() const;

    std::vector<CStep> m_steps;
    size_t m_next = 0;
    long m_current = -1;
    std::vector<std::pair<CString, VerbHandler>> m_verbs;
    std::vector<CShownMessage> m_messages;
    std::optional<CString> m_fileAnswer;
    CString m_error;
    CDialogViewer* m_viewer = nullptr;
    CDialogInput* m_input = nullptr;
};
