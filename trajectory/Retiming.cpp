#include "Retiming.h"

#include <algorithm>
#include <cmath>

#include "StepRules.h"
#include "TrajectoryPreview.h"

namespace {

// Rounds of stretching before the per-segment retiming gives way to the uniform one; a motion
// needs a handful, each at least a whole IU longer where it stretches.
constexpr int kMaxRounds = 400;

double StretchFor(double speed, double acceleration, double jerk, const RetimeLimits& limits) {
    double stretch = 0;
    if (limits.maxSpeed) stretch = std::max(stretch, speed / *limits.maxSpeed);
    if (limits.maxAcceleration) {
        stretch = std::max(stretch, std::sqrt(acceleration / *limits.maxAcceleration));
    }
    if (limits.maxJerk) stretch = std::max(stretch, std::cbrt(jerk / *limits.maxJerk));
    return stretch;
}

bool FiguresOf(const std::vector<double>& times, const std::vector<double>& positions,
               MotionFigures& figures, std::string& error) {
    CTrajectoryPreview preview;
    if (!preview.Build(times, positions, error)) return false;
    figures = MotionFigures::Of(preview);
    return true;
}

bool StepsFit(const std::vector<double>& times, std::string& error) {
    for (size_t i = 1; i < times.size(); ++i) {
        if (times[i] - times[i - 1] > kMaxTimeStepIU) {
            error = "the time step between points " + std::to_string(i - 1) + " and " +
                    std::to_string(i) + " would have to exceed " +
                    std::to_string(static_cast<long>(kMaxTimeStepIU)) +
                    " IU, the most that a PT step holds";
            return false;
        }
    }
    return true;
}

// The times multiplied by k and rounded to whole IU, each at least one IU after the one before.
std::vector<double> Scaled(const std::vector<double>& times, double k) {
    std::vector<double> scaled(times.size());
    for (size_t i = 0; i < times.size(); ++i) {
        scaled[i] = std::round(k * times[i]);
        if (i > 0) scaled[i] = std::max(scaled[i], scaled[i - 1] + 1);
    }
    return scaled;
}

void Finish(const std::vector<double>& before, std::vector<double> after, Retiming& result) {
    result.segmentsChanged.clear();
    for (size_t i = 0; i + 1 < after.size(); ++i) {
        if (after[i + 1] - after[i] != before[i + 1] - before[i]) {
            result.segmentsChanged.push_back(static_cast<int>(i));
        }
    }
    result.changed = after != before;
    result.times = std::move(after);
}

// The need of segment j from the steps alone: the preview's velocities at its two points come
// from its neighbours, so it looks at segments j − 1 to j + 1 and nothing else.
double SegmentNeed(const std::vector<double>& steps, const std::vector<double>& moves, size_t j,
                   const RetimeLimits& limits) {
    const size_t last = steps.size() - 1;
    const auto average = [&](size_t k) { return moves[k] / steps[k]; };
    const double v0 = j == 0 ? 0
                             : CTrajectoryPreview::InnerVelocity(average(j - 1), steps[j - 1],
                                                                 average(j), steps[j]);
    const double v1 = j == last ? 0
                                : CTrajectoryPreview::InnerVelocity(average(j), steps[j],
                                                                    average(j + 1), steps[j + 1]);
    const CubicSegment segment = CubicSegment::Hermite(0, steps[j], 0, moves[j], v0, v1);
    return StretchFor(segment.PeakSpeed().value, segment.PeakAcceleration().value,
                      std::abs(segment.Jerk()), limits);
}

bool NeighbourhoodHolds(const std::vector<double>& steps, const std::vector<double>& moves,
                        size_t j, const RetimeLimits& limits) {
    const size_t from = j == 0 ? 0 : j - 1, to = std::min(j + 1, steps.size() - 1);
    for (size_t k = from; k <= to; ++k) {
        if (SegmentNeed(steps, moves, k, limits) > 1) return false;
    }
    return true;
}

}  // namespace

double NeededStretch(const SegmentFigures& segment, const RetimeLimits& limits) {
    return StretchFor(segment.peakSpeed, segment.peakAcceleration, std::abs(segment.jerk), limits);
}

