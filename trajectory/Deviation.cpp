#include "Deviation.h"

#include <algorithm>
#include <cmath>

namespace {

// Samples a piece about once a time IU: a table's points and a dense table's kinks lie on whole
// IU. Bounded, so that a long step costs little more than a short one; humps narrower than the
// samples are still found where the gap's slope or the cubic through two samples hints at them.
constexpr int kFewestIntervals = 3;
constexpr int kMostIntervals = 256;
constexpr int kSearchSteps = 64;
// An interval that may hide a hump is halved down to 1/256 of a sample's spacing.
constexpr int kHalvings = 8;
// ...where the cubic through its ends reaches at least this share of the largest gap found.
constexpr double kWorthHalving = 0.5;
// Slopes that change the gap by less than this share of the positions over an interval are their
// rounding, not a turn: a table that runs parallel to its reference (a cruise half an IU off)
// would otherwise be halved down at every sample.
constexpr double kRoundingShare = 1e-12;

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

// Where the gap's slope vanishes in [low, high], given its slopes there of opposite signs:
// Newton's steps on the slope, bisection wherever Newton would leave the bracket.
double ZeroOfSlope(const SignedGap& gap, double low, double slopeLow, double high) {
    double t = 0.5 * (low + high);
    for (int n = 0; n < kSearchSteps; ++n) {
        const double slope = gap.Slope(t);
        if (slope == 0) return t;
        if ((slope > 0) == (slopeLow > 0)) {
            low = t;
        } else {
            high = t;
        }
        if (high - low <= 1e-12 * std::max(1.0, std::abs(t))) return t;
        const double bend = gap.Curvature(t);
        double next = bend != 0 ? t - slope / bend : low;
        if (!(next > low && next < high)) next = 0.5 * (low + high);
        if (std::abs(next - t) <= 1e-13 * std::max(1.0, std::abs(t))) return next;
        t = next;
    }
    return t;
}

struct Sample {
    double t, gap, slope;
};

// Whether the cubic through both samples and their slopes turns inside: a hump between them
// that the slopes at the ends do not show. `largest` receives the cubic's largest magnitude
// at its turns and ends.
bool CubicTurnsBetween(const Sample& a, const Sample& b, double& largest) {
    const double h = b.t - a.t;
    const double d0 = a.slope * h, d1 = b.slope * h, rise = b.gap - a.gap;
    // c(u) = g0 + d0·u + q·u² + r·u³ on u in [0, 1]; c'(u) = d0 + 2·q·u + 3·r·u².
    const double q = 3 * rise - 2 * d0 - d1, r = d0 + d1 - 2 * rise;
    largest = std::max(std::abs(a.gap), std::abs(b.gap));
    double turns[2];
    int count = 0;
    if (r == 0) {
        if (q != 0) turns[count++] = -d0 / (2 * q);
    } else {
        const double discriminant = q * q - 3 * r * d0;
        if (discriminant > 0) {
            const double root = std::sqrt(discriminant);
            turns[count++] = (-q - root) / (3 * r);
            turns[count++] = (-q + root) / (3 * r);
        }
    }
    bool inside = false;
    for (int i = 0; i < count; ++i) {
        const double u = turns[i];
        if (!(u > 0 && u < 1)) continue;
        inside = true;
        largest = std::max(largest, std::abs(a.gap + u * (d0 + u * (q + u * r))));
    }
    return inside;
}

// Calls `found(t)` for each time in (a.t, b.t) where the gap may peak: a zero of its slope where
// the slope changes sign. Where it does not, but the gap changes sign or the cubic through both
// samples turns, a hump may hide between them: the interval is halved, `depth` times at most,
// and each half searched the same way.
template <class Found>
void HumpsBetween(const SignedGap& gap, const Sample& a, const Sample& b, int depth,
                  const double& best, Found&& found) {
    const double h = b.t - a.t;
    const double rounding = kRoundingShare * (1 + std::abs(gap.piece.p0) +
                                              std::abs(gap.piece.PositionAt(gap.piece.duration)));
    if (std::max(std::abs(a.slope), std::abs(b.slope)) * h < rounding) return;
    if (a.slope != 0 && b.slope != 0 && (a.slope > 0) != (b.slope > 0)) {
        found(ZeroOfSlope(gap, a.t, a.slope, b.t));
        return;
    }
    const bool signChanges = (a.gap > 0) != (b.gap > 0) && a.gap != 0 && b.gap != 0;
    double modelled = 0;
    const bool turns = CubicTurnsBetween(a, b, modelled);
    // A hump the cubic puts far below the largest gap found is not worth halving for.
    if (depth == 0 || !(signChanges || turns) || modelled < kWorthHalving * best) return;
    const double t = 0.5 * (a.t + b.t);
    const Sample middle{t, gap.At(t), gap.Slope(t)};
    found(t);
    HumpsBetween(gap, a, middle, depth - 1, best, found);
    HumpsBetween(gap, middle, b, depth - 1, best, found);
}

}  // namespace

DeviationPeak LargestGapOfPiece(const CubicSegment& piece, const ReferenceMotion& reference,
                                double from, double to, double stop) {
    const SignedGap gap{piece, reference};
    DeviationPeak best{std::abs(gap.At(from)), from, 0};
    const double width = to - from;
    if (!(width > 0)) return best;
    const int intervals =
        std::clamp(static_cast<int>(std::ceil(width)), kFewestIntervals, kMostIntervals);
    const double step = width / intervals;
    Sample samples[kMostIntervals + 1];
    for (int k = 0; k <= intervals; ++k) {
        const double t = k == intervals ? to : from + k * step;
        samples[k] = {t, gap.At(t), gap.Slope(t)};
        if (std::abs(samples[k].gap) > best.value) best = {std::abs(samples[k].gap), t, 0};
        if (best.value > stop) return best;
    }
    const auto consider = [&](double t) {
        const double value = std::abs(gap.At(t));
        if (value > best.value) best = {value, t, 0};
    };
    for (int k = 0; k < intervals && best.value <= stop; ++k) {
        HumpsBetween(gap, samples[k], samples[k + 1], kHalvings, best.value, consider);
    }
    return best;
}

DeviationPeak LargestDeviation(const TrajectoryPreview& preview, const ReferenceMotion& reference) {
    return LargestDeviationIn(preview, reference, 0, reference.Duration());
}

DeviationPeak LargestDeviationIn(const TrajectoryPreview& preview, const ReferenceMotion& reference,
                                 double from, double to) {
    return LargestDeviationOfPieces(preview.GetSegments(), reference, from, to);
}

DeviationPeak LargestDeviationOfPieces(const std::vector<CubicSegment>& pieces,
                                       const ReferenceMotion& reference, double from, double to) {
    DeviationPeak peak;
    if (pieces.empty()) return peak;
    // The first piece that reaches past `from`.
    auto piece = std::upper_bound(
        pieces.begin(), pieces.end(), from,
        [](double time, const CubicSegment& segment) { return time < segment.startTime; });
    if (piece != pieces.begin()) --piece;
    bool first = true;
    for (; piece != pieces.end(); ++piece) {
        const double start = std::max(from, piece->startTime);
        const double end = std::min(to, piece->startTime + piece->duration);
        if (start > to) break;
        if (end < start) continue;
        const DeviationPeak gap = LargestGapOfPiece(*piece, reference, start, end);
        if (first || gap.value > peak.value) {
            peak = {gap.value, gap.time, static_cast<int>(piece - pieces.begin())};
            first = false;
        }
    }
    return peak;
}
