// A motion that a PT table is to follow, as a smooth function of the time: a designed profile, or
// the preview of a dense table that is to be thinned. Times and positions in IU; it starts at time
// 0.
#pragma once

#include <cmath>
#include <vector>

class ReferenceMotion {
public:
    virtual ~ReferenceMotion() = default;

    // The time at which the motion ends (time IU, > 0).
    virtual double Duration() const = 0;
    // Position (IU), velocity (IU per time IU) and acceleration (IU per time IU squared) at time t
    // in [0, Duration()]. At a break the values are those of the piece that starts there.
    virtual double PositionAt(double t) const = 0;
    virtual double VelocityAt(double t) const = 0;
    virtual double AccelerationAt(double t) const = 0;
    // Jerk (IU per time IU cubed), where the motion has one: by default the acceleration's
    // forward difference (a break belongs to the piece that starts there).
    virtual double JerkAt(double t) const {
        const double h = 1e-4 * (1 + std::abs(t));
        const double end = Duration();
        if (t + h > end) return (AccelerationAt(t) - AccelerationAt(t - h)) / h;
        return (AccelerationAt(t + h) - AccelerationAt(t)) / h;
    }
    // The times where the motion changes its law, ascending, 0 and Duration() included: inside
    // each interval between two of them the motion is smooth, and a table keeps a point at each.
    virtual std::vector<double> Breaks() const = 0;
};
