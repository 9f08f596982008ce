#include "MC_Value.h"

#include "VarType.h"

void CMC_Value::SetValue(tagVarType type, double value) { m_value = ReduceToVarType(type, value); }

double CMC_Value::GetValue(tagVarType type) const { return ReduceToVarType(type, m_value); }
