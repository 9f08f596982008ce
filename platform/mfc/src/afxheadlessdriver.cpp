#include "afxheadlessdriver.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

struct BuiltInVerb {
    const char* verb;
    size_t words;  // after the verb
};

constexpr BuiltInVerb kBuiltInVerbs[] = {
    {"type", 2},           {"click", 1},  {"check", 1},       {"uncheck", 1},
    {"select", 2},         {"focus", 1},  {"key", 1},         {"close", 0},
    {"expect-message", 1}, {"answer", 1}, {"choose-file", 1}, {"cancel-file", 0},
};

const BuiltInVerb* FindBuiltIn(const CString& verb) {
    for (const BuiltInVerb& builtIn : kBuiltInVerbs) {
        if (verb == builtIn.verb) return &builtIn;
    }
    return nullptr;
}

struct KeyName {
    const char* name;
    UINT code;
    BOOL shift;
};

constexpr KeyName kKeys[] = {{"Enter", VK_RETURN, FALSE}, {"Escape", VK_ESCAPE, FALSE},
                             {"Tab", VK_TAB, FALSE},      {"Shift+Tab", VK_TAB, TRUE},
                             {"Up", VK_UP, FALSE},        {"Down", VK_DOWN, FALSE},
                             {"Left", VK_LEFT, FALSE},    {"Right", VK_RIGHT, FALSE}};

const KeyName* FindKey(const CString& name) {
    for (const KeyName& key : kKeys) {
        if (strcasecmp(name, key.name) == 0) return &key;
    }
    return nullptr;
}

struct ButtonName {
    const char* name;
    int id;
};

constexpr ButtonName kButtons[] = {{"OK", IDOK},       {"Cancel", IDCANCEL}, {"Abort", IDABORT},
                                   {"Retry", IDRETRY}, {"Ignore", IDIGNORE}, {"Yes", IDYES},
                                   {"No", IDNO}};

int ButtonId(const CString& name) {
    for (const ButtonName& button : kButtons) {
        if (strcasecmp(name, button.name) == 0) return button.id;
    }
    return 0;
}

bool HasButton(UINT type, int id) {
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            return id == IDOK;
        case MB_OKCANCEL:
            return id == IDOK || id == IDCANCEL;
        case MB_ABORTRETRYIGNORE:
            return id == IDABORT || id == IDRETRY || id == IDIGNORE;
        case MB_YESNOCANCEL:
            return id == IDYES || id == IDNO || id == IDCANCEL;
        case MB_YESNO:
            return id == IDYES || id == IDNO;
        case MB_RETRYCANCEL:
            return id == IDRETRY || id == IDCANCEL;
        default:
            return false;
    }
}

// "&Remove" reads "Remove"; "&&" is a plain &.
CString WithoutMarks(const CString& caption) {
    CString plain;
    for (int i = 0; i < caption.GetLength(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.GetLength()) ++i;
        plain += caption[i];
    }
    return plain;
}

