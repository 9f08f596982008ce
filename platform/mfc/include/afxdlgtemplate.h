// A dialog template: what the dialog manager reads from a DLGTEMPLATEEX (or an old DLGTEMPLATE)
// before it creates the dialog and its controls.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "afxtypes.h"

struct DLGITEMTEMPLATEDATA {
    int id = -1;              // -1: a control without an id of its own
    std::string windowClass;  // "BUTTON", "EDIT", "STATIC", "COMBOBOX"
    std::string text;         // caption; "#n" for an image resource given by number
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct DLGTEMPLATEDATA {
    WORD language = 0;  // LANGID, 0x0409 for English (United States)
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    std::string menu;         // "#n" for a menu given by number
    std::string windowClass;  // "#n" for a class given by atom
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string typeface;
    std::vector<DLGITEMTEMPLATEDATA> items;
};

// Reads a compiled template as Windows's dialog manager does: the header, menu, class and
// title, the font when DS_SETFONT asks for one, then each control on a 4-byte boundary. `what`
// names the template in the CResourceFormatError (afxresfile.h) that a malformed one throws.
DLGTEMPLATEDATA AfxReadDialogTemplate(std::span<const BYTE> bytes, const std::string& what);
