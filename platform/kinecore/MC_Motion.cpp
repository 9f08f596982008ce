#include "MC_Motion.h"

#include <vector>

#include "DataParameterCatalog.h"
#include "DriveSetup.h"
#include "NumberText.h"
#include "ParameterText.h"

void CMC_Motion::AddToElemParameters(CString& text, const char* name, const char* unit,
                                     const char* value) const {
    const DataParameterEntry* entry = name ? FindDataParameterByEntryName(name) : nullptr;
    if (!entry || !unit || !value) return;
    for (const CMC_Unit& candidate : CDriveSetup::Of(m_setup).GetUnits(entry->kind)) {
        double number = 0.0;
        if (candidate.name != unit || !ParseFiniteNumber(value, number)) continue;
        parameter_text::AppendArray(text, entry->entryName, candidate.name,
                                    std::vector<double>{number * candidate.iuPerUnit});
        return;
    }
}