bool IsId(const CString& name) {
    if (name.IsEmpty() || name.GetLength() > 9) return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

CString Quoted(const CString& text) { return "\"" + text + "\""; }

CString CaptionOf(const CWnd& window) {
    CString caption;
    window.GetWindowText(caption);
    return caption;
}

bool IsCheckableStyle(DWORD style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

bool IsRadioStyle(DWORD style) {
    return (style & BS_TYPEMASK) == BS_RADIOBUTTON || (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

}  // namespace

CControlName::CControlName(int id) { name.Format("%d", id); }

CHeadlessDriver::CHeadlessDriver() = default;
CHeadlessDriver::~CHeadlessDriver() = default;

BOOL CHeadlessDriver::RegisterVerb(const char* verb, VerbHandler handler) {
    if (FindBuiltIn(verb)) return FALSE;
    for (auto& [name, registered] : m_verbs) {
        if (name == verb) {
            registered = std::move(handler);
            return TRUE;
        }
    }
    m_verbs.emplace_back(verb, std::move(handler));
    return TRUE;
}

BOOL CHeadlessDriver::LoadScript(const char* path, CString& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error.Format("cannot read script %s: %s", path, std::strerror(errno));
        return FALSE;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return LoadScriptText(text.str(), path, error);
}

BOOL CHeadlessDriver::LoadScriptText(const std::string& text, const char* origin, CString& error) {
    std::vector<CDialogScriptAction> actions;
    if (!AfxParseDialogScript(text, origin, actions, error)) return FALSE;
    for (const CDialogScriptAction& action : actions) {
        if (CString problem = CheckAction(action); !problem.IsEmpty()) {
            error.Format("%s:%d: %s", action.origin.GetString(), action.line, problem.GetString());
            return FALSE;
        }
    }
    for (CDialogScriptAction& action : actions) m_steps.push_back({std::move(action), nullptr});
    return TRUE;
}

CHeadlessDriver& CHeadlessDriver::Add(const char* verb, std::vector<CString> args) {
    CStep step;
    step.action.origin = "script";
    step.action.line = static_cast<int>(m_steps.size()) + 1;
    step.action.verb = verb;
    step.action.args = std::move(args);
    m_steps.push_back(std::move(step));
    return *this;
}

CHeadlessDriver& CHeadlessDriver::Type(CControlName control, const char* text) {
    return Add("type", {control.name, text});
}
CHeadlessDriver& CHeadlessDriver::Click(CControlName control) {
    return Add("click", {control.name});
}
CHeadlessDriver& CHeadlessDriver::Check(CControlName control) {
    return Add("check", {control.name});
}
CHeadlessDriver& CHeadlessDriver::Uncheck(CControlName control) {
    return Add("uncheck", {control.name});
}
CHeadlessDriver& CHeadlessDriver::Select(CControlName control, const char* item) {
    return Add("select", {control.name, item});
}
CHeadlessDriver& CHeadlessDriver::Focus(CControlName control) {
    return Add("focus", {control.name});
}
CHeadlessDriver& CHeadlessDriver::Key(const char* key) { return Add("key", {key}); }
CHeadlessDriver& CHeadlessDriver::Close() { return Add("close", {}); }
CHeadlessDriver& CHeadlessDriver::ExpectMessage(const char* text) {
    return Add("expect-message", {text});
}
CHeadlessDriver& CHeadlessDriver::Answer(const char* button) { return Add("answer", {button}); }
CHeadlessDriver& CHeadlessDriver::PickFile(const char* path) { return Add("choose-file", {path}); }
CHeadlessDriver& CHeadlessDriver::CancelFile() { return Add("cancel-file", {}); }
CHeadlessDriver& CHeadlessDriver::Do(const char* verb, std::vector<CString> args) {
    return Add(verb, std::move(args));
}

CHeadlessDriver& CHeadlessDriver::Inspect(std::function<void(CDialog&)> code) {
    Add("inspect", {});
    m_steps.back().inspect = std::move(code);
    return *this;
}

CString CHeadlessDriver::CheckAction(const CDialogScriptAction& action) const {
    CString problem;
    if (const BuiltInVerb* builtIn = FindBuiltIn(action.verb)) {
        if (action.args.size() != builtIn->words) {
            problem.Format("%s takes %zu word%s, not %zu", builtIn->verb, builtIn->words,
                           builtIn->words == 1 ? "" : "s", action.args.size());
        } else if (action.verb == "key" && !FindKey(action.args[0])) {
            problem = "unknown key " + Quoted(action.args[0]) +
                      "; the keys are Enter, Escape, Tab, Shift+Tab, Up, Down, Left and Right";
        } else if (action.verb == "answer" && ButtonId(action.args[0]) == 0) {
            problem = "unknown button " + Quoted(action.args[0]) +
                      "; the buttons are OK, Cancel, Yes, No, Abort, Retry and Ignore";
        }
        return problem;
    }
    for (const auto& verb : m_verbs) {
        if (verb.first == action.verb) return problem;
    }
    return "unknown verb " + Quoted(action.verb);
}

CString CHeadlessDriver::NameOfDialog(const CWnd& dialog) {
    return "dialog " + Quoted(CaptionOf(dialog));
}

CWnd* CHeadlessDriver::FindControl(CDialog& dialog, const CString& name, CString& error) {
    if (IsId(name)) {
        CWnd* control = dialog.GetDlgItem(std::atoi(name));
        if (!control) error = "no control " + name + " in " + NameOfDialog(dialog);
        return control;
    }
    std::vector<CWnd*> matches;
    for (CWnd* child = dialog.GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        const CString kind = GetControlClass(*child);
        if (!(kind == "BUTTON" || kind == "STATIC")) continue;
        const CString caption = CaptionOf(*child);
        if (caption == name || WithoutMarks(caption) == name) matches.push_back(child);
    }
    if (matches.empty()) {
        error = "no control " + Quoted(name) + " in " + NameOfDialog(dialog);
        return nullptr;
    }
    if (matches.size() > 1) {
        error.Format("%zu controls of dialog \"%s\" read \"%s\"; name one by its id",
                     matches.size(), CaptionOf(dialog).GetString(), name.GetString());
        return nullptr;
    }
    CWnd* control = matches.front();
    if (GetControlClass(*control) == "STATIC" && control->GetDlgCtrlID() == IDC_STATIC) {
        control = control->GetWindow(GW_HWNDNEXT);
        if (!control) error = "the label " + Quoted(name) + " has no control after it";
    }
    return control;
}

CString CHeadlessDriver::Play(CDialog& dialog, const CStep& step) {
    if (step.inspect) {
        step.inspect(dialog);
        return CString();
    }
    const CDialogScriptAction& action = step.action;
    if (CString problem = CheckAction(action); !problem.IsEmpty()) return problem;
    const CString& verb = action.verb;
    if (verb == "key") {
        const KeyName* key = FindKey(action.args[0]);
        return m_input ? m_input->PressKey(dialog, key->code, key->shift)
                       : PressKey(dialog, key->code, key->shift);
    }
    if (verb == "close") return m_input ? m_input->Close(dialog) : CloseDialog(dialog);
    if (verb == "expect-message" || verb == "answer") return "no message box is open";
    if (verb == "choose-file" || verb == "cancel-file") return "no file dialog is open";
    if (!FindBuiltIn(verb)) {
        for (const auto& [name, handler] : m_verbs) {
            if (name == verb) return handler(dialog, action.args);
        }
    }

    CString error;
    CWnd* control = FindControl(dialog, action.args[0], error);
    if (!control) return error;
    if (verb == "type")
        return m_input ? m_input->Type(*control, action.args[1])
                       : TypeText(*control, action.args[1]);
    if (verb == "click") return PlayClick(*control);
    if (verb == "focus") return m_input ? m_input->Focus(*control) : FocusControl(*control);
    if (verb == "check" || verb == "uncheck") return PlayCheck(*control, verb == "check");
    return PlaySelect(*control, action.args[1]);
}

CString CHeadlessDriver::PlaySelect(CWnd& control, const CString& item) {
    if (GetControlClass(control) != "COMBOBOX")
        return "control " + DescribeControl(control) + " is not a combo box";
    const int index = static_cast<int>(control.SendMessage(
        CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.GetString())));
    if (index != CB_ERR)
        return m_input ? m_input->Select(control, index) : SelectItem(control, index);

    CString items;
    const int count = static_cast<int>(control.SendMessage(CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<size_t>(control.SendMessage(CB_GETLBTEXTLEN, i));
        std::string text(length + 1, '\0');
        control.SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        items += (i ? ", " : "") + Quoted(text.c_str());
    }
    return "control " + DescribeControl(control) + " has no item " + Quoted(item) +
           "; its items: " + (count ? items : CString("none"));
}

CString CHeadlessDriver::PlayCheck(CWnd& control, bool checked) {
    if (CString refusal = InputRefusal(control); !refusal.IsEmpty()) return refusal;
    if (GetControlClass(control) != "BUTTON" || !IsCheckableStyle(control.GetStyle()))
        return "control " + DescribeControl(control) + " is not a check box or radio button";
    const auto state = [&control] { return control.SendMessage(BM_GETCHECK); };
    const LRESULT wanted = checked ? BST_CHECKED : BST_UNCHECKED;
    if (!checked && IsRadioStyle(control.GetStyle()) && state() != BST_UNCHECKED)
        return "radio button " + DescribeControl(control) +
               " is cleared by checking another of its group";
    // A three-state box may need two clicks.
    for (int clicks = 0; clicks < 2 && state() != wanted; ++clicks) {
        if (CString refusal = PlayClick(control); !refusal.IsEmpty()) return refusal;
    }
    if (state() != wanted)
        return "clicking control " + DescribeControl(control) + " does not " +
               (checked ? "check" : "clear") + " it";
    return CString();
}

const CDialogScriptAction* CHeadlessDriver::TakeNext(const char* verb) {
    if (m_next >= m_steps.size()) return nullptr;
    const CStep& step = m_steps[m_next];
    if (step.inspect || step.action.verb != verb || !CheckAction(step.action).IsEmpty())
        return nullptr;
    ++m_next;
    return &step.action;
}

const CDialogScriptAction* CHeadlessDriver::CurrentAction() const {
    if (m_current >= 0) return &m_steps[static_cast<size_t>(m_current)].action;
    if (m_next < m_steps.size()) return &m_steps[m_next].action;
    return m_steps.empty() ? nullptr : &m_steps.back().action;
}

void CHeadlessDriver::Fail(const CDialogScriptAction* at, const CString& message) {
    if (HasFailed()) return;
    if (at)
        m_error.Format("%s:%d: %s", at->origin.GetString(), at->line, message.GetString());
    else
        m_error = "script: " + message;
}

CString CHeadlessDriver::PlayClick(CWnd& control) {
    return m_input ? m_input->Click(control) : ClickControl(control);
}

void CHeadlessDriver::RunModalLoop(CDialog& dialog) {
    if (m_input) m_input->DialogOpened(dialog);
    if (m_viewer) m_viewer->DialogOpened(dialog);
    while (dialog.ContinueModal() && !HasFailed()) {
        if (m_next >= m_steps.size()) {
            Fail(m_steps.empty() ? nullptr : &m_steps.back().action,
                 "the script ends with " + NameOfDialog(dialog) + " still open");
            break;
        }
        const size_t index = m_next++;
        const long outer = m_current;
        m_current = static_cast<long>(index);
        // A copy: code run by the step may add steps, which moves the list.
        const CStep step = m_steps[index];
        const CString error = Play(dialog, step);
        m_fileAnswer.reset();
        m_current = outer;
        if (!error.IsEmpty()) Fail(&m_steps[index].action, error);
        if (m_input && dialog.m_hWnd) m_input->ActionPlayed(dialog);
        if (m_viewer) m_viewer->ActionPlayed(dialog);
    }
    if (m_viewer) m_viewer->DialogClosing(dialog);
    if (m_input) m_input->DialogClosing(dialog);
    if (dialog.ContinueModal()) dialog.EndDialog(-1);
}

int CHeadlessDriver::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    const CString text = lpszText ? lpszText : "";
    int answer = AfxDismissAnswer(nType);
    if (!HasFailed()) {
        const CDialogScriptAction* expect = TakeNext("expect-message");
        if (expect && expect->args[0] != text) {
            Fail(expect,
                 "the message box says " + Quoted(text) + ", not " + Quoted(expect->args[0]));
        } else if (const CDialogScriptAction* reply = TakeNext("answer")) {
            const int id = ButtonId(reply->args[0]);
            if (HasButton(nType, id))
                answer = id;
            else
                Fail(reply,
                     "message box " + Quoted(text) + " has no " + reply->args[0] + " button");
        } else if (expect && (nType & MB_TYPEMASK) == MB_OK) {
            answer = IDOK;
        } else {
            Fail(expect ? expect : CurrentAction(),
                 "message box " + Quoted(text) + " is not answered");
        }
    }
    m_messages.push_back({text, lpszCaption ? lpszCaption : "", nType, answer});
    return answer;
}

BOOL CHeadlessDriver::ChooseFile(BOOL, LPCTSTR, CString& path) {
    if (HasFailed()) return FALSE;
    if (m_fileAnswer) {
        path = *m_fileAnswer;
        m_fileAnswer.reset();
        return TRUE;
    }
    if (const CDialogScriptAction* choice = TakeNext("choose-file")) {
        path = choice->args[0];
        return TRUE;
    }
    if (!TakeNext("cancel-file")) Fail(CurrentAction(), "a file dialog is not answered");
    return FALSE;
}

BOOL CHeadlessDriver::Finish() {
    if (m_next < m_steps.size()) Fail(&m_steps[m_next].action, "no dialog is open for this action");
    return !HasFailed();
}
