#include "PointTable.h"

#include "DataParameterCatalog.h"
#include "ParameterText.h"

namespace {

CString ReadOne(std::string_view text, const char* key, const CDriveSetup& setup,
                std::vector<double>& values, CMC_Unit& unit) {
    const DataParameterEntry* entry = FindDataParameter(key);
    const std::vector<CMC_Unit>& units = setup.GetUnits(entry->kind);
    int index = 0;
    const CString message = parameter_text::ReadArray(text, entry->entryName, units, index, values);
    if (message.IsEmpty()) unit = units[static_cast<size_t>(index)];
    return message;
}

}  // namespace

CString ReadPointTable(std::string_view text, const CDriveSetup& setup, PointTable& table) {
    CString message = ReadOne(text, "TPOS", setup, table.positions, table.positionUnit);
    if (message.IsEmpty()) message = ReadOne(text, "ATIME", setup, table.times, table.timeUnit);
    return message;
}

namespace {

std::string WithArray(std::string_view text, const char* key, const std::vector<double>& values) {
    const parameter_text::Entry entry = parameter_text::FindLast(text, key);
    CString line;
    parameter_text::AppendArray(line, key, entry.unit, values);
    std::string_view replaced = line.str();
    replaced.remove_suffix(2);  // the line end stays the text's own
    const size_t at = static_cast<size_t>(entry.line.data() - text.data());
    std::string result(text.substr(0, at));
    result += replaced;
    result += text.substr(at + entry.line.size());
    return result;
}

}  // namespace

std::string WithPointTimes(std::string_view text, const std::vector<double>& times) {
    return WithArray(text, "ATIME", times);
}

std::string WithPoints(std::string_view text, const std::vector<double>& times,
                       const std::vector<double>& positions) {
    return WithArray(WithArray(text, "ATIME", times), "TPOS", positions);
}
