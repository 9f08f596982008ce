// New times for a PT table so that its preview holds the drive's limits. Positions never change;
// every time that the retiming sets is a whole IU, as the drive takes them, and no time step
// grows beyond what a PT step holds. Every result is checked on its own rounded table, not
// trusted from the scaling laws: speeds scale with 1/k, accelerations 1/k², jerks 1/k³.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "MotionFigures.h"

// Bounds on the preview's magnitudes, in IU per time IU (squared, cubed); each optional.
struct RetimeLimits {
    std::optional<double> maxSpeed;
    std::optional<double> maxAcceleration;
    std::optional<double> maxJerk;

    bool Any() const { return maxSpeed || maxAcceleration || maxJerk; }
};

// The factor by which a segment's (or the whole motion's) times would have to grow for its peaks
// to come down to the limits: max(v/V, sqrt(a/A), cbrt(j/J)); at most 1 when every limit holds.
double NeededStretch(const SegmentFigures& segment, const RetimeLimits& limits);
double NeededStretch(const MotionFigures& figures, const RetimeLimits& limits);

struct Retiming {
    std::vector<double> times;         // IU; the table's own when nothing had to change
    bool changed = false;              // false: `times` are the input's, untouched
    std::vector<int> segmentsChanged;  // ascending; segment i joins points i and i + 1
};

// Every time multiplied by the least factor (at least 1) for which the rounded table holds every
// limit. With `allowFaster` the factor may also be less than 1, to tell the shortest duration.
// False with a message when no factor can (a time step would outgrow a PT step).
bool RetimeUniformly(const std::vector<double>& times, const std::vector<double>& positions,
                     const RetimeLimits& limits, bool allowFaster, Retiming& result,
                     std::string& error);

// Only the segments that exceed a limit are stretched, each by what its own peaks ask, and the
// stretch repeated while a point's speed, shared by two segments, keeps a neighbour beyond; the
// other segments keep their time steps (rounded to whole IU). Never longer in all than
// RetimeUniformly: where it would be, its result is taken instead.
bool RetimeBySegment(const std::vector<double>& times, const std::vector<double>& positions,
                     const RetimeLimits& limits, Retiming& result, std::string& error);

// Every time of a motion that starts at 0 scaled so that it ends at `duration` IU (a whole
// number), rounded to whole IU; limits are not looked at.
bool ScaleToDuration(const std::vector<double>& times, double duration, Retiming& result,
                     std::string& error);
