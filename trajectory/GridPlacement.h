// The points of a PT table on the drive's grid: every time a whole number of IU, every position
// the whole IU that the reference rounds to there, the first point (0, 0), every break of the
// reference a point and no step longer than the table allows. Placed either at uniform steps or
// as few as found such that the table is one a drive runs smoothly: its preview keeps within a
// tolerance of the reference, its peak acceleration within a share of the reference's, its
// steps even inside each stretch between breaks, its acceleration without jumps at the points,
// and the same table previewed with the plain central-difference speed estimate still close.
// This is the one placement that design, fit, import --resample and retime use.
#pragma once

#include <cstddef>
#include <vector>

#include "ReferenceMotion.h"

class TrajectoryPreview;

// The least tolerance that means anything: positions are whole IU, and the deviation measure is
// exact to far less than this, but not to a denormal.
inline constexpr double kSmallestTolerance = 1e-9;

struct GridPlacementOptions {
    // The largest |preview − reference| allowed, IU.
    double tolerance = 1;
    // The table's peak acceleration may reach this many times the reference's.
    double accelerationShare = 1.1;
    // > 0: uniform steps of this many time IU (shorter before a break) instead of the fewest.
    int uniformStep = 0;
    // The reference's peak |acceleration|, IU per time IU²; < 0: found by sampling.
    double referencePeakAcceleration = -1;
    // Two neighbouring steps between the same breaks differ by at most this factor.
    double stepRatio = 2;
    // The acceleration may jump at a point by this share of the reference's peak (beyond the
    // reference's own jump there), or by the best near-uniform table's largest jump where
    // that is more.
    double jumpShare = 0.5;
    // Previewed with the central difference, the table keeps within this many times the
    // tolerance, and its peak acceleration within this share of the reference's.
    double robustToleranceFactor = 2;
    double robustAccelerationShare = 1.25;
    // The caller has a table of its own to keep where the fewest points are not found (a fit
    // of rows already on the grid): the search stops at the first piece that misses a bound
    // for certain, and the bounds are never widened.
    bool stopAtFirstMiss = false;
};

struct GridPlacement {
    std::vector<double> times;      // whole IU, ascending, from 0
    std::vector<double> positions;  // whole IU, from 0
    // Measured on the table's preview against the reference, by the one deviation measure.
    double largestDeviation = 0;
    double largestDeviationTime = 0;
    double peakAcceleration = 0;
    double referencePeakAcceleration = 0;
    bool withinTolerance = false;
    bool withinAcceleration = false;
    // The smallest ratio of neighbouring steps that meet at no break (1: even).
    double shortestToNeighbour = 1;
    bool withinSpacing = false;
    // The largest jump of the acceleration at a point beyond the reference's, and its bound.
    double largestJump = 0;
    double largestJumpTime = 0;
    double jumpBound = 0;
    bool withinJump = false;
    // The same table previewed with the central-difference speed estimate.
    double robustDeviation = 0;
    double robustPeakAcceleration = 0;
    bool withinRobustness = false;
    // Points of the best near-uniform table within the tolerance and the acceleration (0: not
    // sought, for a reference too long to search cheaply).
    size_t nearUniformPoints = 0;
    // With stopAtFirstMiss: no table held every bound, and none is given.
    bool stopped = false;

    bool HoldsEveryBound() const {
        return withinTolerance && withinAcceleration && withinSpacing && withinJump &&
               withinRobustness;
    }
};

// Requires a reference whose Duration() rounds to at least 1 IU and whose position at 0 is 0.
// Where the bounds cannot all be held, the placement keeps as close to them as it finds and the
// result says what was reached. Takes time about linear in the reference's duration.
GridPlacement PlaceOnGrid(const ReferenceMotion& reference, const GridPlacementOptions& options);

// The figures of a given table (whole IU) against the reference, as PlaceOnGrid reports them.
void MeasurePlacement(const ReferenceMotion& reference, const GridPlacementOptions& options,
                      GridPlacement& placement);

// The same for a table whose own preview is the reference (a fit's rows kept as they are),
// its points left in the preview: a long table is measured without a second preview or a copy
// of its points, and without measuring the table against itself.
void MeasureOwnPreview(const ReferenceMotion& reference, const GridPlacementOptions& options,
                       const TrajectoryPreview& table, GridPlacement& placement);

// The reference's peak |acceleration|, sampled at least once an IU and on both sides of each break.
double SampledPeakAcceleration(const ReferenceMotion& reference);
