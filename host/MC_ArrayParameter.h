// An array parameter of a motion: values kept in internal units (IU), shown in a display unit.
#pragma once

#include <afx.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "MC_Setup.h"
#include "MC_Value.h"

struct CMC_Unit;
enum class UnitKind;  // the host's (DriveSetup.h)

class CMC_ArrayParameter {
public:
    // Unbound: a long-typed array in IU until the host binds it to a key.
    explicit CMC_ArrayParameter(CMC_Setup& setup);
    ~CMC_ArrayParameter();
    CMC_ArrayParameter(const CMC_ArrayParameter&) = delete;
    CMC_ArrayParameter& operator=(const CMC_ArrayParameter&) = delete;

    // Indexes: an index outside the array reads 0, and a write, insertion or removal there does
    // nothing. Values are stored as given; reducing them to the type is the caller's choice.
    // An array that cannot grow throws CMemoryException*.

    int GetValuesCount() const {
        return static_cast<int>(m_fractional ? m_values.size() : m_whole.size());
    }
    // Grows with zeros or cuts the tail; a negative count empties the array.
    void SetValuesCount(int count);

    // Values in the selected unit. The conversions are inline: an import converts every value of
    // a table of a million points several times.
    double GetValue(int index) const { return FromInternalUnit(GetValueInInternalUnit(index)); }
    void SetValue(int index, double value);
    // Inserts before `index`; index == count appends (amortised constant time). Appending
    // within the room already had is inline: an import appends every point of a long table.
    void InsertValueAt(int index, double value) {
        if (index == GetValuesCount()) {
            if (m_fractional ? m_values.size() < m_values.capacity()
                             : m_whole.size() < m_whole.capacity()) {
                const double stored = ToInternalUnit(value);
                if (m_fractional) {
                    m_values.push_back(stored);
                    return;
                }
                if (IsWhole(stored)) {
                    m_whole.push_back(static_cast<std::int32_t>(stored));
                    return;
                }
            }
        }
        InsertValueGrowing(index, value);
    }
    // Removes `count` values from `index` on, or as many as there are up to the end.
    void RemoveValueAt(int index, int count);

    // Inline: the generator and the validation read every value of a long motion through it.
    double GetValueInInternalUnit(int index) const {
        if (index < 0 || index >= GetValuesCount()) return 0.0;
        const size_t i = static_cast<size_t>(index);
        return m_fractional ? m_values[i] : static_cast<double>(m_whole[i]);
    }
    void SetValueInInternalUnit(int index, double value);

    // Limits; by default the range of the parameter's type, in IU.
    double GetMin() const { return FromInternalUnit(m_min); }
    double GetMax() const { return FromInternalUnit(m_max); }
    double GetMinInInternalUnit() const { return m_min; }
    double GetMaxInInternalUnit() const { return m_max; }
    void SetMinInInternalUnit(double value) { m_min = value; }
    void SetMaxInInternalUnit(double value) { m_max = value; }

    // In-place conversion between the selected unit and IU: UnitToIU multiplies by the unit's
    // IU per unit, IUToUnit divides. A value that IUToUnit made of a whole number of IU (or of
    // fixed-point steps) converts back to exactly that number, and so does any value within a
    // millionth of an IU of a whole number (399.96 deg is 2222 IU); SetValue and InsertValueAt
    // convert the same way.
    void UnitToIU(double& value) const { value = ToInternalUnit(value); }
    void IUToUnit(double& value) const { value = FromInternalUnit(value); }

    tagVarType GetType() const { return m_type; }

    // The selected unit; the host lists and selects them (ArrayParameterHost.h).
    const char* GetSelectedUnit() const;

    // Value `index` in the selected unit as the shortest decimal that SetValue reads back to the
    // same value in IU, independent of the locale: 2000, 1.5, 0.0125, 399.96 for 2222 IU in deg
    // (huge ones in exponent form: 1e+21).
    CString PrintValue(int index) const;

private:
    friend class CArrayParameterHost;
    void InsertValueGrowing(int index, double value);
    const std::vector<CMC_Unit>& Units() const;

    // A display value that is a whole count of the type's steps divided by the factor (as
    // IUToUnit and PrintValue give it) goes back to exactly that count: the product alone can
    // land one rounding step below it, and the program's truncation would then lose a whole IU.
    // A value typed in a unit whose factor has no short decimal (399.96 deg, 2000/360 IU each)
    // misses the count by far less than a millionth of an IU, and means that count too.
    double ToInternalUnit(double value) const {
        const double product = value * m_factor;
        const double whole = ReduceToVarType(m_type, product);
        if (FromInternalUnit(whole) == value) return whole;
        const double count = NearestWhole(product);
        return std::fabs(product - count) <= kWholeCountTolerance ? count : product;
    }

    // Dividing by 1 changes nothing, and a table in IU is the common case: a division is the
    // dearest step of a conversion.
    double FromInternalUnit(double value) const {
        return m_factor == 1.0 ? value : value / m_factor;
    }

    // A value that 32 bits hold exactly, as a table's whole IU are (not -0, which they would
    // read back as 0).
    static bool IsWhole(double value) {
        return value >= INT32_MIN && value <= INT32_MAX && value == std::trunc(value) &&
               !(value == 0 && std::signbit(value));
    }
    // From whole values to doubles, for good: a value that is not whole is being stored.
    void MakeFractional();

    CMC_Setup& m_setup;
    std::string m_key;
    UnitKind m_kind;
    tagVarType m_type = VAR_LONG;
    int m_unit = 0;
    double m_factor = 1.0;  // IU per selected unit: every conversion reads it, so it is kept
    double m_min;
    double m_max;
    // The values, in IU: whole ones in half the room while every value is (a long motion's
    // arrays are most of what its translation holds), else all of them as given.
    std::vector<std::int32_t> m_whole;
    std::vector<double> m_values;
    bool m_fractional = false;
};
