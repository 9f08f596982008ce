#include "ArrayParameterHost.h"

#include <algorithm>

#include "DataParameterCatalog.h"
#include "ParameterText.h"
#include "VarType.h"

bool CArrayParameterHost::BindToKey(CMC_ArrayParameter& array, const char* key) {
    const DataParameterEntry* entry = key ? FindDataParameter(key) : nullptr;
    if (!entry) return false;
    array.m_key = entry->key;
    array.m_kind = entry->kind;
    array.m_type = DataParameterType(*entry, array.m_setup);
    array.m_unit = 0;
    array.m_factor = array.Units().front().iuPerUnit;
    array.m_min = VarTypeMin(array.m_type);
    array.m_max = VarTypeMax(array.m_type);
    return true;
}

void CArrayParameterHost::InsertValueInInternalUnitAt(CMC_ArrayParameter& array, int index,
                                                      double value) {
    if (index < 0 || index > array.GetValuesCount()) return;
    if (!CMC_ArrayParameter::IsWhole(value)) array.MakeFractional();
    AfxMayAllocate([&] {
        if (array.m_fractional) {
            array.m_values.insert(array.m_values.begin() + index, value);
        } else {
            array.m_whole.insert(array.m_whole.begin() + index, static_cast<std::int32_t>(value));
        }
    });
}

std::vector<double> CArrayParameterHost::GetValuesInInternalUnit(const CMC_ArrayParameter& array) {
    if (array.m_fractional) return array.m_values;
    return {array.m_whole.begin(), array.m_whole.end()};
}

void CArrayParameterHost::AppendToText(CString& text, const char* entryName,
                                       const CMC_ArrayParameter& array) {
    if (array.m_fractional) {
        parameter_text::AppendArray(text, entryName, array.GetSelectedUnit(), array.m_values);
    } else {
        parameter_text::AppendArray(text, entryName, array.GetSelectedUnit(), array.m_whole);
    }
}

bool CArrayParameterHost::TextHolds(CMC_Setup& setup, const CString& text, const char* key,
                                    const std::vector<double>& values) {
    const DataParameterEntry* entry = key ? FindDataParameter(key) : nullptr;
    CMC_ArrayParameter array(setup);
    if (!entry || !BindToKey(array, key)) return false;
    // The values that ReadArrayDataParam stores are the values read, whole or not.
    return parameter_text::ArrayHolds(text.str(), entry->entryName, array.Units(), values);
}

void CArrayParameterHost::SetValuesInInternalUnit(CMC_ArrayParameter& array,
                                                  std::vector<double> values) {
    if (std::all_of(values.begin(), values.end(), CMC_ArrayParameter::IsWhole)) {
        std::vector<std::int32_t> whole;
        AfxMayAllocate([&] { whole.assign(values.begin(), values.end()); });
        array.m_whole = std::move(whole);
        std::vector<double>().swap(array.m_values);
        array.m_fractional = false;
    } else {
        array.m_values = std::move(values);
        std::vector<std::int32_t>().swap(array.m_whole);
        array.m_fractional = true;
    }
}

bool CArrayParameterHost::SelectUnit(CMC_ArrayParameter& array, const char* name) {
    if (!name) return false;
    const std::vector<CMC_Unit>& units = array.Units();
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i].name == name) return SelectUnitIndex(array, static_cast<int>(i));
    }
    return false;
}

bool CArrayParameterHost::SelectUnitIndex(CMC_ArrayParameter& array, int index) {
    if (index < 0 || index >= static_cast<int>(array.Units().size())) return false;
    array.m_unit = index;
    array.m_factor = array.Units()[static_cast<size_t>(index)].iuPerUnit;
    return true;
}
