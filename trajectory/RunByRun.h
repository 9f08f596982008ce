// The fastest way along a path in one axis. A path of one axis is its positions in order: between
// two turns any motion that goes one way only passes every one of them, so the path falls into
// runs, each passed from rest to rest over its distance, and stretches where it stands still,
// which keep their time. The least time under a speed and an acceleration limit is then a
// trapezoid of speed for each run; a motion that a table can follow rounds its corners.
#pragma once

#include <optional>
#include <vector>

#include "ReferenceMotion.h"
#include "TrajectoryPreview.h"

struct PathRun {
    double from = 0;
    double to = 0;
    double still = 0;  // > 0: the path stands still at `from` for this long instead
};

// The runs of a preview's path, in order. A turn of less than half an IU, the grid's
// resolution, does not split a run: the path goes on to the farther end.
std::vector<PathRun> RunsOf(const TrajectoryPreview& path);

// The least time in which the runs can be passed under a speed limit (if any) and an
// acceleration limit, time IU.
double LeastRunsDuration(const std::vector<PathRun>& runs, std::optional<double> speed,
                         double acceleration);

// How each run is passed: its speed up to `speed` (infinite: none), its acceleration up to
// `acceleration`, reached and left along ramps of `ramp` time IU (0: at once).
struct RunPace {
    double speed = 0;
    double acceleration = 0;
    double ramp = 0;
};

// The runs passed one after another at a pace, as a motion for a table to follow.
class RunByRunMotion : public ReferenceMotion {
public:
    RunByRunMotion(const std::vector<PathRun>& runs, const RunPace& pace);

    double Duration() const override { return m_end; }
    double PositionAt(double t) const override;
    double VelocityAt(double t) const override;
    double AccelerationAt(double t) const override;
    double JerkAt(double t) const override { return Piece(t).jerk; }
    // Both ends of every run and still stretch: the table comes to rest there.
    std::vector<double> Breaks() const override { return m_breaks; }

private:
    // The position over a stretch of constant jerk.
    struct Stretch {
        double start = 0;
        double position = 0, velocity = 0, acceleration = 0, jerk = 0;
    };
    const Stretch& Piece(double t) const;

    std::vector<Stretch> m_stretches;
    std::vector<double> m_starts;
    std::vector<double> m_breaks;
    double m_end = 0;
};
