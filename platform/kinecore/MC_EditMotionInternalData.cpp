#include "MC_EditMotionInternalData.h"

#include <climits>

#include "ArrayParameterHost.h"
#include "DataParameterCatalog.h"
#include "ParameterText.h"

namespace pt = parameter_text;

CMC_EditMotionInternalData::CMC_EditMotionInternalData(CMC_Setup& setup, CMC_Motion& motion)
    : m_setup(setup), m_motion(motion) {}

CMC_EditMotionInternalData::~CMC_EditMotionInternalData() = default;

void CMC_EditMotionInternalData::ReadOptionalRadioParam(CString& text, const char* key, int& value,
                                                        int low, int high) {
    long long parsed = 0;
    CString ignored;
    const bool read =
        pt::ReadInteger(text.str(), key ? key : "", low, high, parsed, ignored) == pt::Status::Ok;
    value = read ? static_cast<int>(parsed) : low;
}

CString CMC_EditMotionInternalData::ReadRadioParam(CString& text, const char* key, int& value,
                                                   int low, int high) {
    long long parsed = 0;
    CString message;
    if (pt::ReadInteger(text.str(), key ? key : "", low, high, parsed, message) == pt::Status::Ok) {
        value = static_cast<int>(parsed);
    }
    return pt::AsHandedOut(message);
}

CString CMC_EditMotionInternalData::ReadArrayDataParam(CString& text, const char* key,
                                                       const char* /*group*/, const char* /*axis*/,
                                                       CMC_ArrayParameter& array) {
    array.SetValuesCount(0);
    const DataParameterEntry* entry = key ? FindDataParameter(key) : nullptr;
    if (!entry || !CArrayParameterHost::BindToKey(array, key)) {
        CString message;
        message.Format("Parameter \"%s\" is not a data parameter of the kernel.", key ? key : "");
        return pt::AsHandedOut(message);
    }
    int unit = CArrayParameterHost::GetSelectedUnitIndex(array);
    std::vector<double> values;
    CString message = pt::ReadArray(text.str(), entry->entryName,
                                    CArrayParameterHost::GetUnits(array), unit, values);
    if (message.IsEmpty()) {
        CArrayParameterHost::SelectUnitIndex(array, unit);
        CArrayParameterHost::SetValuesInInternalUnit(array, std::move(values));
    }
    return pt::AsHandedOut(message);
}

void CMC_EditMotionInternalData::WriteRadioParam(CString& text, const char* key, int value) {
    if (key && *key) pt::AppendInteger(text, key, value);
}

void CMC_EditMotionInternalData::WriteArrayDataParam(CString& text, CMC_ArrayParameter& array) {
    const DataParameterEntry* entry = FindDataParameter(CArrayParameterHost::GetKey(array));
    if (!entry) return;  // an unbound array has no place in a text
    CArrayParameterHost::AppendToText(text, entry->entryName, array);
}

CString CMC_EditMotionInternalData::GetDataParamName(const char* key, const char* /*group*/,
                                                     const char* /*axis*/) {
    const DataParameterEntry* entry = key ? FindDataParameter(key) : nullptr;
    return entry ? CString(entry->entryName) : CString();
}

const char* CMC_EditMotionInternalData::GetDefaultUnit(const char* key, const char* /*group*/,
                                                       CMC_Setup* setup) {
    const DataParameterEntry* entry = key ? FindDataParameter(key) : nullptr;
    if (!entry) return "";
    const CDriveSetup& units = CDriveSetup::Of(setup ? *setup : m_setup);
    return units.GetUnits(entry->kind).front().name.c_str();
}
