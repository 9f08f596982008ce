#include "commands/PlotCommand.h"

#include <NumberText.h>
#include <TableSmoothness.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "HostGraphics.h"
#include "commands/CommonOptions.h"
#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"
#include "preview/MotionPreviewSource.h"
#include "preview/PreviewPlot.h"

namespace {

constexpr int kSmallestSide = 200;
constexpr int kLargestSide = 10000;

struct PlotArguments {
    PreviewArguments preview;
    std::string outputPath;
    std::string size = "1200x900";
    bool jerk = false;
};

bool ParseSize(const std::string& text, CSize& size) {
    const char* end = text.data() + text.size();
    int width = 0, height = 0;
    const auto first = std::from_chars(text.data(), end, width);
    if (first.ec != std::errc() || first.ptr == end || *first.ptr != 'x') return false;
    const auto second = std::from_chars(first.ptr + 1, end, height);
    if (second.ec != std::errc() || second.ptr != end) return false;
    if (width < kSmallestSide || height < kSmallestSide || width > kLargestSide ||
        height > kLargestSide)
        return false;
    size = CSize(width, height);
    return true;
}

int RunPlot(const HostOptions& options, const PlotArguments& arguments) {
    std::string bytes, error;
    HostGraphics* windows = LoadHostGraphics(error);
    if (!windows) return ReportFailure(error.c_str());
    DrawingFormat format;
    if (!windows->FormatOfPath(arguments.outputPath, format)) {
        return ReportFailure(("cannot tell the format of " + arguments.outputPath +
                              ": its name must end in .svg, .png or .pdf")
                                 .c_str());
    }
    CSize size;
    if (!ParseSize(arguments.size, size)) {
        return ReportFailure(("--size \"" + arguments.size + "\" is not WIDTHxHEIGHT in pixels, " +
                              std::to_string(kSmallestSide) + " to " +
                              std::to_string(kLargestSide) + " each (1200x900)")
                                 .c_str());
    }
    MotionPreview motion;
    const int status = LoadMotionPreview(options, arguments.preview, motion);
    if (status != kExitSuccess) return status;

    PreviewPlotContent content;
    content.preview = &motion.preview;
    content.figures = &motion.figures;
    content.units = motion.units;
    content.limits = motion.limits;
    content.jerk = arguments.jerk;
    content.title = std::filesystem::path(arguments.preview.motionPath).filename().string() +
                    " on " + motion.setupName;
    if (motion.hasProfile) {
        content.profile = &motion.profile;
        content.deviation = motion.deviation;
        content.title +=
            ", against " + std::filesystem::path(arguments.preview.profilePath).filename().string();
        // What a drive feels beside the deviation: the largest jump of the acceleration at a
        // point beyond the profile's own, and the shortest step beside its neighbour.
        const AccelerationJump jump = LargestAccelerationJump(motion.preview.GetSegments(),
                                                              AccelerationJumpsOf(motion.profile));
        const double peak = motion.profile.PeakAcceleration();
        const double shortest =
            MeasureStepEvenness(motion.preview.GetTimes(), motion.profile.Breaks())
                .shortestToNeighbour;
        char figures[96];
        std::snprintf(figures, sizeof figures,
                      "; jump %.2f of the peak acceleration, step ratio %.2f",
                      peak > 0 ? jump.value / peak : 0, shortest);
        content.title += figures;
    }
    if (!windows->Render(
            format, size,
            [&content](CDC& dc, const CRect& area) { DrawPreviewPlot(dc, area, content); },
            content.title, bytes, error)) {
        return ReportFailure(error.c_str());
    }
    if (!WriteWholeText(arguments.outputPath, bytes, error)) return ReportFailure(error.c_str());
    return kExitSuccess;
}

}  // namespace

HostCommand AddPlotCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "plot",
        "Draw a motion's preview into FILE: position (the table's points marked), speed and "
        "acceleration (and with --jerk the jerk) on one time axis, peaks annotated, the drive's "
        "limits dashed; with --profile, the profile's curves under the table's and the deviation "
        "below. The format "
        "follows FILE's extension: .svg, .png or .pdf. Needs no display. Exit status 1 for a "
        "motion that the module refuses, with its message on standard error");
    auto arguments = std::make_shared<PlotArguments>();
    AddPreviewOptions(command, arguments->preview);
    command
        ->add_option("-o,--output", arguments->outputPath,
                     "The file to draw into (whole or not at all)")
        ->type_name("FILE")
        ->required();
    command
        ->add_option("--size", arguments->size,
                     "The drawing's width and height in pixels (a PDF page of that size at 96 "
                     "dots per inch)")
        ->type_name("WxH")
        ->capture_default_str();
    command->add_flag("--jerk", arguments->jerk, "Add a panel of the jerk, below the acceleration");
    return {command, [&options, arguments] { return RunPlot(options, *arguments); }};
}
