// One data parameter's array in a parameter text ("TPOS", "ATIME", ...), for a host that reads
// a motion's arrays without a record: its values in IU with the setup's unit the text selects,
// or the text with the array replaced and every other byte kept.
#pragma once

#include <afx.h>

#include <string>
#include <string_view>
#include <vector>

#include "DriveSetup.h"

// The array under `key` and the unit it is written in; a message that names the entry at
// fault, empty on success.
CString ReadDataArray(std::string_view text, const char* key, const CDriveSetup& setup,
                      std::vector<double>& values, CMC_Unit& unit);

// `text` with the last entry of `key`, which the text must have, holding `values` (IU) under
// the unit it names; its line end stays the text's own.
std::string WithDataArray(std::string_view text, const char* key,
                          const std::vector<double>& values);
