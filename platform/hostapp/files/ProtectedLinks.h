// The rule that Linux applies with fs.protected_symlinks, which many machines leave off: a link
// in a folder that anyone may write and only owners may delete from (sticky, like /tmp) is
// followed only for its own owner or the folder's. Another user could plant such a link to make
// an output replace a file that the user never named.
#pragma once

#include <string>

// The first link on the way to `path` that the rule forbids the caller to follow, as a path
// from the root; empty when there is none.
std::string FindForbiddenLink(const std::string& path);
