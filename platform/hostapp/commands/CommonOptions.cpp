#include "commands/CommonOptions.h"

#include "commands/UsageChecks.h"
#include "files/ExitStatus.h"
#include "files/FileIdentity.h"

namespace {

struct UnitHelp {
    const char* position;
    const char* time;
};

// By UnitsOf.
constexpr UnitHelp kUnitHelp[] = {
    {"Show positions in UNIT, one of the setup's; the motion's own when absent",
     "Show times in UNIT, one of the setup's; the motion's own when absent"},
    {"Unit of the file's positions; the setup's first position unit when absent",
     "Unit of the file's times; the setup's first time unit when absent"},
    {"Unit of a points file's positions, and of the new motion's; the motion's own, or the "
     "setup's first, when absent",
     "Unit of a points file's times, and of the new motion's; the motion's own, or the setup's "
     "first, when absent"},
    {"Show the motion's positions in UNIT; the profile's own, or the setup's first position "
     "unit, when absent",
     "Show the motion's times in UNIT; the profile's own, or the setup's first time unit, when "
     "absent"},
};

}  // namespace

void AddUnitOptions(CLI::App* command, std::string& positionUnit, std::string& timeUnit,
                    UnitsOf role) {
    const UnitHelp& help = kUnitHelp[static_cast<size_t>(role)];
    command->add_option("--position-unit", positionUnit, help.position)->type_name("UNIT");
    command->add_option("--time-unit", timeUnit, help.time)->type_name("UNIT");
}

void AddNewMotionOutputOptions(CLI::App* command, NewMotionOutputs& outputs) {
    command
        ->add_option("-o,--output", outputs.motionPath,
                     "Write the motion into FILE instead of standard output (whole or not at "
                     "all)")
        ->type_name("FILE");
    command
        ->add_option("--program", outputs.programPath,
                     "Also write the motion's program into FILE (- for standard output); the "
                     "motion and the program are written both or neither")
        ->type_name("FILE");
}

bool CheckNewMotionOutputs(const char* inputRole, const std::string& inputPath,
                           const NewMotionOutputs& outputs) {
    if (outputs.programPath == "-" && outputs.motionPath.empty()) {
        ReportFailure(
            "--program - needs -o FILE for the motion: both cannot share standard output");
        return false;
    }
    return RefuseSameFile(inputRole, inputPath, "-o", outputs.motionPath) &&
           RefuseSameFile(inputRole, inputPath, "--program", outputs.programPath) &&
           RefuseSameFile("-o", outputs.motionPath, "--program", outputs.programPath);
}

void AddPtMotionOptions(CLI::App* command, PtMotionOptions& options) {
    command
        ->add_option("--host-address", options.hostAddress,
                     "Set the drive's host address first (1 to 255)")
        ->type_name("N")
        ->check(WholeNumberFrom(1, 255));
    command->add_flag("--keep-buffer", options.keepBuffer,
                      "Keep what the PT buffer holds instead of clearing it");
    command
        ->add_option("--start-from", options.startFrom,
                     "Start from the actual values of the position and speed reference "
                     "(reference, the default) or of the load/motor position and speed (actual)")
        ->type_name("WHERE")
        ->transform(OneOf({"reference", "actual"}));
    CLI::Option* onEvent =
        command->add_flag("--on-event", options.onEvent,
                          "Execute on the default event (a wait time of 0) instead of at once; "
                          "choose another event with edit");
    command
        ->add_flag("--no-wait", options.noWait,
                   "Do not wait until the motion is completed (when executing at once)")
        ->excludes(onEvent);
}

void AddPointsReadingOptions(CLI::App* command, PointsReading& reading) {
    command
        ->add_option("--separator", reading.separator,
                     "What separates the columns: tab, \";\", \",\" or blank; found from the "
                     "first lines of numbers when absent")
        ->type_name("CHAR");
    command->add_flag("--decimal-comma", reading.options.decimalComma,
                      "A comma is a decimal point, never the separator");
    command
        ->add_option("--columns", reading.options.columns,
                     "The time's column and the position's, each a number from 1 or a name in "
                     "the header; without it the header's names decide (a time, a duration or "
                     "a position), a file of two columns without names is read as position, "
                     "then time, and any other file is refused with the readings it allows")
        ->type_name("TIME,POSITION");
    command->add_flag("--relative", reading.options.relative,
                      "Make the first row time 0 and position 0, the others shifted alike");
    command->add_flag("--durations", reading.options.durations,
                      "The time column holds each row's duration, not its time");
    command
        ->add_option("--run", reading.options.run,
                     "Take only the K-th run of a file whose time starts again (two runs "
                     "logged into one file)")
        ->type_name("K")
        ->check(CLI::Range(1, 1000000));
    command
        ->add_option("--unwrap", reading.options.unwrap,
                     "The positions are an encoder count that wraps at COUNTS: unwrap it")
        ->type_name("COUNTS")
        ->check(CLI::PositiveNumber);
}

void AddPreviewOptions(CLI::App* command, PreviewArguments& arguments) {
    command->add_option("motion", arguments.motionPath, "The motion's parameter text")
        ->type_name("MOTION")
        ->required();
    AddUnitOptions(command, arguments.positionUnit, arguments.timeUnit, UnitsOf::ShownMotion);
    command
        ->add_option("--max-speed", arguments.maxSpeed,
                     "The drive's maximum speed, instead of the setup's: a number in the units "
                     "shown, or with its units (\"50 rot/s\")")
        ->type_name("SPEED");
    command
        ->add_option("--max-acceleration", arguments.maxAcceleration,
                     "The drive's maximum acceleration, instead of the setup's: a number in the "
                     "units shown, or with its units (\"2000 rot/s^2\")")
        ->type_name("ACCELERATION");
    command
        ->add_option("--max-jerk", arguments.maxJerk,
                     "The drive's maximum jerk, instead of the setup's: a number in the units "
                     "shown, or with its units (\"1e5 rot/s^3\")")
        ->type_name("JERK");
    command
        ->add_option("--profile", arguments.profilePath,
                     "Compare with the motion that PROFILE describes (docs/motion-design.md): "
                     "its curves and the table's deviation from it")
        ->type_name("PROFILE");
}
