// What the host does with an array parameter and a module never does: binds it to a key, lists
// and selects its units, and reads or writes its values in IU all at once.
#pragma once

#include <MC_ArrayParameter.h>

#include <vector>

#include "DriveSetup.h"

class CArrayParameterHost {
public:
    // Binds the array to a data parameter of the kernel ("TPOS", "ATIME"): its variable type, its
    // units (the default unit becomes the selected one) and the key it is written under. False
    // for a key that the kernel does not know; the array is then left as it was.
    static bool BindToKey(CMC_ArrayParameter& array, const char* key);
    static const char* GetKey(const CMC_ArrayParameter& array) { return array.m_key.c_str(); }

    // The units the array can be shown in: its setup's list for its key's kind, IU alone while
    // it is unbound.
    static const std::vector<CMC_Unit>& GetUnits(const CMC_ArrayParameter& array) {
        return array.Units();
    }
    static int GetSelectedUnitIndex(const CMC_ArrayParameter& array) { return array.m_unit; }
    // Selects a unit by name or index; false (and no change) for one that the list lacks.
    static bool SelectUnit(CMC_ArrayParameter& array, const char* name);
    static bool SelectUnitIndex(CMC_ArrayParameter& array, int index);

    // A copy of every value; a long array is better read a value at a time.
    static std::vector<double> GetValuesInInternalUnit(const CMC_ArrayParameter& array);
    // The array's line of a parameter text, under `entryName`, appended to `text`.
    static void AppendToText(CString& text, const char* entryName, const CMC_ArrayParameter& array);
    // Whether `text` holds the array `key` as ReadArrayDataParam reads it (unit, count and
    // values) with exactly `values` in IU. Nothing read is kept: a host that knows the values
    // checks a long text without a copy of it.
    static bool TextHolds(CMC_Setup& setup, const CString& text, const char* key,
                          const std::vector<double>& values);
    // Replaces every value at once.
    static void SetValuesInInternalUnit(CMC_ArrayParameter& array, std::vector<double> values);
    // Inserts before `index`; index == count appends. Nothing outside the array.
    static void InsertValueInInternalUnitAt(CMC_ArrayParameter& array, int index, double value);
};
