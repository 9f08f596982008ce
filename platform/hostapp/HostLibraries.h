// Where travex-host finds the libraries it loads itself (the module, the window support):
// beside the program in a build tree, in the package's library folder when installed.
#pragma once

#include <string>

// The path of the library `name`: beside the running program when it is there, otherwise in
// the library folder that the installation puts at the same place relative to the program.
std::string HostLibraryPath(const std::string& name);
