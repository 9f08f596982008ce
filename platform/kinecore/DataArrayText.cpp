#include "DataArrayText.h"

#include "DataParameterCatalog.h"
#include "ParameterText.h"

CString ReadDataArray(std::string_view text, const char* key, const CDriveSetup& setup,
                      std::vector<double>& values, CMC_Unit& unit) {
    const DataParameterEntry* entry = FindDataParameter(key);
    const std::vector<CMC_Unit>& units = setup.GetUnits(entry->kind);
    int index = 0;
    const CString message = parameter_text::ReadArray(text, entry->entryName, units, index, values);
    if (message.IsEmpty()) unit = units[static_cast<size_t>(index)];
    return message;
}

std::string WithDataArray(std::string_view text, const char* key,
                          const std::vector<double>& values) {
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
