#include "afxresmodule.h"

#include <stdexcept>

#include "afxwinresources.h"

std::vector<CResourceEntry> AfxReadModuleResources(const void* addressInModule) {
    std::vector<afximpl::CSystemResource> found;
    try {
        found = afximpl::EnumerateModuleResources(addressInModule);
    } catch (const std::runtime_error& e) {
        throw CResourceFormatError(e.what());
    }
    std::vector<CResourceEntry> entries;
    entries.reserve(found.size());
    for (const afximpl::CSystemResource& resource : found) {
        CResourceEntry entry{resource.typeNumber ? CResourceName(resource.typeNumber)
                                                 : CResourceName(resource.typeName.c_str()),
                             resource.nameNumber ? CResourceName(resource.nameNumber)
                                                 : CResourceName(resource.name.c_str()),
                             resource.language,
                             {resource.data, resource.size}};
        entries.push_back(std::move(entry));
    }
    return entries;
}
