// What a compiled resource script holds, in the order the script declares it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "afxdlgtemplate.h"
#include "afxrestable.h"

namespace travexrc {

struct StringResource {
    UINT id;
    std::string text;
};

struct DialogResource {
    CResourceName name;
    DLGTEMPLATEDATA dialog;
};

// A bitmap or manifest: the bytes of the file the script names.
struct DataResource {
    ResourceKind kind;
    CResourceName name;
    std::vector<BYTE> bytes;
};

struct ResourceScript {
    std::vector<StringResource> strings;
    std::vector<DialogResource> dialogs;
    std::vector<DataResource> data;
    std::optional<CVersionRecord> version;
};

}  // namespace travexrc
