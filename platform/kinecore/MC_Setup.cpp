#include "MC_Setup.h"

#include <cstring>

CMC_Setup::CMC_Setup() = default;

CMC_Setup::~CMC_Setup() = default;

int CMC_Setup::GetIntOption(const char* name) const {
    if (!name) return 0;
    for (const auto& [key, value] : m_options) {
        if (key == name) return value;
    }
    return 0;
}

const CMC_Variable* CMC_Setup::FindVariable(const char* name, int flags) const {
    if (!name || (flags & 1) == 0) return nullptr;
    for (const CMC_Variable& variable : m_variables) {
        if (std::strcmp(variable.GetName(), name) == 0) return &variable;
    }
    return nullptr;
}
