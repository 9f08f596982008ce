#include "DenseTableFit.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "PreviewReference.h"
#include "StepRules.h"
#include "TrajectoryPreview.h"

namespace {

// A normal scatter's standard deviation is 1.4826 times its median absolute departure.
constexpr double kMedianToDeviation = 1.4826;
// How many standard deviations a smooth table may have to stray from noisy rows: about the
// largest of a thousand normal draws.
constexpr double kNoiseSpan = 3.5;

// The rows on the grid: times and positions rounded, a row whose time rounds onto the one
// before dropped. Empty where a step exceeds what a table holds.
bool InputOnGrid(const std::vector<double>& times, const std::vector<double>& positions,
                 std::vector<double>& gridTimes, std::vector<double>& gridPositions) {
    // A row a point at most: a long table's copy is made without regrowing it.
    gridTimes.reserve(times.size());
    gridPositions.reserve(times.size());
    for (size_t i = 0; i < times.size(); ++i) {
        const double t = std::round(times[i]);
        if (!gridTimes.empty() && t <= gridTimes.back()) continue;
        if (!gridTimes.empty() && t - gridTimes.back() > kMaxTimeStepIU) return false;
        gridTimes.push_back(t);
        gridPositions.push_back(std::round(positions[i]));
    }
    for (size_t i = 1; i < gridPositions.size(); ++i) {
        if (std::abs(gridPositions[i] - gridPositions[i - 1]) > kMaxPositionStepIU) return false;
    }
    return gridTimes.size() >= 2;
}

// Whether InputOnGrid would keep every row as it is: times and positions whole IU, no step
// beyond the table's.
bool RowsOnGrid(const std::vector<double>& times, const std::vector<double>& positions) {
    const auto whole = [](double value) { return value == std::round(value); };
    for (size_t i = 0; i < times.size(); ++i) {
        if (!whole(times[i]) || !whole(positions[i])) return false;
        if (i > 0 && (times[i] <= times[i - 1] || times[i] - times[i - 1] > kMaxTimeStepIU ||
                      std::abs(positions[i] - positions[i - 1]) > kMaxPositionStepIU)) {
            return false;
        }
    }
    return times.size() >= 2;
}

}  // namespace

double EstimateNoise(const std::vector<double>& times, const std::vector<double>& positions) {
    // The sixth differences of rows at even steps: a smooth motion sampled densely leaves almost
    // nothing in them, while independent noise of deviation σ gives them a deviation of
    // σ·sqrt(924), the sum of the squared binomial weights.
    constexpr int kOrder = 6;
    constexpr double kWeights[kOrder + 1] = {1, -6, 15, -20, 15, -6, 1};
    constexpr double kEvenSteps = 1e-3;  // steps within this share of one another
    constexpr size_t kFewestWindows = 16;
    const size_t count = times.size();
    std::vector<double> differences;
    for (size_t i = 0; i + kOrder < count; ++i) {
        const double step = times[i + 1] - times[i];
        bool even = step > 0;
        for (size_t k = 1; k < kOrder && even; ++k) {
            even = std::abs(times[i + k + 1] - times[i + k] - step) <= kEvenSteps * step;
        }
        if (!even) continue;
        double difference = 0;
        for (int k = 0; k <= kOrder; ++k)
            difference += kWeights[k] * positions[i + static_cast<size_t>(k)];
        differences.push_back(std::abs(difference));
    }
    if (differences.size() < kFewestWindows) return 0;
    auto middle = differences.begin() + static_cast<std::ptrdiff_t>(differences.size() / 2);
    std::nth_element(differences.begin(), middle, differences.end());
    const double scatter = kMedianToDeviation * *middle / std::sqrt(924.0);
    // Positions already rounded to whole IU scatter by their rounding, which any table on the
    // grid shares: only what lies beyond it is noise.
    const bool whole = std::all_of(positions.begin(), positions.end(),
                                   [](double p) { return p == std::round(p); });
    const double rounding = whole ? 1 / std::sqrt(12.0) : 0;
    return std::sqrt(std::max(0.0, scatter * scatter - rounding * rounding));
}

double ToleranceForNoise(double noise) { return kNoiseSpan * noise; }

DenseTableFit FitDenseTable(std::vector<double> times, std::vector<double> positions,
                            GridPlacementOptions options, bool toleranceGiven) {
    DenseTableFit fit;
    // Before the preview: the noise's differences and the preview's segments are never held
    // together.
    fit.noise = EstimateNoise(times, positions);
    const size_t rows = times.size();
    // Rows already on the grid are their own table, kept where the search finds none with
    // fewer points: it need not go on once it cannot.
    const bool onGrid = RowsOnGrid(times, positions);
    TrajectoryPreview dense;
    std::string error;
    dense.Build(std::move(times), std::move(positions), error);
    const PreviewReference reference(dense);
    fit.noiseTolerance = ToleranceForNoise(fit.noise);
    if (options.tolerance < fit.noiseTolerance) {
        fit.toleranceBelowNoise = true;
        if (!toleranceGiven) {
            options.tolerance = fit.noiseTolerance;
            fit.toleranceRaised = true;
        }
    }
    fit.tolerance = options.tolerance;
    options.referencePeakAcceleration = reference.PeakAcceleration();
    options.stopAtFirstMiss = onGrid;
    fit.placement = PlaceOnGrid(reference, options);

    const bool tooMany = fit.placement.times.size() >= rows;
    if (onGrid && (tooMany || fit.placement.stopped || !fit.placement.HoldsEveryBound())) {
        // The rows' own preview is the reference's: measured as it is, then handed over.
        GridPlacement input;
        input.referencePeakAcceleration = fit.placement.referencePeakAcceleration;
        input.jumpBound = fit.placement.jumpBound;
        input.nearUniformPoints = fit.placement.nearUniformPoints;
        MeasureOwnPreview(reference, options, dense, input);
        if (tooMany || fit.placement.stopped ||
            (input.withinTolerance && !fit.placement.withinTolerance)) {
            dense.TakePoints(input.times, input.positions);
            fit.placement = std::move(input);
            fit.keptInput = true;
        }
    } else if (tooMany || !fit.placement.HoldsEveryBound()) {
        GridPlacement input;
        if (InputOnGrid(dense.GetTimes(), dense.GetPositions(), input.times, input.positions)) {
            input.referencePeakAcceleration = fit.placement.referencePeakAcceleration;
            input.jumpBound = fit.placement.jumpBound;
            input.nearUniformPoints = fit.placement.nearUniformPoints;
            MeasurePlacement(reference, options, input);
            if (tooMany || (input.withinTolerance && input.times.size() <= rows &&
                            !fit.placement.withinTolerance)) {
                fit.placement = std::move(input);
                fit.keptInput = true;
            }
        } else if (tooMany) {
            fit.inputStepTooLong = true;
        }
    }
    return fit;
}
