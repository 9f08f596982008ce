#include "MotionProfile.h"

#include <algorithm>
#include <cmath>

namespace {

using Kind = MotionLaw::Kind;

struct EndState {
    double speed = 0;
    double acceleration = 0;
};

EndState StateAt(const ProfileSegment& segment, double u) {
    const LawValues v = segment.law.At(u);
    return {segment.scale * v.f1 / segment.duration,
            segment.scale * v.f2 / (segment.duration * segment.duration)};
}

// Speeds that differ only by rounding meet: two cruises at the same speed written differently,
// or a law's end at rest that its floating point leaves a hair off zero. `scale` is the peak
// speed of the two segments, which sets the size of that rounding.
bool SameSpeed(double a, double b, double scale) {
    return std::abs(a - b) <= 1e-9 * std::max({std::abs(a), std::abs(b), scale}) + 1e-12;
}

std::string Motion(double speed) { return speed == 0 ? "at rest" : "moving"; }

// Why the speed jumps between `before` (null at the profile's start) and `after` (null at its
// end), blaming a law that must start or end at rest where there is one.
ProfileFault SpeedJump(const ProfileSegment* before, const ProfileSegment* after) {
    if (!before) {
        return {after->line,
                std::string(after->law.Name()) +
                    " starts moving, but the profile starts at rest: begin with poly5"};
    }
    const double endSpeed = StateAt(*before, 1).speed;
    if (!after) {
        return {before->line, std::string(before->law.Name()) +
                                  " ends moving, but the profile ends at rest: end with poly5"};
    }
    const double startSpeed = StateAt(*after, 0).speed;
    const std::string beforeName(before->law.Name());
    const std::string afterName(after->law.Name());
    if (before->law.IsRestToRest() && !after->law.IsRestToRest()) {
        return {before->line, beforeName + " ends at rest, but the " + afterName + " on line " +
                                  std::to_string(after->line) +
                                  " starts moving: join them with poly5"};
    }
    if (endSpeed != 0 && startSpeed != 0) {
        return {after->line, afterName + " starts at another speed than the " + beforeName +
                                 " on line " + std::to_string(before->line) +
                                 " ends with: join them with poly5"};
    }
    return {after->line, afterName + " starts " + Motion(startSpeed) + ", but the " + beforeName +
                             " on line " + std::to_string(before->line) + " ends " +
                             Motion(endSpeed) + ": join them with poly5"};
}

}  // namespace

double ProfileSegment::PeakSpeed() const {
    return std::abs(scale) * law.Characteristics().cv / duration;
}

double ProfileSegment::PeakAcceleration() const {
    return std::abs(scale) * law.Characteristics().ca / (duration * duration);
}

