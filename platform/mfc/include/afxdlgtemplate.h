// A dialog template as a resource script declares it (the content of a DLGTEMPLATEEX).
#pragma once

#include <string>
#include <vector>

#include "afxtypes.h"

struct DLGITEMTEMPLATEDATA {
    int id = -1;               // -1: a control without an id of its own
    std::string windowClass;   // "BUTTON", "EDIT", "STATIC", "COMBOBOX"
    std::string text;          // caption
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
    std::string menu;
    std::string windowClass;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string typeface;
    std::vector<DLGITEMTEMPLATEDATA> items;
};
