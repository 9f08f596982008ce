#include "MC_ArrayParameter.h"

#include <cmath>

#include "DataParameterCatalog.h"
#include "NumberText.h"

CMC_ArrayParameter::CMC_ArrayParameter(CMC_Setup& setup)
    : m_setup(setup),
      m_unboundUnits{{"IU", 1.0}},
      m_min(CMC_Value::MinOf(VAR_LONG)),
      m_max(CMC_Value::MaxOf(VAR_LONG)) {}

CMC_ArrayParameter::~CMC_ArrayParameter() = default;

bool CMC_ArrayParameter::BindToKey(const char* key) {
    const DataParameterEntry* entry = key ? FindDataParameter(key) : nullptr;
    if (!entry) return false;
    m_key = entry->key;
    m_kind = entry->kind;
    m_type = DataParameterType(*entry, m_setup);
    m_unit = 0;
    m_factor = GetUnits().front().iuPerUnit;
    m_min = CMC_Value::MinOf(m_type);
    m_max = CMC_Value::MaxOf(m_type);
    return true;
}

void CMC_ArrayParameter::SetValuesCount(int count) {
    AfxMayAllocate([&] { m_values.resize(count > 0 ? static_cast<size_t>(count) : 0); });
}

void CMC_ArrayParameter::SetValue(int index, double value) {
    SetValueInInternalUnit(index, ToInternalUnit(value));
}

void CMC_ArrayParameter::InsertValueAt(int index, double value) {
    InsertValueInInternalUnitAt(index, ToInternalUnit(value));
}

void CMC_ArrayParameter::RemoveValueAt(int index, int count) {
    if (index < 0 || index >= GetValuesCount() || count <= 0) return;
    const auto first = m_values.begin() + index;
    const int available = GetValuesCount() - index;
    m_values.erase(first, first + (count < available ? count : available));
}

void CMC_ArrayParameter::SetValueInInternalUnit(int index, double value) {
    if (index < 0 || index >= GetValuesCount()) return;
    m_values[static_cast<size_t>(index)] = value;
}

void CMC_ArrayParameter::InsertValueInInternalUnitAt(int index, double value) {
    if (index < 0 || index > GetValuesCount()) return;
    AfxMayAllocate([&] { m_values.insert(m_values.begin() + index, value); });
}

const std::vector<CMC_Unit>& CMC_ArrayParameter::GetUnits() const {
    return m_key.empty() ? m_unboundUnits : m_setup.GetUnits(m_kind);
}

const char* CMC_ArrayParameter::GetSelectedUnit() const {
    return GetUnits()[static_cast<size_t>(m_unit)].name.c_str();
}

bool CMC_ArrayParameter::SelectUnit(const char* name) {
    if (!name) return false;
    const std::vector<CMC_Unit>& units = GetUnits();
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i].name == name) return SelectUnitIndex(static_cast<int>(i));
    }
    return false;
}

bool CMC_ArrayParameter::SelectUnitIndex(int index) {
    if (index < 0 || index >= static_cast<int>(GetUnits().size())) return false;
    m_unit = index;
    m_factor = GetUnits()[static_cast<size_t>(index)].iuPerUnit;
    return true;
}

CString CMC_ArrayParameter::PrintValue(int index) const {
    char buffer[kNumberTextSize];
    const double stored = GetValueInInternalUnit(index);
    return CString(FormatDisplayValue(
        stored, GetValue(index), [this](double shown) { return ToInternalUnit(shown); }, buffer));
}
