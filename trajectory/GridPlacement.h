// The points of a PT table on the drive's grid: every time a whole number of IU, every position
// the whole IU that the reference rounds to there, the first point (0, 0), every break of the
// reference a point and no time step longer than the table allows. Placed either at uniform steps
// or as few as found such that the preview through the table keeps within a tolerance of the
// reference and its peak acceleration within a share of the reference's.
#pragma once

#include <vector>

#include "ReferenceMotion.h"

struct GridPlacementOptions {
    // The largest |preview − reference| allowed, IU.
    double tolerance = 1;
    // The table's peak acceleration may reach this many times the reference's.
    double accelerationShare = 1.1;
    // > 0: uniform steps of this many time IU (shorter before a break) instead of the fewest.
    int uniformStep = 0;
    // The reference's peak |acceleration|, IU per time IU²; < 0: found by sampling.
    double referencePeakAcceleration = -1;
};

struct GridPlacement {
    std::vector<double> times;      // whole IU, ascending, from 0
    std::vector<double> positions;  // whole IU, from 0
    // Measured on the table's preview against the reference.
    double largestDeviation = 0;
    double largestDeviationTime = 0;
    double peakAcceleration = 0;
    double referencePeakAcceleration = 0;
    bool withinTolerance = false;
    bool withinAcceleration = false;
};

// Requires a reference whose Duration() rounds to at least 1 IU and whose position at 0 is 0.
// Where the bounds cannot both be held, the placement keeps as close to them as it finds and the
// result says what was reached. Takes time about linear in the reference's duration.
GridPlacement PlaceOnGrid(const ReferenceMotion& reference, const GridPlacementOptions& options);

// The reference's peak |acceleration|, sampled at least once an IU and on both sides of each break.
double SampledPeakAcceleration(const ReferenceMotion& reference);
