// A motion made of segments, each a motion law over a distance and a duration, chained end to
// start from time 0 at position 0. Times and positions in IU.
#pragma once

#include <string>
#include <vector>

#include "MotionLaw.h"
#include "ReferenceMotion.h"

// One segment as a profile states it.
struct ProfileStep {
    MotionLaw::Kind law = MotionLaw::Kind::Dwell;
    double distance = 0;  // IU, negative to move back; 0 for a dwell
    double duration = 0;  // time IU, > 0
    int line = 0;         // where the profile's text states it, for messages
};

struct ProfileSegment {
    MotionLaw law;
    double startTime = 0;
    double duration = 0;
    double startPosition = 0;
    double distance = 0;
    // position = startPosition + scale·f(u): the distance, or 1 for a poly5 that ends where it
    // starts and so cannot be normalised to it.
    double scale = 0;
    int line = 0;

    double PeakSpeed() const;
    double PeakAcceleration() const;
};

// Where a profile cannot be built: the line of the step at fault, and why.
struct ProfileFault {
    int line = 0;
    std::string message;
};

class MotionProfile : public ReferenceMotion {
public:
    // Chains the steps. Each poly5 takes the speed and acceleration of its neighbours at its ends
    // (rest at the ends of the profile). The speed may not jump: the profile starts and ends at
    // rest, and a law that starts or ends at rest meets only a segment at rest. False with the
    // first fault otherwise, and the profile is left empty.
    bool Build(const std::vector<ProfileStep>& steps, ProfileFault& fault);

    const std::vector<ProfileSegment>& GetSegments() const { return m_segments; }
    // The segment that holds time t (the one that starts there at a boundary).
    int SegmentIndexAt(double t) const;

    double Duration() const override;
    double PositionAt(double t) const override;
    double VelocityAt(double t) const override;
    double AccelerationAt(double t) const override;
    double JerkAt(double t) const override;
    std::vector<double> Breaks() const override;

    // The peaks over the whole profile, from the laws' characteristic values.
    double PeakSpeed() const;
    double PeakAcceleration() const;

private:
    std::vector<ProfileSegment> m_segments;
    // The segments' start times alone: a lookup touches far less memory.
    std::vector<double> m_starts;
};
