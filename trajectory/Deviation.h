// How far the preview of a table strays from the motion that it is meant to follow: the one
// measure that placement, its report, show and plot all use.
#pragma once

#include <limits>
#include <vector>

#include "CubicSegment.h"
#include "ReferenceMotion.h"
#include "TrajectoryPreview.h"

struct DeviationPeak {
    double value = 0;  // the largest |preview − reference|, IU
    double time = 0;   // where it occurs, time IU
    int segment = 0;   // the table's segment that holds it (joins points segment and segment + 1)
};

// The largest |piece − reference| over [from, to] (absolute times inside the piece). Both are
// smooth there, so it is sampled about once a time IU and every hump that a sample or a change
// of sign brackets is searched to its top. Stops early, with a value above `stop`, as soon as
// one is found. `segment` is left 0.
DeviationPeak LargestGapOfPiece(const CubicSegment& piece, const ReferenceMotion& reference,
                                double from, double to,
                                double stop = std::numeric_limits<double>::infinity());

// The largest gap of a chain of pieces over [from, to]: a preview, or one made with another
// estimate of the speed at the points.
DeviationPeak LargestDeviationOfPieces(const std::vector<CubicSegment>& pieces,
                                       const ReferenceMotion& reference, double from, double to);

// The largest gap over the whole motion, not only at whole IU. Requires a built preview that
// spans [0, reference.Duration()].
DeviationPeak LargestDeviation(const TrajectoryPreview& preview, const ReferenceMotion& reference);

// The same, for the part of the motion in [from, to].
DeviationPeak LargestDeviationIn(const TrajectoryPreview& preview, const ReferenceMotion& reference,
                                 double from, double to);
