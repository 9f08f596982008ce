// Where travex-host finds the libraries it loads itself (the module, the graphics support): in
// the package's library folder when installed, beside the program in a build tree.
#pragma once

#include <string>

// The path of the library `name`: in the library folder that an installation puts at its place
// relative to the program, or beside the program when there is no such folder.
std::string HostLibraryPath(const std::string& name);
