// A .res file as windres writes it: a sequence of resources, each a header (type, name,
// language) and its bytes, both aligned to 4 bytes.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "afxtypes.h"

// A resource name or type: a number or, for named resources such as "MODULEICON", a text.
// Windows finds names without regard to case, so they are kept in upper case.
struct CResourceName {
    UINT number = 0;
    std::string text;

    CResourceName(UINT id) : number(id) {}  // NOLINT: implicit, ids are usually numbers
    CResourceName(const char* name);        // NOLINT
    bool IsNumber() const { return text.empty(); }
    friend bool operator==(const CResourceName&, const CResourceName&) = default;
    friend bool operator<(const CResourceName& a, const CResourceName& b) {
        if (a.IsNumber() != b.IsNumber()) return a.IsNumber();
        return a.IsNumber() ? a.number < b.number : a.text < b.text;
    }
};

// One resource of a .res file; `data` points into the file's bytes.
struct CResourceEntry {
    CResourceName type;
    CResourceName name;
    WORD language = 0;
    std::span<const BYTE> data;
};

// Compiled resources that cannot be read: the message names the resource and the fault.
class CResourceFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The entries of a .res file in file order (the empty entry that opens a 32-bit file left
// out). Throws CResourceFormatError.
std::vector<CResourceEntry> AfxReadResourceFile(std::span<const BYTE> resFile);
