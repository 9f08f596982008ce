// How a drive is expected to move through a PT table, for planning before it runs: a cubic
// between each two points, at each inner point the velocity estimated from its neighbours,
// rest at both ends (docs/trajectory-preview.md). An estimate, not the drive's own profile.
#pragma once

#include <string>
#include <vector>

#include "CubicSegment.h"

class TrajectoryPreview {
public:
    // Points in IU: at least two, times strictly increasing, every value finite. False with a
    // message that names the first point at fault otherwise, and the preview is left empty.
    // Taken by value: a caller done with its arrays moves them in.
    bool Build(std::vector<double> times, std::vector<double> positions, std::string& error);

    // Segment i joins point i and point i + 1.
    const std::vector<CubicSegment>& GetSegments() const { return m_segments; }
    // The points as given, and the velocity the model gives each, in IU per time IU. The
    // velocities are the segments' own, gathered when asked: a long motion's preview is not
    // made to hold them twice.
    const std::vector<double>& GetTimes() const { return m_times; }
    const std::vector<double>& GetPositions() const { return m_positions; }
    std::vector<double> GetPointVelocities() const;
    int GetPointCount() const { return static_cast<int>(m_times.size()); }
    double GetStartTime() const;
    double GetEndTime() const;
    // The points moved out to a caller that keeps them, the preview left empty: a long table
    // is not copied beside its preview.
    void TakePoints(std::vector<double>& times, std::vector<double>& positions);

    // The segment that holds time t; times outside the motion take the first or last one.
    // Requires a built preview.
    const CubicSegment& SegmentAt(double t) const;
    double PositionAt(double t) const;
    double VelocityAt(double t) const;
    double AccelerationAt(double t) const;

    // The neighbours' estimate at a point between a segment of average speed `before` and
    // duration `dtBefore` and one of `after` and `dtAfter`; exact for a quadratic motion.
    static double InnerVelocity(double before, double dtBefore, double after, double dtAfter);

    // Whether Build takes the points; if not and `error` is given, what is wrong with them.
    static bool CheckPoints(const std::vector<double>& times, const std::vector<double>& positions,
                            std::string* error);
    // Calls `visit(segment)` for each segment of points that CheckPoints takes, in order, made
    // one at a time and none kept: a point's velocity depends only on its neighbours.
    template <class Visit>
    static void ForEachSegment(const std::vector<double>& times,
                               const std::vector<double>& positions, Visit&& visit);

private:
    std::vector<double> m_times;
    std::vector<double> m_positions;
    std::vector<CubicSegment> m_segments;
};

template <class Visit>
void TrajectoryPreview::ForEachSegment(const std::vector<double>& times,
                                       const std::vector<double>& positions, Visit&& visit) {
    const size_t count = times.size();
    auto average = [&](size_t i) {
        return (positions[i + 1] - positions[i]) / (times[i + 1] - times[i]);
    };
    double startVelocity = 0;  // at rest at both ends
    double averageBefore = average(0);
    for (size_t i = 0; i + 1 < count; ++i) {
        double endVelocity = 0;
        if (i + 2 < count) {
            const double averageAfter = average(i + 1);
            endVelocity = InnerVelocity(averageBefore, times[i + 1] - times[i], averageAfter,
                                        times[i + 2] - times[i + 1]);
            averageBefore = averageAfter;
        }
        visit(CubicSegment::Hermite(times[i], times[i + 1] - times[i], positions[i],
                                    positions[i + 1], startVelocity, endVelocity));
        startVelocity = endVelocity;
    }
}
