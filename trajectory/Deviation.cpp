#include "Deviation.h"

#include <algorithm>
#include <cmath>

namespace {

// Samples a piece: about one a time IU, since a table's points and a dense table's kinks lie on
// whole IU and so no hump of the gap is narrower; bounded, so that a long step costs little more
// than a short one.
constexpr int kFewestIntervals = 3;
constexpr int kMostIntervals = 64;
constexpr int kSearchSteps = 8;
// A search that brackets the top this closely (time IU) leaves the gap exact far beyond what
// matters.
constexpr double kSettled = 1e-6;

struct Gap {
    double value = -1;
    double time = 0;
};

// The table's position minus the reference's, and its first two derivatives.
struct SignedGap {
    const CubicSegment& piece;
    const ReferenceMotion& reference;

    double At(double t) const {
        return piece.PositionAt(t - piece.startTime) - reference.PositionAt(t);
    }
    double Slope(double t) const {
        return piece.VelocityAt(t - piece.startTime) - reference.VelocityAt(t);
    }
    double Curvature(double t) const {
        return piece.AccelerationAt(t - piece.startTime) - reference.AccelerationAt(t);
    }
};

// The top of |gap| in [low, high], where |gap| grows at low and falls at high: Newton's method on
// the slope, kept inside a bracket that halves wherever Newton would leave it. `sign` is the
// gap's sign there; the search starts at `t`, an end, where |gap| grows by `growth`.
double TopOfHump(const SignedGap& gap, double sign, double low, double high, double t,
                 double growth) {
    for (int n = 0; n < kSearchSteps && high - low > kSettled; ++n) {
        const double bend = sign * gap.Curvature(t);
        double next = bend < 0 ? t - growth / bend : low;
        // Newton's step that barely moves has found the top (at it, to within the bracket).
        if (std::abs(next - t) < kSettled && next >= low && next <= high) return next;
        if (!(next > low && next < high)) next = (low + high) / 2;
        t = next;
        growth = sign * gap.Slope(t);
        if (growth > 0) {
            low = t;
        } else {
            high = t;
        }
    }
    return t;
}

// `edge` holds the signed gap at `from` when `edgeKnown` (the end of the piece before, where the
// two meet), and the gap at `to` on return.
Gap LargestGapInPiece(const CubicSegment& piece, const ReferenceMotion& reference, double from,
                      double to, double& edge, bool edgeKnown) {
    const SignedGap gap{piece, reference};
    const double width = to - from;
    if (!(width > 0)) {
        if (!edgeKnown) edge = gap.At(from);
        return {std::abs(edge), from};
    }
    const int intervals =
        std::clamp(static_cast<int>(std::ceil(width)), kFewestIntervals, kMostIntervals);
    const double step = width / intervals;
    const auto timeOf = [&](int k) { return k == intervals ? to : from + k * step; };
    double samples[kMostIntervals + 1];
    Gap best;
    for (int k = 0; k <= intervals; ++k) {
        samples[k] = k == 0 && edgeKnown ? edge : gap.At(timeOf(k));
        if (std::abs(samples[k]) > best.value) best = {std::abs(samples[k]), timeOf(k)};
    }
    edge = samples[intervals];
    // A hump stands around every sample that no neighbour exceeds, the ends included; its top
    // lies on the side where |gap| grows.
    for (int k = 0; k <= intervals; ++k) {
        const double here = std::abs(samples[k]);
        if ((k > 0 && here < std::abs(samples[k - 1])) ||
            (k < intervals && here < std::abs(samples[k + 1]))) {
            continue;
        }
        const double sign = samples[k] < 0 ? -1 : 1;
        const double t = timeOf(k);
        const double slope = sign * gap.Slope(t);
        if (slope == 0 || (k == 0 && slope < 0) || (k == intervals && slope > 0)) continue;
        // Falling from the top to the sample, |gap| bends down: the top exceeds the sample by
        // less than the slope times the distance. A hump that cannot reach the best is left.
        if (here + std::abs(slope) * step <= best.value) continue;
        const double top = slope > 0 ? TopOfHump(gap, sign, t, timeOf(k + 1), t, slope)
                                     : TopOfHump(gap, sign, timeOf(k - 1), t, t, slope);
        const double value = std::abs(gap.At(top));
        if (value > best.value) best = {value, top};
    }
    return best;
}

}  // namespace

DeviationPeak LargestDeviation(const CTrajectoryPreview& preview,
                               const ReferenceMotion& reference) {
    return LargestDeviationIn(preview, reference, 0, reference.Duration());
}

DeviationPeak LargestDeviationIn(const CTrajectoryPreview& preview,
                                 const ReferenceMotion& reference, double from, double to) {
    const std::vector<CubicSegment>& pieces = preview.GetSegments();
    DeviationPeak peak;
    if (pieces.empty()) return peak;
    // The first piece that reaches past `from`.
    auto piece = std::upper_bound(
        pieces.begin(), pieces.end(), from,
        [](double time, const CubicSegment& segment) { return time < segment.startTime; });
    if (piece != pieces.begin()) --piece;
    bool first = true;
    double edge = 0;
    bool edgeKnown = false;
    for (; piece != pieces.end(); ++piece) {
        const double start = std::max(from, piece->startTime);
        const double end = std::min(to, piece->startTime + piece->duration);
        if (start > to) break;
        if (end < start) continue;
        const Gap gap = LargestGapInPiece(*piece, reference, start, end, edge, edgeKnown);
        // Both motions are continuous: where this piece ends, the next one starts.
        edgeKnown = end == piece->startTime + piece->duration;
        if (first || gap.value > peak.value) {
            peak = {gap.value, gap.time, static_cast<int>(piece - pieces.begin())};
            first = false;
        }
    }
    return peak;
}
