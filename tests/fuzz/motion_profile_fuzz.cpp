// The reader of motion profiles on any text, in the built-in setup's units: a fault names a line
// of the text in a message of one short line, and a profile that it accepts is one that a table
// can follow: segments on whole time IU, chained end to start, starting and ending at rest, its
// speed without jumps, no longer than a motion holds and no faster than a table steps.
#include <StepRules.h>

#include <algorithm>
#include <cmath>

#include "FuzzCheck.h"
#include "preview/MotionProfileFile.h"
#include "pt/PtKeyCheck.h"

namespace {

bool Near(double a, double b, double scale) {
    return std::abs(a - b) <= 1e-6 * std::max({std::abs(a), std::abs(b), scale}) + 1e-9;
}

// The line number that "p:LINE: " opens `error` with, or 0.
int FaultLine(const std::string& error) {
    if (!error.starts_with("p:")) return 0;
    int line = 0;
    for (size_t i = 2; i < error.size() && error[i] >= '0' && error[i] <= '9'; ++i) {
        line = std::min(line * 10 + (error[i] - '0'), 1 << 30);
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    const std::string text = InputText(data, size);
    MotionProfile profile;
    std::string error;
    if (!ParseMotionProfileText(text, "p", *host.setup, profile, error)) {
        FUZZ_CHECK(error.starts_with("p:"), "a fault that does not name the file");
        FUZZ_CHECK(error.find('\n') == std::string::npos, "a message of more than one line");
        // Words are quoted at most a few dozen characters long.
        FUZZ_CHECK(error.size() <= 400, "a message that quotes too much");
        const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        const int line = FaultLine(error);
        FUZZ_CHECK(line <= lines, "a fault on a line that the text does not have");
        FUZZ_CHECK(profile.GetSegments().empty(), "a refused profile kept");
        return 0;
    }
    const std::vector<ProfileSegment>& segments = profile.GetSegments();
    FUZZ_CHECK(!segments.empty(), "an accepted profile without segments");
    FUZZ_CHECK(profile.Duration() <= kPtMaxTimeIU, "a profile longer than a motion holds");
    double time = 0;
    double position = 0;
    double speed = 0;
    const double reach = std::max(1.0, profile.PeakSpeed() * profile.Duration());
    for (const ProfileSegment& segment : segments) {
        FUZZ_CHECK(segment.startTime == time, "a segment that does not start where one ends");
        FUZZ_CHECK(segment.duration >= 1 && segment.duration == std::round(segment.duration),
                   "a segment off the grid");
        FUZZ_CHECK(Near(segment.startPosition, position, reach), "a position that jumps");
        const double start = profile.VelocityAt(segment.startTime);
        FUZZ_CHECK(Near(start, speed, profile.PeakSpeed()), "a speed that jumps");
        FUZZ_CHECK(segment.PeakSpeed() - segment.PeakAcceleration() <= kMaxPositionStepIU,
                   "a segment faster than a table steps");
        const double end = segment.startTime + segment.duration;
        position = segment.startPosition + segment.scale * segment.law.At(1).f;
        FUZZ_CHECK(std::isfinite(position), "a position that is no number");
        speed = segment.scale * segment.law.At(1).f1 / segment.duration;
        time = end;
    }
    FUZZ_CHECK(Near(profile.VelocityAt(0), 0, profile.PeakSpeed()), "a start that is not at rest");
    FUZZ_CHECK(Near(speed, 0, profile.PeakSpeed()), "an end that is not at rest");
    // The same text reads the same way twice.
    MotionProfile again;
    FUZZ_CHECK(ParseMotionProfileText(text, "p", *host.setup, again, error) &&
                   again.Duration() == profile.Duration() &&
                   again.GetSegments().size() == segments.size(),
               "a second reading that differs");
    return 0;
}
