// Whether two names on the command line are one file, so that a command never reads and writes
// the same file, nor writes one file twice.
#pragma once

#include <string>

// True when both name the same file: the same inode for existing files (links included), the
// same absolute path for a file still to be made. Standard streams ("" and "-") are no file.
bool IsSameFile(const std::string& first, const std::string& second);

// Refuses a command whose `firstRole` FIRST and `secondRole` SECOND are the same file, before
// any work: "travex-host: ROLE (PATH) and ROLE (PATH) are the same file; nothing was done".
// True when they are two files.
bool RefuseSameFile(const char* firstRole, const std::string& first, const char* secondRole,
                    const std::string& second);
