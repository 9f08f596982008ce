// The figures of a motion's preview, per segment and for the whole motion, in IU (positions),
// time IU, IU per time IU, IU per time IU squared and IU per time IU cubed. PreviewUnits shows them
// in other units.
#pragma once

#include <vector>

#include "TrajectoryPreview.h"

struct SegmentFigures {
    double startTime = 0;
    double timeStep = 0;
    double positionStep = 0;  // net: end minus start
    double averageSpeed = 0;  // positionStep / timeStep
    double totalTravel = 0;   // every change of direction counted
    double peakSpeed = 0;     // |velocity|
    double peakSpeedTime = 0;
    double peakAcceleration = 0;  // |acceleration|
    double peakAccelerationTime = 0;
    double jerk = 0;  // constant within the segment, with its sign

    // `positionStep`: from the table's points, not the polynomial's end, so that the steps are
    // the table's own.
    static SegmentFigures Of(const CubicSegment& segment, double positionStep);
};

// A peak of the whole motion: its value, when, and the segment it lies in (the segment i joins
// points i and i + 1).
struct MotionPeak {
    double value = 0;
    double time = 0;
    int segment = 0;
};

struct MotionFigures {
    std::vector<SegmentFigures> segments;
    int points = 0;
    double duration = 0;
    double netTravel = 0;
    double totalTravel = 0;
    MotionPeak peakSpeed;
    MotionPeak peakAcceleration;
    MotionPeak peakJerk;  // |jerk|, at the start of its segment
    double smallestTimeStep = 0;
    int smallestTimeStepSegment = 0;

    // Exact for the model's polynomials; the first of equal peaks counts. Without
    // `keepSegments` the segments' figures are left out (a long motion's cost the most), and
    // SegmentOf gives them one at a time.
    static MotionFigures Of(const TrajectoryPreview& preview, bool keepSegments = true);
    // The figures of segment i, which joins points i and i + 1.
    static SegmentFigures SegmentOf(const TrajectoryPreview& preview, size_t i);

    // The preview's peak acceleration of a table too long to hold a preview of at once (points
    // as TrajectoryPreview::Build takes them); 0 for a table that the preview refuses.
    static double PeakAccelerationOf(const std::vector<double>& times,
                                     const std::vector<double>& positions);
    // The same for the peak speed.
    static double PeakSpeedOf(const std::vector<double>& times,
                              const std::vector<double>& positions);
};
