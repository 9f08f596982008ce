// A dense table (a log, a CAD export) thinned onto the drive's grid: the table's own preview is
// the reference for the one placement, with what real data need besides. A log's noise is no
// shape to follow, so a tolerance below it is raised (unless the caller insists); and the
// result never has more points than the input's rows where the input itself can be kept.
#pragma once

#include <vector>

#include "GridPlacement.h"

struct DenseTableFit {
    GridPlacement placement;
    // The scatter of the rows about a smooth curve through their neighbours, as one standard
    // deviation, IU; and the least tolerance a fit of such data can keep.
    double noise = 0;
    double noiseTolerance = 0;
    double tolerance = 0;              // the one placed with
    bool toleranceRaised = false;      // the asked one was below noiseTolerance and was raised
    bool toleranceBelowNoise = false;  // ... or was kept because it was given explicitly
    // The input's own rows, on the grid, kept: no placement came out with fewer points.
    bool keptInput = false;
    // The input has a step longer than a table holds, so its rows could not be kept.
    bool inputStepTooLong = false;
};

// The noise of a table's positions (IU, one standard deviation), from the median of its rows'
// sixth differences where the rows come at even steps, scaled to a normal scatter. Smooth
// motions sampled densely give nearly 0; so does a table with too few evenly spaced rows to say.
// Positions that are all whole IU count their rounding as no noise.
double EstimateNoise(const std::vector<double>& times, const std::vector<double>& positions);

// The least tolerance that data of this noise allow: a smooth table cannot come closer to
// the noisy rows than their own scatter.
double ToleranceForNoise(double noise);

// Requires rows that a preview takes, starting at time 0, and a position 0 there. `options`'s
// tolerance is the one asked for; `toleranceGiven`: the user gave it, so it wins over the
// noise. The placement's figures are measured against the input's own preview. The rows are
// taken by value: a caller done with them moves them in, and a long table's preview is then
// made of them instead of beside a copy.
DenseTableFit FitDenseTable(std::vector<double> times, std::vector<double> positions,
                            GridPlacementOptions options, bool toleranceGiven);
