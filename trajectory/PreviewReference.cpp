#include "PreviewReference.h"

#include <algorithm>

const CubicSegment& PreviewReference::SegmentAt(double t) const {
    const std::vector<CubicSegment>& segments = m_preview.GetSegments();
    const auto holds = [&](size_t i) {
        return (i == 0 || t >= segments[i].startTime) &&
               (i + 1 == segments.size() || t < segments[i + 1].startTime);
    };
    if (m_last < segments.size() && holds(m_last)) return segments[m_last];
    if (m_last + 1 < segments.size() && holds(m_last + 1)) return segments[++m_last];
    m_last = static_cast<size_t>(&m_preview.SegmentAt(t) - segments.data());
    return segments[m_last];
}

double PreviewReference::PositionAt(double t) const {
    return ValueAt(t, &CubicSegment::PositionAt);
}

double PreviewReference::VelocityAt(double t) const {
    return ValueAt(t, &CubicSegment::VelocityAt);
}

double PreviewReference::AccelerationAt(double t) const {
    return ValueAt(t, &CubicSegment::AccelerationAt);
}

double PreviewReference::PeakAcceleration() const {
    double peak = 0;
    for (const CubicSegment& segment : m_preview.GetSegments()) {
        peak = std::max(peak, segment.PeakAcceleration().value);
    }
    return peak;
}
