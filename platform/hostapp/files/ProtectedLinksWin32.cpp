#include "files/ProtectedLinks.h"

// Windows has no sticky folders, and only an administrator (or developer mode) makes symbolic
// links: the rule has nothing to forbid there.
std::string FindForbiddenLink(const std::string&) { return {}; }
