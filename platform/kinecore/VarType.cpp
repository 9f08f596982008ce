#include "VarType.h"

#include <cstring>
#include <initializer_list>

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
