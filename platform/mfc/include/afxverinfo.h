// A module's version record as a VERSIONINFO statement compiles it (VS_VERSIONINFO).
#pragma once

#include <map>
#include <span>
#include <string>

#include "afxtypes.h"

// The version record of a module (VS_VERSIONINFO): the fixed versions and its first string
// table.
struct CVersionRecord {
    WORD fileVersion[4] = {0, 0, 0, 0};
    WORD productVersion[4] = {0, 0, 0, 0};
    std::map<std::string, std::string> strings;  // "InternalName", "FileDescription", ...
};

// Reads a VS_VERSIONINFO record; throws CResourceFormatError (afxresfile.h).
CVersionRecord AfxReadVersionRecord(std::span<const BYTE> record);
