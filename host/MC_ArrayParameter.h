// An array parameter of a motion: values kept in internal units (IU), shown in a display unit.
#pragma once

#include <afx.h>

#include <string>
#include <utility>
#include <vector>

#include "MC_Setup.h"
#include "MC_Value.h"

struct CMC_Unit;
enum class UnitKind;  // the host's (DriveSetup.h)

class CMC_ArrayParameter {
public:
    // Unbound: a long-typed array in IU until it is bound to a key (BindToKey).
    explicit CMC_ArrayParameter(CMC_Setup& setup);
    ~CMC_ArrayParameter();
    CMC_ArrayParameter(const CMC_ArrayParameter&) = delete;
    CMC_ArrayParameter& operator=(const CMC_ArrayParameter&) = delete;

    // Binds the array to a data parameter of the kernel ("TPOS", "ATIME"): its variable type, its
    // units (the default unit becomes the selected one) and the key it is written under. False
    // for a key that the kernel does not know; the array is then left as it was.
    bool BindToKey(const char* key);
    const char* GetKey() const { return m_key.c_str(); }

    // Indexes: an index outside the array reads 0, and a write, insertion or removal there does
    // nothing. Values are stored as given; reducing them to the type is the caller's choice.
    // An array that cannot grow throws CMemoryException*.

    int GetValuesCount() const { return static_cast<int>(m_values.size()); }
    // Grows with zeros or cuts the tail; a negative count empties the array.
    void SetValuesCount(int count);

    // Values in the selected unit.
    double GetValue(int index) const;
    void SetValue(int index, double value);
    // Inserts before `index`; index == count appends (amortised constant time).
    void InsertValueAt(int index, double value);
    // Removes `count` values from `index` on, or as many as there are up to the end.
    void RemoveValueAt(int index, int count);

    // Inline: the generator and the validation read every value of a long motion through it.
    double GetValueInInternalUnit(int index) const {
        return index >= 0 && index < GetValuesCount() ? m_values[static_cast<size_t>(index)] : 0.0;
    }
    void SetValueInInternalUnit(int index, double value);
    void InsertValueInInternalUnitAt(int index, double value);
    const std::vector<double>& GetValuesInInternalUnit() const { return m_values; }
    // Replaces every value at once (IU).
    void SetValuesInInternalUnit(std::vector<double> values) { m_values = std::move(values); }

    // Limits; by default the range of the parameter's type, in IU.
    double GetMin() const;
    double GetMax() const;
    double GetMinInInternalUnit() const { return m_min; }
    double GetMaxInInternalUnit() const { return m_max; }
    void SetMinInInternalUnit(double value) { m_min = value; }
    void SetMaxInInternalUnit(double value) { m_max = value; }

    // In-place conversion between the selected unit and IU: UnitToIU multiplies by the unit's
    // IU per unit, IUToUnit divides. A value that IUToUnit made of a whole number of IU (or of
    // fixed-point steps) converts back to exactly that number, and so does any value within a
    // millionth of an IU of a whole number (399.96 deg is 2222 IU); SetValue and InsertValueAt
    // convert the same way.
    void UnitToIU(double& value) const;
    void IUToUnit(double& value) const;

    tagVarType GetType() const { return m_type; }

    // The selected unit; the host lists the others (ArrayUnits.h).
    const char* GetSelectedUnit() const;
    int GetSelectedUnitIndex() const { return m_unit; }
    // Selects a unit by name or index; false (and no change) for one that the list lacks.
    bool SelectUnit(const char* name);
    bool SelectUnitIndex(int index);

    // Value `index` in the selected unit as the shortest decimal that SetValue reads back to the
    // same value in IU, independent of the locale: 2000, 1.5, 0.0125, 399.96 for 2222 IU in deg
    // (huge ones in exponent form: 1e+21).
    CString PrintValue(int index) const;

private:
    friend const std::vector<CMC_Unit>& ArrayUnits(const CMC_ArrayParameter& array);
    double Factor() const;
    double ToInternalUnit(double value) const;

    CMC_Setup& m_setup;
    std::string m_key;
    UnitKind m_kind;
    tagVarType m_type = VAR_LONG;
    int m_unit = 0;
    double m_min;
    double m_max;
    std::vector<double> m_values;
};
