// A new PT motion from a table in IU, as import, design and fit make it: its units looked up
// once, the motion made by the module's own editor (so that the module validates and writes it
// as it writes every motion), and written with its program or without.
#pragma once

#include <DriveSetup.h>
#include <PreviewUnits.h>

#include <optional>
#include <string>
#include <vector>

#include "HostSession.h"
#include "pt/PtEditorActions.h"

// The units the command line names for the new motion, each looked up among the setup's once;
// one not named stays unset for the table's own (a profile's, a motion's, a file's header's).
struct NewMotionUnits {
    std::optional<CMC_Unit> position;
    std::optional<CMC_Unit> time;

    // An empty name leaves its unit as it is; false with a message that lists the setup's units.
    static bool LookUp(const CDriveSetup& setup, UnitKind kind, const std::string& name,
                       std::optional<CMC_Unit>& unit, std::string& error);
    bool LookUp(const CDriveSetup& setup, const std::string& positionName,
                const std::string& timeName, std::string& error);
    // The units set, `fallback`'s for the others.
    PreviewUnits Or(const PreviewUnits& fallback) const {
        return {position.value_or(fallback.position), time.value_or(fallback.time)};
    }
};

struct NewMotionOutputs {
    std::string motionPath;   // empty: standard output
    std::string programPath;  // empty: no program
};

// The module's new motion with the table (IU, point 0 at (0, 0)) in place, shown in `units`,
// the options set in the editor and OK. kExitSuccess with the motion's text; otherwise the exit
// status, the reason told on standard error.
int EditTableIntoMotion(const HostSession& session, const std::vector<double>& times,
                        const std::vector<double>& positions, const PreviewUnits& units,
                        const PtMotionOptions& options, CString& text);

// Translates the motion when a program is asked for, then writes both or neither.
int WriteNewMotion(const HostSession& session, const CString& text,
                   const NewMotionOutputs& outputs);
