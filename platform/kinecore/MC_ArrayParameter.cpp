#include "MC_ArrayParameter.h"

#include "ArrayParameterHost.h"
#include "DriveSetup.h"
#include "NumberText.h"
#include "VarType.h"

namespace {

const std::vector<CMC_Unit> kUnboundUnits = {{"IU", 1.0}};

}  // namespace

CMC_ArrayParameter::CMC_ArrayParameter(CMC_Setup& setup)
    : m_setup(setup),
      m_kind(UnitKind::Position),
      m_min(VarTypeMin(VAR_LONG)),
      m_max(VarTypeMax(VAR_LONG)) {}

CMC_ArrayParameter::~CMC_ArrayParameter() = default;

void CMC_ArrayParameter::SetValuesCount(int count) {
    AfxMayAllocate([&] { m_values.resize(count > 0 ? static_cast<size_t>(count) : 0); });
}

void CMC_ArrayParameter::SetValue(int index, double value) {
    SetValueInInternalUnit(index, ToInternalUnit(value));
}

void CMC_ArrayParameter::InsertValueGrowing(int index, double value) {
    CArrayParameterHost::InsertValueInInternalUnitAt(*this, index, ToInternalUnit(value));
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

const std::vector<CMC_Unit>& CMC_ArrayParameter::Units() const {
    return m_key.empty() ? kUnboundUnits : CDriveSetup::Of(m_setup).GetUnits(m_kind);
}

const char* CMC_ArrayParameter::GetSelectedUnit() const {
    return Units()[static_cast<size_t>(m_unit)].name.c_str();
}

CString CMC_ArrayParameter::PrintValue(int index) const {
    char buffer[kNumberTextSize];
    const double stored = GetValueInInternalUnit(index);
    return CString(FormatDisplayValue(
        stored, GetValue(index), [this](double shown) { return ToInternalUnit(shown); }, buffer));
}