double NeededStretch(const MotionFigures& figures, const RetimeLimits& limits) {
    return StretchFor(figures.peakSpeed.value, figures.peakAcceleration.value,
                      figures.peakJerk.value, limits);
}

bool RetimeUniformly(const std::vector<double>& times, const std::vector<double>& positions,
                     const RetimeLimits& limits, bool allowFaster, Retiming& result,
                     std::string& error) {
    MotionFigures figures;
    if (!FiguresOf(times, positions, figures, error)) return false;
    double k = NeededStretch(figures, limits);
    if (k <= 1 && !allowFaster) {
        Finish(times, times, result);
        return true;
    }
    // A whole-IU table changes only when its last time moves by half an IU or more.
    const double nudge = 0.5 / std::max(1.0, times.back());
    for (int round = 0; round < kMaxRounds; ++round) {
        std::vector<double> scaled = Scaled(times, k);
        if (!StepsFit(scaled, error)) return false;
        if (!FiguresOf(scaled, positions, figures, error)) return false;
        const double needed = NeededStretch(figures, limits);
        if (needed <= 1) {
            Finish(times, std::move(scaled), result);
            return true;
        }
        k = std::max(k * needed, k + nudge);
    }
    error = "no factor found that holds the limits";
    return false;
}

bool RetimeBySegment(const std::vector<double>& times, const std::vector<double>& positions,
                     const RetimeLimits& limits, Retiming& result, std::string& error) {
    MotionFigures figures;
    if (!FiguresOf(times, positions, figures, error)) return false;
    if (NeededStretch(figures, limits) <= 1) {
        Finish(times, times, result);
        return true;
    }
    Retiming uniform;
    std::string uniformError;
    const bool uniformFound =
        RetimeUniformly(times, positions, limits, false, uniform, uniformError);

    // Each segment's step grows by whole IU, so that every time moves by whole IU.
    std::vector<double> steps(times.size() - 1), moves(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i] = times[i + 1] - times[i];
        moves[i] = positions[i + 1] - positions[i];
    }
    const std::vector<double> original = steps;
    bool holds = false;
    for (int round = 0; round < kMaxRounds && !holds; ++round) {
        holds = true;
        // Stretched from the needs of one pass, so that a stretch does not count twice.
        std::vector<double> needs(steps.size());
        for (size_t j = 0; j < steps.size(); ++j) needs[j] = SegmentNeed(steps, moves, j, limits);
        for (size_t j = 0; j < steps.size(); ++j) {
            if (needs[j] <= 1) continue;
            holds = false;
            steps[j] += std::max(1.0, std::ceil(steps[j] * (needs[j] - 1)));
        }
    }
    // Each stretch was sized while its neighbours still held their own: take back what the
    // limits do not ask for, a segment at a time.
    for (size_t j = 0; holds && j < steps.size(); ++j) {
        double low = -1, high = steps[j] - original[j];  // whole IU added: low fails, high holds
        while (high - low > 1) {
            const double middle = std::floor((low + high) / 2);
            steps[j] = original[j] + middle;
            (NeighbourhoodHolds(steps, moves, j, limits) ? high : low) = middle;
        }
        steps[j] = original[j] + high;
    }
    std::vector<double> stretched = times;
    double added = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        added += steps[i] - original[i];
        stretched[i + 1] = times[i + 1] + added;
    }
    // The whole table decides, as show would see it.
    holds = holds && StepsFit(stretched, error) &&
            FiguresOf(stretched, positions, figures, error) && NeededStretch(figures, limits) <= 1;
    if (holds && (!uniformFound || stretched.back() <= uniform.times.back())) {
        Finish(times, std::move(stretched), result);
        return true;
    }
    if (!uniformFound) {
        error = uniformError;
        return false;
    }
    result = std::move(uniform);
    return true;
}

bool ScaleToDuration(const std::vector<double>& times, double duration, Retiming& result,
                     std::string& error) {
    if (!(times.back() > 0) || !(duration > 0)) {
        error = "a motion of no duration cannot be scaled";
        return false;
    }
    std::vector<double> scaled = Scaled(times, duration / times.back());
    if (scaled.back() != duration) {
        error = "the motion has more points than whole IU in that duration";
        return false;
    }
    if (!StepsFit(scaled, error)) return false;
    Finish(times, std::move(scaled), result);
    return true;
}
