#include "PointTable.h"

#include "DataParameterCatalog.h"
#include "ParameterText.h"

namespace {

CString ReadOne(std::string_view text, const char* key, const CMC_Setup& setup,
                std::vector<double>& values, CMC_Unit& unit) {
    const DataParameterEntry* entry = FindDataParameter(key);
    const std::vector<CMC_Unit>& units = setup.GetUnits(entry->kind);
    int index = 0;
    const CString message = parameter_text::ReadArray(text, entry->entryName, units, index, values);
    if (message.IsEmpty()) unit = units[static_cast<size_t>(index)];
    return message;
}

}  // namespace

CString ReadPointTable(std::string_view text, const CMC_Setup& setup, PointTable& table) {
    CString message = ReadOne(text, "TPOS", setup, table.positions, table.positionUnit);
    if (message.IsEmpty()) message = ReadOne(text, "ATIME", setup, table.times, table.timeUnit);
    return message;
}
