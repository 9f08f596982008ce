// Windows only: the resources that the linker put into a module's resource section, found
// through the system's resource functions, for a module's CResourceTable.
#pragma once

#include <vector>

#include "afxresfile.h"

// Every resource of the module (EXE or DLL) that holds `addressInModule`, each in every
// language it has. The bytes are the module's own and live as long as it stays loaded.
std::vector<CResourceEntry> AfxReadModuleResources(const void* addressInModule);
