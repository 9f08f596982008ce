// Dialog templates written in code, for the headless dialog tests that compile no resource
// script: a control a line.
#pragma once

#include <afxdlgtemplate.h>
#include <afxres.h>

#include <memory>

namespace coded_dialog {

// A visible child control, as every control of a dialog is.
inline DLGITEMTEMPLATEDATA Control(const char* windowClass, int id, const char* text, DWORD style) {
    DLGITEMTEMPLATEDATA item;
    item.id = id;
    item.windowClass = windowClass;
    item.text = text;
    item.style = WS_CHILD | WS_VISIBLE | style;
    return item;
}

// A modal dialog with a caption and a system menu, as a host's dialogs are; no controls yet.
inline std::shared_ptr<DLGTEMPLATEDATA> ModalDialog(const char* caption) {
    auto dialog = std::make_shared<DLGTEMPLATEDATA>();
    dialog->caption = caption;
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    return dialog;
}

}  // namespace coded_dialog
