// A PT table passed at a new pace so that its preview holds the drive's limits. The table's own
// preview is the path: it is passed in the same order at another pace, and its points are placed
// again on the drive's grid by the same placement as a designed motion, so that whole-IU times and
// closely spaced points cannot bend it. Every result is judged on its own placed table.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "MotionFigures.h"
#include "MotionLimits.h"
#include "PathTiming.h"
#include "RunByRun.h"
#include "TrajectoryPreview.h"

// The factor by which a motion's times would have to grow for its peaks to come down to the
// limits: max(v/V, sqrt(a/A), cbrt(j/J)); at most 1 when every limit holds.
double NeededStretch(const MotionFigures& figures, const MotionLimits& limits);

struct RetimedTable {
    std::vector<double> times;      // IU, whole, from 0
    std::vector<double> positions;  // IU, whole
    bool changed = false;           // false: the table as it was, untouched
    bool holds = false;             // its preview holds every limit
};

// The longest motion a table can hold, time IU.
inline constexpr double kLongestMotionIU = 2147483646;

class Retimer {
public:
    // Points as TrajectoryPreview takes them, starting at (0, 0). False with a message
    // otherwise.
    bool Load(std::vector<double> times, std::vector<double> positions, const MotionLimits& limits,
              std::string& error);

    // Whether the table holds every limit as it is.
    bool Holds() const { return m_holds; }
    const MotionFigures& Figures() const { return m_figures; }

    // Every time multiplied by one factor, the least (at least 1) for which the placed table
    // holds the limits. The table as it was when it holds them.
    bool Uniformly(RetimedTable& result, std::string& error);
    // The fastest pace found along the same path that holds the limits (time-optimal, then
    // placed); faster than the table where the limits allow, but stretches where it stands
    // still keep their time. Never longer than Uniformly; the table as it was when it holds
    // them.
    bool BySegment(RetimedTable& result, std::string& error);
    // The least whole duration (IU) at which the table scaled in time holds the limits, faster
    // than the table or not: one IU less does not, and the few IU above it hold too. Placement
    // on the grid is not monotonic in the duration: under a jerk limit a longer duration can
    // still fail, and ToDuration says so.
    bool LeastDuration(double& least, std::string& error);
    // The table scaled in time to end at `duration` (whole IU) and placed again; `holds` says
    // whether it keeps the limits. Above the least duration, where the placement's own choice
    // of steps breaks a limit, the steps of the least's table stretched. The table as it was
    // for its own duration.
    bool ToDuration(double duration, RetimedTable& result, std::string& error);
    // The least time in which the path can be passed under the speed limit and the
    // acceleration the pace keeps, faster than the table where they allow it: each run between
    // turns a trapezoid of speed, stretches where it stands still kept. Under a jerk limit
    // alone, the sweep's at the table's own acceleration. Time IU.
    double FastestPossible() const;
    // The acceleration the fastest pace keeps: the limit, or without one the table's own peak,
    // so that a speed limit alone does not make the drive jump to speed.
    double SweepAcceleration() const;

private:
    // The path passed by `timing`, whose peak acceleration is given, placed on the grid; judged
    // against the limits.
    RetimedTable Place(const PathTiming& timing, double peakAcceleration) const;
    RetimedTable Place(const ReferenceMotion& path, double peakAcceleration) const;
    // The sweep's fastest pace, placed and slowed until its table holds.
    bool BySweep(RetimedTable& result, std::string& error);
    // Each run passed rest to rest at up to `acceleration`, its corners rounded over `ramp`,
    // slowed until its table holds (or given up: `holds` false).
    RetimedTable RunByRun(const std::vector<PathRun>& runs, double acceleration, double ramp) const;
    // Whether a table's preview keeps to the runs: no turn of its own, and where the path stands
    // still it stands still as long (a table whose moving step meets a dwell overshoots into
    // it, since the preview estimates the speed there from both neighbours).
    bool KeepsRuns(const RetimedTable& table, const std::vector<PathRun>& runs) const;
    const RetimedTable& PlacedUniformly(double duration);
    // The table placed for the least duration, its times stretched to a longer `duration` and
    // rounded to whole IU; judged against the limits.
    RetimedTable LongerThanLeast(double duration);
    bool Judge(const std::vector<double>& times, const std::vector<double>& positions) const;
    // The fastest pace that the sweep finds under a speed and an acceleration, as a path to place.
    PathTiming Sweep(std::optional<double> speed, double acceleration) const;

    TrajectoryPreview m_preview;
    MotionLimits m_limits;
    MotionFigures m_figures;
    bool m_holds = false;
    std::map<double, RetimedTable> m_uniform;  // placed tables by duration
    std::optional<double> m_least;             // the least duration, once found
};
