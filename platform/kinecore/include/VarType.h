// What a drive variable of each type holds: its name in setup files, its range and its step.
#pragma once

#include <MC_Value.h>

// The name of a type as setup files write it ("int", "uint", "long", "fixed").
const char* VarTypeName(tagVarType type);
// Parses such a name; false for a name that is not a type.
bool ParseVarType(const char* name, tagVarType& type);

double VarTypeMin(tagVarType type);
double VarTypeMax(tagVarType type);
// Rounded to the type's step (ties away from zero), then clamped to its range; NaN becomes 0.
double ReduceToVarType(tagVarType type, double value);
