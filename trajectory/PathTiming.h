// When each part of a path is passed: the path's own time s (that of the table it came from) as
// a function of a new time t, in pieces between nodes of s over which s̈ is constant. A retiming
// changes only this map, so the positions are passed in the same order and none is skipped.
#pragma once

#include <optional>
#include <vector>

#include "TrajectoryPreview.h"

class PathTiming {
public:
    // The path as it was, every time multiplied by `factor` (> 0).
    static PathTiming Scaled(double pathDuration, double factor);
    // Nodes s_k (ascending, from 0) with the rate ṡ at each (≥ 0, no two neighbours both 0).
    static PathTiming FromRates(std::vector<double> nodes, std::vector<double> rates);

    // The same map with every new time multiplied by `factor` (> 0).
    PathTiming Slower(double factor) const;

    double Duration() const { return m_times.back(); }
    double PathDuration() const { return m_nodes.back(); }

    struct Moment {
        double s = 0;       // the path's time
        double rate = 0;    // ṡ
        double change = 0;  // s̈
    };
    // At new time t, clamped to [0, Duration()].
    Moment At(double t) const;
    // The new time at which the path's time s is reached.
    double TimeOf(double s) const;

private:
    std::vector<double> m_nodes;
    std::vector<double> m_rates;
    std::vector<double> m_times;    // new time at each node
    std::vector<double> m_changes;  // s̈ over each piece
    mutable size_t m_last = 0;      // where the last look-up ended: look-ups mostly go forward
    // The piece at the start of each of as many equal spans of the new time as there are
    // pieces: a look-up that jumps starts from there instead of searching all the nodes.
    std::vector<size_t> m_pieceAt;
    double m_span = 0;

    void Index();
};

// Bounds that a timing is to hold, in IU per time IU (squared, cubed).
struct TimingLimits {
    std::optional<double> maxSpeed;
    std::optional<double> maxAcceleration;
    // Held segment by segment from the path's own jerk, not exactly: the jerk of a change of
    // pace is not bounded.
    std::optional<double> maxJerk;
    // > 0: the pace averaged over this share of the path, so that the acceleration ramps where
    // the sweep would switch it at once; a table's preview follows ramps, not steps. The
    // limits may then be exceeded a little.
    double smoothing = 0;
    // The path is never passed faster than it was (ṡ ≤ 1). Without it, only the stretches where
    // the path stands still keep their time.
    bool neverFaster = false;
};

// The fastest timing of the preview's path under the limits found by a forward and a backward
// sweep over a fine grid of the path (as time-optimal path parameterization does it, here in
// one axis): the bound on ṡ from the speed (and jerk) at each node, then the fastest pace that
// can still slow down in time for every later bound. The acceleration is held at the grid's
// nodes; between them it may stray by what the grid is too coarse to see.
PathTiming FastestTiming(const TrajectoryPreview& path, const TimingLimits& limits);
