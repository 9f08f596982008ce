#include "Deviation.h"

#include <algorithm>
#include <cmath>

namespace {

// Samples per segment: about one per time IU, enough to separate the humps of a smooth gap, and
// bounded so that a long step costs no more than a short one by much.
constexpr int kFewestSamples = 8;
constexpr int kMostSamples = 48;
// The refinement stops when the bracket is this narrow (time IU); the gap's curvature is far too
// small for the rest to matter.
constexpr double kRefinedWidth = 1e-5;
constexpr double kGolden = 0.6180339887498949;

struct Gap {
    double value = -1;
    double time = 0;
};

double GapAt(const CubicSegment& piece, const ReferenceMotion& reference, double t) {
    return std::abs(piece.PositionAt(t - piece.startTime) - reference.PositionAt(t));
}

// The largest gap on [from, to] inside one piece: the best of an even sampling, then a golden
// section search between that sample's neighbours.
Gap LargestGapInPiece(const CubicSegment& piece, const ReferenceMotion& reference, double from,
                      double to) {
    const double width = to - from;
    Gap best{GapAt(piece, reference, from), from};
    if (!(width > 0)) return best;
    const int samples =
        std::clamp(static_cast<int>(std::ceil(width)), kFewestSamples, kMostSamples);
    const double step = width / samples;
    int bestSample = 0;
    for (int k = 1; k <= samples; ++k) {
        const double t = k == samples ? to : from + k * step;
        const double gap = GapAt(piece, reference, t);
        if (gap > best.value) {
            best = {gap, t};
            bestSample = k;
        }
    }
    double low = from + std::max(bestSample - 1, 0) * step;
    double high = std::min(from + (bestSample + 1) * step, to);
    double inner1 = high - kGolden * (high - low);
    double inner2 = low + kGolden * (high - low);
    double gap1 = GapAt(piece, reference, inner1);
    double gap2 = GapAt(piece, reference, inner2);
    while (high - low > kRefinedWidth) {
        if (gap1 > gap2) {
            high = inner2;
            inner2 = inner1;
            gap2 = gap1;
            inner1 = high - kGolden * (high - low);
            gap1 = GapAt(piece, reference, inner1);
        } else {
            low = inner1;
            inner1 = inner2;
            gap1 = gap2;
            inner2 = low + kGolden * (high - low);
            gap2 = GapAt(piece, reference, inner2);
        }
    }
    if (gap1 > best.value) best = {gap1, inner1};
    if (gap2 > best.value) best = {gap2, inner2};
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
    for (; piece != pieces.end(); ++piece) {
        const double start = std::max(from, piece->startTime);
        const double end = std::min(to, piece->startTime + piece->duration);
        if (start > to) break;
        if (end < start) continue;
        const Gap gap = LargestGapInPiece(*piece, reference, start, end);
        if (first || gap.value > peak.value) {
            peak = {gap.value, gap.time, static_cast<int>(piece - pieces.begin())};
            first = false;
        }
    }
    return peak;
}
