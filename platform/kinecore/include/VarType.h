// The names of the drive's variable types in setup files; their ranges and step are the
// module's too (MC_Value.h).
#pragma once

#include <MC_Value.h>

// The name of a type as setup files write it ("int", "uint", "long", "fixed").
const char* VarTypeName(tagVarType type);
// Parses such a name; false for a name that is not a type.
bool ParseVarType(const char* name, tagVarType& type);
