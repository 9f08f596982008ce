#include "afxdlgtemplate.h"

#include "afxres.h"
#include "afxresreader.h"

namespace {

// A menu, class or title given by name, by number ("#n") or not at all ("").
std::string NameText(const CResourceName& name) {
    if (!name.IsNumber()) return name.text;
    return name.number == 0 ? "" : "#" + std::to_string(name.number);
}

// Controls of the predefined classes are stored by atom.
std::string ControlClass(const CResourceName& name) {
    static const char* const kClasses[] = {"BUTTON",  "EDIT",      "STATIC",
                                           "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (name.IsNumber() && name.number >= 0x80 && name.number <= 0x85)
        return kClasses[name.number - 0x80];
    return NameText(name);
}

}  // namespace

DLGTEMPLATEDATA AfxReadDialogTemplate(std::span<const BYTE> bytes, const std::string& what) {
    afximpl::CResourceReader reader(bytes, what);
    DLGTEMPLATEDATA dialog;
    const WORD version = reader.Word(), signature = reader.Word();
    const bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        reader.Dword();  // help id
        dialog.exStyle = reader.Dword();
        dialog.style = reader.Dword();
    } else {
        dialog.style = DWORD{version} | DWORD{signature} << 16;
        dialog.exStyle = reader.Dword();
    }
    const WORD count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    dialog.menu = NameText(reader.NameOrOrdinal());
    dialog.windowClass = NameText(reader.NameOrOrdinal());
    dialog.caption = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        if (extended) {
            dialog.weight = reader.Word();
            dialog.italic = reader.Byte();
            dialog.charset = reader.Byte();
        }
        dialog.typeface = reader.String();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        DLGITEMTEMPLATEDATA& item = dialog.items.emplace_back();
        if (extended) {
            reader.Dword();  // help id
            item.exStyle = reader.Dword();
            item.style = reader.Dword();
        } else {
            item.style = reader.Dword();
            item.exStyle = reader.Dword();
        }
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = extended ? static_cast<int>(reader.Dword()) : reader.Short();
        item.windowClass = ControlClass(reader.NameOrOrdinal());
        item.text = NameText(reader.NameOrOrdinal());
        reader.Bytes(reader.Word());  // creation data, for a custom control's WM_CREATE
    }
    return dialog;
}
