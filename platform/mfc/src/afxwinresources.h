// The resources of a loaded module as Windows enumerates them. Kept apart from the MFC types,
// whose names <windows.h> declares in its own way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace afximpl {

struct CSystemResource {
    unsigned typeNumber = 0;  // 0: the type has a name
    std::string typeName;
    unsigned nameNumber = 0;  // 0: the resource has a name
    std::string name;
    unsigned short language = 0;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// In the order Windows lists them: types, then names, then languages. Throws
// std::runtime_error when the module cannot be found or a resource cannot be loaded.
std::vector<CSystemResource> EnumerateModuleResources(const void* addressInModule);

}  // namespace afximpl
