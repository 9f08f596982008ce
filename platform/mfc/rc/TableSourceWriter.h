// Writes a compiled script as C++: a function that builds the module's CResourceTable on first
// use and returns it, with bitmaps and manifests embedded as byte arrays.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "ResourceScript.h"

namespace travexrc {

struct TableSourceOptions {
    std::string functionName;  // const CResourceTable& <functionName>()
    std::string moduleName;    // the table's module name
    std::string scriptName;    // named in the file's heading
};

void WriteTableSource(std::ostream& out, const ResourceScript& script,
                      const TableSourceOptions& options);

// `text` as a C++ string literal that holds exactly its bytes.
std::string CppStringLiteral(std::string_view text);

bool IsCppIdentifier(std::string_view name);

}  // namespace travexrc
