#include "VarType.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "NumberText.h"

namespace {

// How many steps make one unit: the fixed type keeps 16 fraction bits.
double StepsPerUnit(tagVarType type) { return type == VAR_FIXED ? 65536.0 : 1.0; }

}  // namespace

const char* VarTypeName(tagVarType type) {
    switch (type) {
        case VAR_INT:
            return "int";
        case VAR_UINT:
            return "uint";
        case VAR_LONG:
            return "long";
        case VAR_FIXED:
            return "fixed";
    }
    return "long";
}

bool ParseVarType(const char* name, tagVarType& type) {
    if (!name) return false;
    for (tagVarType candidate : {VAR_INT, VAR_UINT, VAR_LONG, VAR_FIXED}) {
        if (std::strcmp(name, VarTypeName(candidate)) == 0) {
            type = candidate;
            return true;
        }
    }
    return false;
}

double VarTypeMin(tagVarType type) {
    switch (type) {
        case VAR_INT:
            return -32768.0;
        case VAR_UINT:
            return 0.0;
        case VAR_LONG:
            return -2147483648.0;
        case VAR_FIXED:
            return -32768.0;
    }
    return 0.0;
}

double VarTypeMax(tagVarType type) {
    switch (type) {
        case VAR_INT:
            return 32767.0;
        case VAR_UINT:
            return 65535.0;
        case VAR_LONG:
            return 2147483647.0;
        case VAR_FIXED:
            return 2147483647.0 / 65536.0;
    }
    return 0.0;
}

double ReduceToVarType(tagVarType type, double value) {
    if (std::isnan(value)) return 0.0;
    // Scaling by a power of two is exact, so only std::round (ties away from zero) rounds.
    // Multiplying by the inverse power of two is as exact as dividing, and much quicker.
    const double steps = StepsPerUnit(type);
    double reduced = NearestWhole(value * steps) * (1.0 / steps);
    if (reduced < VarTypeMin(type)) reduced = VarTypeMin(type);
    if (reduced > VarTypeMax(type)) reduced = VarTypeMax(type);
    return reduced == 0.0 ? 0.0 : reduced;  // no negative zero
}
