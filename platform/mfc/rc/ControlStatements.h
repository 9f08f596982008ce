// The control statements of dialog templates, with the window class and the styles that the
// Windows resource compiler gives each one before the script's own style is applied.
#pragma once

#include <string>
#include <string_view>

#include "afxtypes.h"

namespace travexrc {

enum class ControlForm {
    TextIdRect,  // LTEXT "text", id, x, y, cx, cy [, style [, exstyle]]
    IdRect,      // EDITTEXT id, x, y, cx, cy [, style [, exstyle]]
    Generic,     // CONTROL "text", id, "class", style, x, y, cx, cy [, exstyle]
};

struct ControlStatement {
    std::string_view keyword;
    ControlForm form;
    std::string_view windowClass;  // empty for CONTROL, which names its own
    DWORD defaultStyle;
};

// The statement that `keyword` starts (not case-sensitive); null if it starts none.
const ControlStatement* FindControlStatement(std::string_view keyword);

// The predefined window classes by the names the framework knows them by ("BUTTON", "EDIT", ...)
// however a script spells them; other classes as written.
std::string CanonicalWindowClass(const std::string& name);

}  // namespace travexrc
