// A curve of the preview reduced to what a drawing of `columns` pixels can show: per column the
// value where it starts and ends and the lowest and highest value in between. The extremes come
// from the polynomials, so that however many points fall into one column no peak is lost.
#pragma once

#include <vector>

#include "MotionQuantity.h"
#include "TrajectoryPreview.h"

struct EnvelopeColumn {
    double first = 0;
    double low = 0;
    double high = 0;
    double last = 0;
};

// Column c covers [from + c·w, from + (c + 1)·w], w = (to − from) / columns. Requires a built
// preview, from < to and columns > 0. Outside the motion the drive rests: at the nearest end's
// position, without speed, acceleration or jerk.
// Takes time linear in the points and the columns.
std::vector<EnvelopeColumn> PreviewEnvelope(const TrajectoryPreview& preview,
                                            MotionQuantity quantity, double from, double to,
                                            int columns);

// The value of `quantity` in `segment` at τ since its start.
double SegmentValue(const CubicSegment& segment, MotionQuantity quantity, double tau);

// The value of `quantity` at time t; at a point the acceleration and the jerk are those of the
// segment that starts there. Outside the motion, as above.
double PreviewValueAt(const TrajectoryPreview& preview, MotionQuantity quantity, double t);
