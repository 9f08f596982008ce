// What import, design and fit share: the options of the new motion, its outputs (the motion and
// perhaps its program, both or neither), and the making of a motion from a table in IU by the
// module's own editor, so that the module validates and writes it as it writes every motion.
#pragma once

#include <DriveSetup.h>

#include <string>
#include <vector>

#include "HostSession.h"
#include "pt/PtEditorActions.h"

struct NewMotionOutputs {
    std::string motionPath;   // empty: standard output
    std::string programPath;  // empty: no program
};

// Refuses outputs that share standard output or a file with each other or with the input
// (`inputRole` names it in the message). True when they are apart.
bool CheckNewMotionOutputs(const char* inputRole, const std::string& inputPath,
                           const NewMotionOutputs& outputs);

// The unit's name as the setup writes it (the editor's combo boxes find names regardless of
// case); empty stays empty. False with a message that lists the setup's units.
bool ResolveSetupUnit(const CDriveSetup& setup, UnitKind kind, std::string& name,
                      std::string& error);

// The module's new motion with the table (IU, point 0 at (0, 0)) in place, shown in the units
// named (the setup's first when empty), the options set in the editor and OK. kExitSuccess with
// the motion's text; otherwise the exit status, the reason told on standard error.
int EditTableIntoMotion(const CHostSession& session, const std::vector<double>& times,
                        const std::vector<double>& positions, const std::string& positionUnit,
                        const std::string& timeUnit, const PtMotionOptions& options, CString& text);

// Translates the motion when a program is asked for, then writes both or neither.
int WriteNewMotion(const CHostSession& session, const CString& text,
                   const NewMotionOutputs& outputs);
