// The names that travex-host gives the temporary files in an output's folder, and what a later
// run does with those that a killed run (SIGKILL, a power cut) had no chance to remove.
#pragma once

#include <string>

// ".NAME.travex-PID." beside `target`; the caller adds six letters or digits to make it unique.
std::string TemporaryNamePrefix(const std::string& target);

// Removes the temporary files of this user's killed runs from the open folder `folder` (named
// `folderPath` in messages) and says on standard error what each one was: an output never put
// in place, or a replaced file's earlier text. Others' are only reported. Looks into each
// folder once a process.
void ReportKilledRunLeftovers(int folder, const std::string& folderPath);
