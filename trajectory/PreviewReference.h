// The preview of a table as the motion that another table is to follow: fitting a dense table
// (a log, a CAD export) with fewer points keeps the new table close to the old one's preview.
#pragma once

#include <algorithm>

#include "ReferenceMotion.h"
#include "TrajectoryPreview.h"

class PreviewReference : public ReferenceMotion {
public:
    // Requires a built preview that starts at time 0; it must outlive this reference.
    explicit PreviewReference(const TrajectoryPreview& preview) : m_preview(preview) {}

    double Duration() const override { return m_preview.GetEndTime(); }
    double PositionAt(double t) const override;
    double VelocityAt(double t) const override;
    double AccelerationAt(double t) const override;
    // Only the ends: the table's points are what a fit means to thin out.
    std::vector<double> Breaks() const override { return {0, Duration()}; }

    // The largest |acceleration|, from the preview's polynomials.
    double PeakAcceleration() const;

private:
    // The preview's segment at t, as TrajectoryPreview::SegmentAt finds it. A placement asks
    // for times close to the last one, so the search starts from where the last one ended;
    // one reference thus serves one thread at a time.
    const CubicSegment& SegmentAt(double t) const;
    double ValueAt(double t, double (CubicSegment::*value)(double) const) const {
        const CubicSegment& segment = SegmentAt(t);
        return (segment.*value)(std::clamp(t - segment.startTime, 0.0, segment.duration));
    }

    const TrajectoryPreview& m_preview;
    mutable size_t m_last = 0;
};
