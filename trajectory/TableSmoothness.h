// What makes a table easy for a drive beside its deviation: steps of even length, no jump of
// the acceleration at a point, and a preview that holds when the drive estimates the speed at
// the points in the plain way, v(i) = (p(i+1) − p(i−1)) / (t(i+1) − t(i−1)).
#pragma once

#include <vector>

#include "CubicSegment.h"
#include "ReferenceMotion.h"

// The pieces through a table's points with that plain central difference at the inner points
// and rest at both ends. Requires at least two points, times strictly increasing.
std::vector<CubicSegment> CentralDifferencePieces(const std::vector<double>& times,
                                                  const std::vector<double>& positions);

struct StepEvenness {
    // The smallest ratio of a step to a neighbouring step, over all neighbours (1: no two steps
    // differ; 1 also with fewer than three points).
    double shortestToNeighbour = 1;
    int shortestStep = 0;  // the step (segment) that has it
    // The same, counting only neighbours that meet at no break (a break may join any steps).
    double shortestWithinSegments = 1;
};

// `breaks`: times where any ratio is allowed, ascending (may be empty).
StepEvenness MeasureStepEvenness(const std::vector<double>& times,
                                 const std::vector<double>& breaks);

struct AccelerationJump {
    double value = 0;  // the largest |jump| of the acceleration at a point, IU per time IU²
    double time = 0;
};

// A jump of the followed motion's own acceleration, which a table need not smooth away.
struct ReferenceJump {
    double time = 0;
    double value = 0;  // after minus before
};

// The jumps of a motion's acceleration at its breaks, from rest before its start to rest after
// its end.
std::vector<ReferenceJump> AccelerationJumpsOf(const ReferenceMotion& reference);

// The largest jump of a chain of pieces' acceleration at their points, the ends included (the
// motion is at rest before and after), beyond the reference's own jumps there (by time,
// ascending).
AccelerationJump LargestAccelerationJump(const std::vector<CubicSegment>& pieces,
                                         const std::vector<ReferenceJump>& referenceJumps = {});