bool MotionProfile::Build(const std::vector<ProfileStep>& steps, ProfileFault& fault) {
    m_segments.clear();
    m_starts.clear();
    std::vector<ProfileSegment> segments;
    segments.reserve(steps.size());
    double time = 0;
    double position = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const ProfileStep& step = steps[i];
        if (!(step.duration > 0) || !std::isfinite(step.duration)) {
            fault = {step.line, "the duration must be more than zero"};
            return false;
        }
        if (!std::isfinite(step.distance)) {
            fault = {step.line, "the distance is not a finite number"};
            return false;
        }
        if (step.law == Kind::Dwell && step.distance != 0) {
            fault = {step.line, "a dwell has no distance"};
            return false;
        }
        if (step.law == Kind::Poly5 && i > 0 && steps[i - 1].law == Kind::Poly5) {
            fault = {step.line,
                     "poly5 follows the poly5 on line " + std::to_string(steps[i - 1].line) +
                         ": two in a row have no speed to meet at; put a cruise between them"};
            return false;
        }
        // A poly5 is normalised once its neighbours are known.
        const bool unscaled = step.law == Kind::Poly5 && step.distance == 0;
        segments.push_back({MotionLaw::Of(step.law), time, step.duration, position, step.distance,
                            unscaled ? 1 : step.distance, step.line});
        time += step.duration;
        position += step.distance;
    }
    if (segments.empty()) {
        fault = {0, "the profile has no segment"};
        return false;
    }
    for (size_t i = 0; i < segments.size(); ++i) {
        ProfileSegment& segment = segments[i];
        if (segment.law.GetKind() != Kind::Poly5) continue;
        const EndState start = i > 0 ? StateAt(segments[i - 1], 1) : EndState{};
        const EndState end = i + 1 < segments.size() ? StateAt(segments[i + 1], 0) : EndState{};
        const double t = segment.duration;
        const double s = segment.scale;
        segment.law = MotionLaw::Poly5(segment.distance / s, start.speed * t / s,
                                       start.acceleration * t * t / s, end.speed * t / s,
                                       end.acceleration * t * t / s);
    }
    for (size_t i = 0; i <= segments.size(); ++i) {
        const ProfileSegment* before = i > 0 ? &segments[i - 1] : nullptr;
        const ProfileSegment* after = i < segments.size() ? &segments[i] : nullptr;
        const double endSpeed = before ? StateAt(*before, 1).speed : 0;
        const double startSpeed = after ? StateAt(*after, 0).speed : 0;
        const double scale =
            std::max(before ? before->PeakSpeed() : 0.0, after ? after->PeakSpeed() : 0.0);
        if (!SameSpeed(endSpeed, startSpeed, scale)) {
            fault = SpeedJump(before, after);
            return false;
        }
    }
    m_segments = std::move(segments);
    m_starts.clear();
    for (const ProfileSegment& segment : m_segments) m_starts.push_back(segment.startTime);
    return true;
}

int MotionProfile::SegmentIndexAt(double t) const {
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), t);
    return after == m_starts.begin() ? 0 : static_cast<int>(after - m_starts.begin()) - 1;
}

double MotionProfile::Duration() const {
    return m_segments.empty() ? 0 : m_segments.back().startTime + m_segments.back().duration;
}

namespace {

// The law's values at t, clamped to the segment.
LawValues ValuesAt(const ProfileSegment& segment, double t) {
    return segment.law.At(std::clamp((t - segment.startTime) / segment.duration, 0.0, 1.0));
}

}  // namespace

double MotionProfile::PositionAt(double t) const {
    const ProfileSegment& segment = m_segments[SegmentIndexAt(t)];
    return segment.startPosition + segment.scale * ValuesAt(segment, t).f;
}

double MotionProfile::VelocityAt(double t) const {
    const ProfileSegment& segment = m_segments[SegmentIndexAt(t)];
    return segment.scale * ValuesAt(segment, t).f1 / segment.duration;
}

double MotionProfile::AccelerationAt(double t) const {
    const ProfileSegment& segment = m_segments[SegmentIndexAt(t)];
    return segment.scale * ValuesAt(segment, t).f2 / (segment.duration * segment.duration);
}

double MotionProfile::JerkAt(double t) const {
    const ProfileSegment& segment = m_segments[SegmentIndexAt(t)];
    return segment.scale * ValuesAt(segment, t).f3 /
           (segment.duration * segment.duration * segment.duration);
}

std::vector<double> MotionProfile::Breaks() const {
    std::vector<double> breaks;
    breaks.reserve(m_segments.size() + 1);
    for (const ProfileSegment& segment : m_segments) breaks.push_back(segment.startTime);
    breaks.push_back(Duration());
    return breaks;
}

double MotionProfile::PeakSpeed() const {
    double peak = 0;
    for (const ProfileSegment& segment : m_segments) peak = std::max(peak, segment.PeakSpeed());
    return peak;
}

double MotionProfile::PeakAcceleration() const {
    double peak = 0;
    for (const ProfileSegment& segment : m_segments) {
        peak = std::max(peak, segment.PeakAcceleration());
    }
    return peak;
}
