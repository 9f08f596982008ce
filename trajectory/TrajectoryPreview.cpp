#include "TrajectoryPreview.h"

#include <algorithm>
#include <cmath>
#include <utility>

double TrajectoryPreview::InnerVelocity(double before, double dtBefore, double after,
                                        double dtAfter) {
    return (before * dtAfter + after * dtBefore) / (dtBefore + dtAfter);
}

bool TrajectoryPreview::CheckPoints(const std::vector<double>& times,
                                    const std::vector<double>& positions, std::string* error) {
    const size_t count = times.size();
    if (count < 2 || positions.size() != count) {
        if (error) *error = "a preview needs at least two points, each with a time and a position";
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(times[i]) || !std::isfinite(positions[i])) {
            if (error) *error = "point " + std::to_string(i) + " is not a pair of finite numbers";
            return false;
        }
        // A step that rounds to zero or to infinity would divide by it.
        if (i > 0 && !(times[i] - times[i - 1] > 0 && std::isfinite(times[i] - times[i - 1]))) {
            if (error) {
                *error = "the time of point " + std::to_string(i) + " does not come after point " +
                         std::to_string(i - 1);
            }
            return false;
        }
    }
    return true;
}

bool TrajectoryPreview::Build(std::vector<double> times, std::vector<double> positions,
                              std::string& error) {
    m_times.clear();
    m_positions.clear();
    m_segments.clear();
    if (!CheckPoints(times, positions, &error)) return false;
    m_segments.reserve(times.size() - 1);
    ForEachSegment(times, positions,
                   [this](const CubicSegment& segment) { m_segments.push_back(segment); });
    m_times = std::move(times);
    m_positions = std::move(positions);
    return true;
}

std::vector<double> TrajectoryPreview::GetPointVelocities() const {
    std::vector<double> velocities;
    if (m_segments.empty()) return velocities;
    velocities.reserve(m_segments.size() + 1);
    for (const CubicSegment& segment : m_segments) velocities.push_back(segment.v0);
    velocities.push_back(0.0);  // at rest at the end
    return velocities;
}

double TrajectoryPreview::GetStartTime() const {
    return m_segments.empty() ? 0 : m_segments.front().startTime;
}

double TrajectoryPreview::GetEndTime() const {
    if (m_segments.empty()) return 0;
    return m_segments.back().startTime + m_segments.back().duration;
}

const CubicSegment& TrajectoryPreview::SegmentAt(double t) const {
    const auto after = std::upper_bound(
        m_segments.begin(), m_segments.end(), t,
        [](double time, const CubicSegment& segment) { return time < segment.startTime; });
    return after == m_segments.begin() ? m_segments.front() : *(after - 1);
}

double TrajectoryPreview::PositionAt(double t) const {
    const CubicSegment& segment = SegmentAt(t);
    return segment.PositionAt(std::clamp(t - segment.startTime, 0.0, segment.duration));
}

double TrajectoryPreview::VelocityAt(double t) const {
    const CubicSegment& segment = SegmentAt(t);
    return segment.VelocityAt(std::clamp(t - segment.startTime, 0.0, segment.duration));
}

double TrajectoryPreview::AccelerationAt(double t) const {
    const CubicSegment& segment = SegmentAt(t);
    return segment.AccelerationAt(std::clamp(t - segment.startTime, 0.0, segment.duration));
}

void TrajectoryPreview::TakePoints(std::vector<double>& times, std::vector<double>& positions) {
    std::vector<CubicSegment>().swap(m_segments);
    times = std::move(m_times);
    positions = std::move(m_positions);
    m_times.clear();
    m_positions.clear();
}
