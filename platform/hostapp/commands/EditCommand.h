// travex-host edit: the module's editor on a motion file, worked by a script of user actions.
#pragma once

#include <vector>

#include "commands/HostCommand.h"
#include "pt/EditorScriptDriver.h"

HostCommand AddEditCommand(CLI::App& app, const HostOptions& options);

// Prints each message box that the editor showed as one line "message: TEXT" on standard
// output; a line break inside a text becomes a blank. False when they could not be written.
bool PrintShownMessages(const std::vector<CHeadlessDriver::CShownMessage>& messages);
