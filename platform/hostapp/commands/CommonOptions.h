// The options that several commands share, declared once so that each reads and is explained
// alike wherever it appears. Each fills the arguments of the library that acts on it.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "commands/PointsFileInput.h"
#include "preview/MotionPreviewSource.h"
#include "pt/NewMotionFromTable.h"
#include "pt/PtEditorActions.h"

// What --position-unit and --time-unit name the units of, which their help says.
enum class UnitsOf {
    ShownMotion,          // show, plot, retime: the motion as shown
    PointsFile,           // import: the file's columns
    PointsFileAndMotion,  // fit: a points file's columns and the new motion
    DesignedMotion,       // design: the new motion
};

// --position-unit and --time-unit.
void AddUnitOptions(CLI::App* command, std::string& positionUnit, std::string& timeUnit,
                    UnitsOf role);
// -o and --program.
void AddNewMotionOutputOptions(CLI::App* command, NewMotionOutputs& outputs);
// Refuses outputs that share standard output or a file with each other or with the input
// (`inputRole` names it in the message). True when they are apart.
bool CheckNewMotionOutputs(const char* inputRole, const std::string& inputPath,
                           const NewMotionOutputs& outputs);
// --host-address, --keep-buffer, --start-from, --on-event and --no-wait.
void AddPtMotionOptions(CLI::App* command, PtMotionOptions& options);
// --separator, --decimal-comma, --columns, --relative, --durations, --run and --unwrap.
void AddPointsReadingOptions(CLI::App* command, PointsReading& reading);
// The motion, --position-unit, --time-unit, the limits and --profile.
void AddPreviewOptions(CLI::App* command, PreviewArguments& arguments);
