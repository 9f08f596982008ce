#include "afxwinresources.h"

#include <windows.h>

#include <stdexcept>

namespace afximpl {

namespace {

struct Enumeration {
    HMODULE module = nullptr;
    std::vector<CSystemResource>* resources = nullptr;
    const char* type = nullptr;
    const char* name = nullptr;
    CSystemResource current;
    std::string failure;
};

void SetIdentifier(const char* identifier, unsigned& number, std::string& text) {
    if (IS_INTRESOURCE(identifier)) {
        number = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(identifier));
    } else {
        text = identifier;
    }
}

BOOL CALLBACK OnLanguage(HMODULE module, LPCSTR, LPCSTR, WORD language, LONG_PTR parameter) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(parameter);
    HRSRC found = FindResourceExA(module, enumeration.type, enumeration.name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        enumeration.failure = "a resource of the module cannot be loaded";
        return FALSE;
    }
    CSystemResource resource = enumeration.current;
    resource.language = language;
    resource.data = static_cast<const unsigned char*>(bytes);
    resource.size = SizeofResource(module, found);
    enumeration.resources->push_back(std::move(resource));
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR parameter) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(parameter);
    enumeration.name = name;
    enumeration.current.nameNumber = 0;
    enumeration.current.name.clear();
    SetIdentifier(name, enumeration.current.nameNumber, enumeration.current.name);
    EnumResourceLanguagesA(module, type, name, OnLanguage, parameter);
    return enumeration.failure.empty();
}

BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR parameter) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(parameter);
    enumeration.type = type;
    enumeration.current = {};
    SetIdentifier(type, enumeration.current.typeNumber, enumeration.current.typeName);
    EnumResourceNamesA(module, type, OnName, parameter);
    return enumeration.failure.empty();
}

}  // namespace

std::vector<CSystemResource> EnumerateModuleResources(const void* addressInModule) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(addressInModule), &module)) {
        throw std::runtime_error("the module that holds the resources cannot be found");
    }
    std::vector<CSystemResource> resources;
    Enumeration enumeration;
    enumeration.module = module;
    enumeration.resources = &resources;
    // A module without a resource section is not an error: it has no resources.
    EnumResourceTypesA(module, OnType, reinterpret_cast<LONG_PTR>(&enumeration));
    if (!enumeration.failure.empty()) throw std::runtime_error(enumeration.failure);
    return resources;
}

}  // namespace afximpl
