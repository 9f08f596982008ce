// The parameter text of a motion: one entry a line, `Key=value` for options and
// `Key[unit]=count: v1 v2 ...` for arrays. See docs/parameter-text.md.
#pragma once

#include <afx.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "DriveSetup.h"

namespace parameter_text {

// The entry that counts for a key: the last line that starts with `Key=` or `Key[`.
struct Entry {
    bool found = false;
    bool hasUnit = false;    // written as Key[unit]=...
    bool malformed = false;  // Key[... without a closing "]="
    std::string_view line;   // the whole line, without its line end
    std::string_view unit;
    std::string_view value;  // everything after the first "="
};

Entry FindLast(std::string_view text, std::string_view key);

enum class Status { Ok, Missing, Bad, OutOfRange };

// A whole number from `low` to `high` under a key without a unit. Unless the status is Ok,
// `message` holds a sentence that names the key, and `value` is unchanged.
Status ReadInteger(std::string_view text, std::string_view key, long long low, long long high,
                   long long& value, CString& message);
// A word (any text up to the line end) under a key without a unit.
Status ReadWord(std::string_view text, std::string_view key, std::string_view& value,
                CString& message);
// An array: its unit (an index into `units`) and its values in IU. Returns a message, empty on
// success; on failure `values` is empty and `unitIndex` unchanged.
CString ReadArray(std::string_view text, std::string_view key, const std::vector<CMC_Unit>& units,
                  int& unitIndex, std::vector<double>& values);

CString MissingMessage(std::string_view key);
// A message as the kernel hands it out: ending in CR LF (unless empty), so that the messages a
// caller collects read one fault a line.
CString AsHandedOut(CString message);

void AppendInteger(CString& text, std::string_view key, long long value);
void AppendWord(CString& text, std::string_view key, std::string_view word);
void AppendArray(CString& text, std::string_view key, std::string_view unit,
                 std::span<const double> values);
// The same for whole values, as an array in IU mostly holds them: the text is the same.
void AppendArray(CString& text, std::string_view key, std::string_view unit,
                 std::span<const std::int32_t> values);

// Whether ReadArray would read the array without a fault and give exactly `expected`. Nothing
// read is kept, and a difference ends the reading.
bool ArrayHolds(std::string_view text, std::string_view key, const std::vector<CMC_Unit>& units,
                std::span<const double> expected);

}  // namespace parameter_text
