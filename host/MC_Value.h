// The drive's variable types, and a value as such a variable holds it.
#pragma once

enum tagVarType {
    VAR_INT,    // 16-bit signed
    VAR_UINT,   // 16-bit unsigned
    VAR_LONG,   // 32-bit signed
    VAR_FIXED,  // 16.16 fixed point, signed
};

// A number as a drive variable of a given type holds it. SetValue rounds to the type's step (ties
// away from zero), then clamps to the type's range; NaN becomes 0.
class CMC_Value {
public:
    CMC_Value() = default;
    void SetValue(tagVarType type, double value);
    double GetValue(tagVarType type) const;

private:
    double m_value = 0.0;
};
