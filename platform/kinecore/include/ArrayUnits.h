// The units that an array parameter can be shown in: its setup's list for its key's kind, the
// selected one among them, IU alone while it is unbound.
#pragma once

#include <MC_ArrayParameter.h>

#include <vector>

#include "DriveSetup.h"

const std::vector<CMC_Unit>& ArrayUnits(const CMC_ArrayParameter& array);
