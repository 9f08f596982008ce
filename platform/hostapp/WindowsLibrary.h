// Windows only: LoadLibrary, GetProcAddress and FreeLibrary, behind a header free of <windows.h>,
// whose names clash with the MFC types the host is written in.
#pragma once

#include <string>

// The loaded DLL, or null with the system's reason in `reason`.
void* LoadWindowsLibrary(const std::string& path, std::string& reason);
// The export of that name, or null.
void* FindWindowsExport(void* library, const char* name);
void FreeWindowsLibrary(void* library);
