// The data parameters that the kernel knows: which name they stand under in a parameter text,
// which units they are shown in and which drive variable gives their type.
#pragma once

#include <string_view>

#include "DriveSetup.h"
#include "MC_Value.h"

struct DataParameterEntry {
    const char* key;        // as callers name it: "TPOS"
    const char* entryName;  // as the parameter text names it
    UnitKind kind;
    const char* variable;  // the drive variable that holds it
};

// Null for a key (or entry name) that the kernel does not know.
const DataParameterEntry* FindDataParameter(std::string_view key);
const DataParameterEntry* FindDataParameterByEntryName(std::string_view entryName);

// The type of the variable on this setup; long when the setup lacks the variable.
tagVarType DataParameterType(const DataParameterEntry& entry, const CMC_Setup& setup);
