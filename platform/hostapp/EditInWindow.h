// travex-host edit with a window: the module's editor for a person to work, or a script played
// on it in view.
#pragma once

#include <afxstr.h>

#include <string>
#include <vector>

#include "HostGraphics.h"
#include "HostSession.h"

// Runs the module's editor in a window on `text` (an application from `windows` must be open).
// TRUE after OK, with `text` replaced; the texts of the message boxes shown in `messages`. FALSE,
// with `error` set, when the module opened no dialog.
BOOL EditInWindow(HostGraphics& windows, const HostSession& session, CString& text,
                  std::vector<CString>& messages, std::string& error);
