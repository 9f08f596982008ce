#include "pt/PtSetupRequirements.h"

#include "pt/PtKeys.h"

std::string WhyPtIsNotEnabled(const CMC_Setup& setup) {
    if (setup.IsMotionController()) {
        return "a motion controller; PT runs on a drive";
    }
    if (setup.GetIntOption("IsClosedPosition") == 0) {
        return "no closed position loop: the option IsClosedPosition is 0 or absent";
    }
    for (const char* variable :
         {"PVTBUFBEGIN", "PVTBUFLEN", host_pt_keys::kPosition, host_pt_keys::kTime}) {
        if (!setup.FindVariable(variable, 1)) {
            return std::string("the drive has no variable ") + variable;
        }
    }
    return {};
}
