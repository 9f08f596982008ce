#include "DataParameterCatalog.h"

namespace {

constexpr DataParameterEntry kCatalog[] = {
    {"TPOS", "TPOS", UnitKind::Position, "TPOS"},
    {"ATIME", "ATIME", UnitKind::Time, "ATIME"},
};

}  // namespace

const DataParameterEntry* FindDataParameter(std::string_view key) {
    for (const DataParameterEntry& entry : kCatalog) {
        if (key == entry.key) return &entry;
    }
    return nullptr;
}

const DataParameterEntry* FindDataParameterByEntryName(std::string_view entryName) {
    for (const DataParameterEntry& entry : kCatalog) {
        if (entryName == entry.entryName) return &entry;
    }
    return nullptr;
}

tagVarType DataParameterType(const DataParameterEntry& entry, const CMC_Setup& setup) {
    const CMC_Variable* variable = setup.FindVariable(entry.variable, 1);
    return variable ? variable->GetType() : VAR_LONG;
}
