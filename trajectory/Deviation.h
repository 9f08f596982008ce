// How far the preview of a table strays from the motion that it is meant to follow.
#pragma once

#include "ReferenceMotion.h"
#include "TrajectoryPreview.h"

struct DeviationPeak {
    double value = 0;  // the largest |preview − reference|, IU
    double time = 0;   // where it occurs, time IU
    int segment = 0;   // the table's segment that holds it (joins points segment and segment + 1)
};

// The largest gap over the whole motion, not only at whole IU: between two points both motions
// are smooth, so each segment's largest gap is found by a fine search inside it.
// Requires a built preview that spans [0, reference.Duration()].
DeviationPeak LargestDeviation(const CTrajectoryPreview& preview, const ReferenceMotion& reference);

// The same, for the part of the motion in [from, to].
DeviationPeak LargestDeviationIn(const CTrajectoryPreview& preview,
                                 const ReferenceMotion& reference, double from, double to);
