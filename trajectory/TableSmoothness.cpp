#include "TableSmoothness.h"

#include <algorithm>
#include <cmath>

std::vector<CubicSegment> CentralDifferencePieces(const std::vector<double>& times,
                                                  const std::vector<double>& positions) {
    const size_t count = times.size();
    std::vector<CubicSegment> pieces;
    if (count < 2) return pieces;
    pieces.reserve(count - 1);
    const auto velocity = [&](size_t i) {
        if (i == 0 || i + 1 == count) return 0.0;
        return (positions[i + 1] - positions[i - 1]) / (times[i + 1] - times[i - 1]);
    };
    double start = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        const double end = velocity(i + 1);
        pieces.push_back(CubicSegment::Hermite(times[i], times[i + 1] - times[i], positions[i],
                                               positions[i + 1], start, end));
        start = end;
    }
    return pieces;
}

StepEvenness MeasureStepEvenness(const std::vector<double>& times,
                                 const std::vector<double>& breaks) {
    StepEvenness evenness;
    for (size_t i = 1; i + 1 < times.size(); ++i) {
        const double before = times[i] - times[i - 1], after = times[i + 1] - times[i];
        const double ratio = std::min(before, after) / std::max(before, after);
        if (ratio < evenness.shortestToNeighbour) {
            evenness.shortestToNeighbour = ratio;
            evenness.shortestStep = static_cast<int>(before < after ? i - 1 : i);
        }
        if (!std::binary_search(breaks.begin(), breaks.end(), times[i])) {
            evenness.shortestWithinSegments = std::min(evenness.shortestWithinSegments, ratio);
        }
    }
    return evenness;
}

AccelerationJump LargestAccelerationJump(const std::vector<CubicSegment>& pieces,
                                         const std::vector<ReferenceJump>& referenceJumps) {
    AccelerationJump largest;
    if (pieces.empty()) return largest;
    double arriving = 0;  // at rest before the motion
    for (size_t i = 0; i <= pieces.size(); ++i) {
        const double t = i < pieces.size() ? pieces[i].startTime
                                           : pieces.back().startTime + pieces.back().duration;
        const double leaving = i < pieces.size() ? pieces[i].AccelerationAt(0) : 0;
        double jump = leaving - arriving;
        const auto own = std::lower_bound(
            referenceJumps.begin(), referenceJumps.end(), t,
            [](const ReferenceJump& known, double time) { return known.time < time; });
        if (own != referenceJumps.end() && own->time == t) jump -= own->value;
        if (std::abs(jump) > largest.value) largest = {std::abs(jump), t};
        if (i < pieces.size()) arriving = pieces[i].AccelerationAt(pieces[i].duration);
    }
    return largest;
}

std::vector<ReferenceJump> AccelerationJumpsOf(const ReferenceMotion& reference) {
    const double end = reference.Duration();
    const auto before = [&](double at) {
        return at <= 0 ? 0 : reference.AccelerationAt(at - 1e-9 * std::max(1.0, at));
    };
    std::vector<ReferenceJump> jumps;
    for (const double at : reference.Breaks()) {
        if (!jumps.empty() && at <= jumps.back().time) continue;
        const double after = at >= end ? 0 : reference.AccelerationAt(at);
        jumps.push_back({at, after - before(at)});
    }
    return jumps;
}
