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
    const size_t size = count > 0 ? static_cast<size_t>(count) : 0;
    AfxMayAllocate([&] { m_fractional ? m_values.resize(size) : m_whole.resize(size); });
}

void CMC_ArrayParameter::MakeFractional() {
    if (m_fractional) return;
    AfxMayAllocate([&] { m_values.assign(m_whole.begin(), m_whole.end()); });
    std::vector<std::int32_t>().swap(m_whole);
    m_fractional = true;
}

void CMC_ArrayParameter::SetValue(int index, double value) {
    SetValueInInternalUnit(index, ToInternalUnit(value));
}

void CMC_ArrayParameter::InsertValueGrowing(int index, double value) {
    CArrayParameterHost::InsertValueInInternalUnitAt(*this, index, ToInternalUnit(value));
}

void CMC_ArrayParameter::RemoveValueAt(int index, int count) {
    if (index < 0 || index >= GetValuesCount() || count <= 0) return;
    const int available = GetValuesCount() - index;
    const int removed = count < available ? count : available;
    // An array that has lost most of its values gives their memory back: a long motion's
    // values are released in large parts as they are used up.
    const auto removeFrom = [&](auto& values) {
        values.erase(values.begin() + index, values.begin() + index + removed);
        if (values.size() < values.capacity() / 2) AfxMayAllocate([&] { values.shrink_to_fit(); });
    };
    if (m_fractional) {
        removeFrom(m_values);
    } else {
        removeFrom(m_whole);
    }
}

void CMC_ArrayParameter::SetValueInInternalUnit(int index, double value) {
    if (index < 0 || index >= GetValuesCount()) return;
    if (!IsWhole(value)) MakeFractional();
    const size_t i = static_cast<size_t>(index);
    if (m_fractional) {
        m_values[i] = value;
    } else {
        m_whole[i] = static_cast<std::int32_t>(value);
    }
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
