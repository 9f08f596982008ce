#include "ControlStatements.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "afxres.h"

namespace travexrc {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

constexpr std::array<ControlStatement, 9> kStatements = {{
    {"CONTROL", ControlForm::Generic, "", kChild},
    {"LTEXT", ControlForm::TextIdRect, "STATIC", kChild | SS_LEFT | WS_GROUP},
    {"RTEXT", ControlForm::TextIdRect, "STATIC", kChild | SS_RIGHT | WS_GROUP},
    {"CTEXT", ControlForm::TextIdRect, "STATIC", kChild | SS_CENTER | WS_GROUP},
    {"EDITTEXT", ControlForm::IdRect, "EDIT", kChild | ES_LEFT | WS_BORDER | WS_TABSTOP},
    {"COMBOBOX", ControlForm::IdRect, "COMBOBOX", kChild | CBS_SIMPLE | WS_TABSTOP},
    {"PUSHBUTTON", ControlForm::TextIdRect, "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP},
    {"DEFPUSHBUTTON", ControlForm::TextIdRect, "BUTTON", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
    {"GROUPBOX", ControlForm::TextIdRect, "BUTTON", kChild | BS_GROUPBOX},
}};

constexpr std::array<std::string_view, 6> kPredefinedClasses = {"BUTTON",  "EDIT",      "STATIC",
                                                                "LISTBOX", "SCROLLBAR", "COMBOBOX"};

}  // namespace

const ControlStatement* FindControlStatement(std::string_view keyword) {
    for (const ControlStatement& statement : kStatements) {
        if (EqualsIgnoringCase(statement.keyword, keyword)) return &statement;
    }
    return nullptr;
}

std::string CanonicalWindowClass(const std::string& name) {
    for (std::string_view predefined : kPredefinedClasses) {
        if (EqualsIgnoringCase(predefined, name)) return std::string(predefined);
    }
    return name;
}

}  // namespace travexrc
