#include "GridPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "CubicSegment.h"
#include "Deviation.h"
#include "StepRules.h"
#include "TableSmoothness.h"
#include "TrajectoryPreview.h"

namespace {

using Time = long long;

constexpr Time kLongestStep = static_cast<Time>(kMaxTimeStepIU);
constexpr double kUnbounded = std::numeric_limits<double>::infinity();
// The best near-uniform table is sought by trying every count of points up to here...
constexpr double kNearUniformScannedIU = 20000;
// ...and by halving the step beyond, for references up to this long; longer ones are not
// compared with it (its search would cost more than the placement).
constexpr double kNearUniformSoughtIU = 200000;

// The reference at rest at its end position after its end: a table may end up to half an IU
// after a reference whose duration is no whole number.
class ClampedReference : public ReferenceMotion {
public:
    explicit ClampedReference(const ReferenceMotion& reference)
        : m_reference(reference),
          m_end(reference.Duration()),
          m_wholeTimes(kRemembered, -1),
          m_wholePositions(kRemembered) {}
    double Duration() const override { return m_end; }
    double PositionAt(double t) const override {
        return m_reference.PositionAt(std::clamp(t, 0.0, m_end));
    }
    double VelocityAt(double t) const override {
        return t > m_end ? 0 : m_reference.VelocityAt(std::max(t, 0.0));
    }
    double AccelerationAt(double t) const override {
        return t > m_end ? 0 : m_reference.AccelerationAt(std::max(t, 0.0));
    }
    std::vector<double> Breaks() const override { return m_reference.Breaks(); }

    // The placement asks for the same whole IU again and again as it tries steps: the last few
    // thousand answers are kept.
    double PositionAtWhole(Time t) const {
        const size_t slot = static_cast<size_t>(t) & (kRemembered - 1);
        if (m_wholeTimes[slot] != t) {
            m_wholeTimes[slot] = t;
            m_wholePositions[slot] = PositionAt(static_cast<double>(t));
        }
        return m_wholePositions[slot];
    }
    double RoundedAt(Time t) const { return t == 0 ? 0 : std::round(PositionAtWhole(t)); }

private:
    static constexpr size_t kRemembered = 1 << 14;
    const ReferenceMotion& m_reference;
    double m_end;
    mutable std::vector<Time> m_wholeTimes;
    mutable std::vector<double> m_wholePositions;
};

struct Bounds {
    double deviation = 0;
    double acceleration = 0;
    double ratio = 2;
    double jump = kUnbounded;
    double robustDeviation = kUnbounded;
    double robustAcceleration = kUnbounded;

    Bounds Scaled(double factor) const {
        return {deviation * factor, acceleration * factor,    ratio,
                jump * factor,      robustDeviation * factor, robustAcceleration * factor};
    }
};

// The breaks on the grid: whole IU, ascending, from 0 to the end; and what the reference's
// acceleration jumps at each (from rest before its start, to rest after its end).
struct GridBreaks {
    std::vector<Time> times;
    std::vector<ReferenceJump> jumps;

    bool Holds(Time t) const { return std::binary_search(times.begin(), times.end(), t); }
    Time After(Time t) const { return *std::upper_bound(times.begin(), times.end(), t); }
    double JumpAt(Time t) const {
        const auto at = std::lower_bound(
            jumps.begin(), jumps.end(), static_cast<double>(t),
            [](const ReferenceJump& jump, double time) { return jump.time < time; });
        return at != jumps.end() && at->time == static_cast<double>(t) ? at->value : 0;
    }
    std::vector<double> Times() const { return {times.begin(), times.end()}; }
};

GridBreaks FindGridBreaks(const ReferenceMotion& reference) {
    const double duration = reference.Duration();
    const Time end = std::max<Time>(1, std::llround(duration));
    GridBreaks breaks;
    breaks.times = {0};
    const auto before = [&](double at) {
        return at <= 0 ? 0 : reference.AccelerationAt(at - 1e-9 * std::max(1.0, at));
    };
    breaks.jumps.push_back({0, reference.AccelerationAt(0)});
    for (const double at : reference.Breaks()) {
        const Time t = std::llround(at);
        if (t > breaks.times.back() && t < end) {
            breaks.times.push_back(t);
            breaks.jumps.push_back(
                {static_cast<double>(t), reference.AccelerationAt(at) - before(at)});
        }
    }
    breaks.times.push_back(end);
    breaks.jumps.push_back({static_cast<double>(end), -before(duration)});
    return breaks;
}

CubicSegment Piece(Time t0, double p0, double v0, Time t1, double p1, double v1) {
    return CubicSegment::Hermite(static_cast<double>(t0), static_cast<double>(t1 - t0), p0, p1, v0,
                                 v1);
}

double PeakAcceleration(const CubicSegment& piece) { return piece.PeakAcceleration().value; }

double EndAcceleration(const CubicSegment& piece) { return piece.AccelerationAt(piece.duration); }

double Gap(const CubicSegment& piece, const ReferenceMotion& reference, double stop) {
    return LargestGapOfPiece(piece, reference, piece.startTime, piece.startTime + piece.duration,
                             stop)
        .value;
}

// Whether a piece keeps within `bound` of the reference, as the one measure judges it; asked
// thousands of times a second while steps are tried, so first judged from the remembered whole
// IU, each local top refined by the parabola through it and its neighbours: far below the bound
// or above it settles it, only what lies close is measured exactly.
bool GapHolds(const CubicSegment& piece, const ClampedReference& reference, double bound) {
    constexpr double kShortPiece = 12;  // IU: measured exactly, it costs no more
    constexpr double kSure = 0.95;
    constexpr int kMostSamples = 512;
    if (bound == kUnbounded) return true;
    if (piece.duration < kShortPiece) return Gap(piece, reference, bound) <= bound;
    const Time start = static_cast<Time>(piece.startTime);
    const Time length = static_cast<Time>(piece.duration);
    const Time stride = std::max<Time>(1, (length + kMostSamples - 1) / kMostSamples);
    double largest = 0, e0 = 0, e1 = 0;
    int k = 0;
    for (Time tau = 0;; tau = std::min(tau + stride, length), ++k) {
        const double e =
            piece.PositionAt(static_cast<double>(tau)) - reference.PositionAtWhole(start + tau);
        largest = std::max(largest, std::abs(e));
        const double curvature = e0 - 2 * e1 + e;
        if (k >= 2 && (e1 - e0) * (e - e1) <= 0 && curvature != 0) {
            largest = std::max(largest, std::abs(e1 - (e - e0) * (e - e0) / (8 * curvature)));
        }
        if (largest > bound) return false;
        e0 = e1;
        e1 = e;
        if (tau == length) break;
    }
    return largest < kSure * bound || Gap(piece, reference, bound) <= bound;
}

// A table's figures against every bound, by the one deviation measure.
struct TableFigures {
    DeviationPeak deviation;
    double peakAcceleration = 0;
    double shortestToNeighbour = 1;
    AccelerationJump jump;
    double robustDeviation = 0;
    double robustPeakAcceleration = 0;
    bool positionStepsHeld = true;

    // How far the table exceeds the worst of its bounds (≤ 1: it holds them all).
    double Excess(const Bounds& bounds) const {
        if (!positionStepsHeld) return kUnbounded;
        const auto share = [](double value, double bound) {
            return bound == kUnbounded ? 0 : value / std::max(bound, 1e-300);
        };
        return std::max(
            {share(deviation.value, bounds.deviation), share(peakAcceleration, bounds.acceleration),
             share(1 / shortestToNeighbour, bounds.ratio), share(jump.value, bounds.jump),
             share(robustDeviation, bounds.robustDeviation),
             share(robustPeakAcceleration, bounds.robustAcceleration)});
    }
};

// The largest gap and peak acceleration of the central-difference pieces through a table, each
// piece made as it is measured: a long table has no room for them all at once.
void MeasureCentralDifference(const ClampedReference& reference, const std::vector<double>& times,
                              const std::vector<double>& positions, double& largestGap,
                              double& peakAcceleration) {
    const size_t count = times.size();
    const double end = times.back();
    const auto velocity = [&](size_t i) {
        if (i == 0 || i + 1 == count) return 0.0;
        return (positions[i + 1] - positions[i - 1]) / (times[i + 1] - times[i - 1]);
    };
    double start = 0;
    largestGap = 0;
    peakAcceleration = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        const double arrive = velocity(i + 1);
        const CubicSegment piece = CubicSegment::Hermite(
            times[i], times[i + 1] - times[i], positions[i], positions[i + 1], start, arrive);
        start = arrive;
        peakAcceleration = std::max(peakAcceleration, PeakAcceleration(piece));
        const double to = std::min(end, piece.startTime + piece.duration);
        if (to < piece.startTime) continue;
        largestGap =
            std::max(largestGap, LargestGapOfPiece(piece, reference, piece.startTime, to).value);
    }
}

// The figures that the table's own pieces give: peak acceleration, position steps, evenness of
// the time steps and the acceleration's jumps.
void MeasureSteps(const GridBreaks& breaks, const std::vector<double>& times,
                  const std::vector<double>& positions, const std::vector<CubicSegment>& pieces,
                  TableFigures& figures) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        figures.peakAcceleration = std::max(figures.peakAcceleration, PeakAcceleration(pieces[i]));
        figures.positionStepsHeld = figures.positionStepsHeld &&
                                    std::abs(positions[i + 1] - positions[i]) <= kMaxPositionStepIU;
    }
    figures.shortestToNeighbour = MeasureStepEvenness(times, breaks.Times()).shortestWithinSegments;
    figures.jump = LargestAccelerationJump(pieces, breaks.jumps);
}

TableFigures MeasurePieces(const ClampedReference& reference, const GridBreaks& breaks,
                           const std::vector<double>& times, const std::vector<double>& positions,
                           const std::vector<CubicSegment>& pieces) {
    TableFigures figures;
    const double end = times.back();
    figures.deviation = LargestDeviationOfPieces(pieces, reference, 0, end);
    MeasureSteps(breaks, times, positions, pieces, figures);
    MeasureCentralDifference(reference, times, positions, figures.robustDeviation,
                             figures.robustPeakAcceleration);
    return figures;
}

TableFigures Measure(const ClampedReference& reference, const GridBreaks& breaks,
                     const std::vector<double>& times, const std::vector<double>& positions) {
    TrajectoryPreview preview;
    std::string error;
    if (!preview.Build(times, positions, error)) {
        TableFigures figures;
        figures.positionStepsHeld = false;
        return figures;
    }
    return MeasurePieces(reference, breaks, times, positions, preview.GetSegments());
}

// The fewest points found: each step as long as the pieces it closes and opens hold every
// bound, the opened piece judged with the reference's velocity at its far end until the next
// point fixes the model's; where no step holds, the last point is taken back and placed
// earlier. Steps grow and shrink by at most the bounds' ratio inside a stretch between breaks.
class GreedyPlacer {
public:
    GreedyPlacer(const ClampedReference& reference, const GridBreaks& breaks, Bounds bounds,
                 bool stopAtMiss = false)
        : m_reference(reference), m_breaks(breaks), m_bounds(bounds), m_stopAtMiss(stopAtMiss) {}

    // With stopAtMiss: the placement stopped at a piece that misses a bound whatever follows.
    bool Stopped() const { return m_stopped; }

    // False where some piece could not hold the bounds.
    bool Place(std::vector<Time>& times, std::vector<double>& positions) {
        m_t = {0};
        m_p = {0};
        m_v = {0};
        m_c = {0};
        m_arrive = {0};
        m_held = true;
        Time ceiling = std::numeric_limits<Time>::max();
        size_t takenBack = 0;
        size_t fixed = 0;  // points up to this one are not taken back
        // With stopAtMiss, one dead end may not spend the budget that a long table has earned:
        // it is given up after a few tries, counted since the table last reached farther.
        constexpr size_t kTakenBackAtOneEnd = 64;
        Time farthest = 0;
        size_t takenBackHere = 0;
        const Time end = m_breaks.times.back();
        while (m_t.back() < end) {
            const Time from = m_t.back();
            Time lowest = from + 1,
                 highest = std::min({m_breaks.After(from), from + kLongestStep, ceiling});
            ceiling = std::numeric_limits<Time>::max();
            if (m_t.size() > 1 && !m_breaks.Holds(from)) {
                const double last = static_cast<double>(from - m_t[m_t.size() - 2]);
                lowest =
                    std::max(lowest, from + static_cast<Time>(std::ceil(last / m_bounds.ratio)));
                highest =
                    std::min(highest, from + static_cast<Time>(std::floor(last * m_bounds.ratio)));
            }
            if (const Time next = FindNext(lowest, highest)) {
                Push(next);
                if (next > farthest) {
                    farthest = next;
                    takenBackHere = 0;
                }
                continue;
            }
            // The points before may have left no way on: place the last one that can move
            // earlier, within a budget.
            bool movedBack = false;
            while (m_t.size() - 1 > fixed && takenBack < 8 * m_t.size() + 64 &&
                   (!m_stopAtMiss || takenBackHere < kTakenBackAtOneEnd)) {
                ++takenBack;
                ++takenBackHere;
                const size_t m = m_t.size() - 1;
                const Time step = m_t[m] - m_t[m - 1];
                const bool canMove = step > 1;
                // Shorter by an eighth: a long step is not worth trying an IU at a time.
                ceiling = canMove ? m_t[m] - std::max<Time>(1, step / 8)
                                  : std::numeric_limits<Time>::max();
                Pop();
                if (canMove) {
                    movedBack = true;
                    break;
                }
            }
            if (movedBack) continue;
            ceiling = std::numeric_limits<Time>::max();
            Push(LeastExcess(from + 1, std::min(m_breaks.After(from), from + kLongestStep)));
            fixed = m_t.size() - 1;
            m_held = false;
            if (m_stopAtMiss && FixedPartMisses()) {
                m_stopped = true;
                break;
            }
        }
        times = std::move(m_t);
        positions = std::move(m_p);
        return m_held;
    }

private:
    // Whether the points placed, the last one never to be taken back, already make a table
    // that misses a bound: the step before the last point against the one after it, and the
    // piece that ends there, final now and measured as the table will be.
    bool FixedPartMisses() const {
        constexpr double kMargin = 1 + 1e-9;
        const size_t last = m_t.size() - 1;
        if (last < 2) return false;
        const size_t k = last - 1;
        const double before = static_cast<double>(m_t[k] - m_t[k - 1]);
        const double after = static_cast<double>(m_t[last] - m_t[k]);
        if (!m_breaks.Holds(m_t[k]) &&
            std::max(before, after) > m_bounds.ratio * kMargin * std::min(before, after)) {
            return true;
        }
        const CubicSegment piece =
            Piece(m_t[k - 1], m_p[k - 1], m_v[k - 1], m_t[k], m_p[k], m_v[k]);
        const CubicSegment central =
            Piece(m_t[k - 1], m_p[k - 1], m_c[k - 1], m_t[k], m_p[k], m_c[k]);
        return PeakAcceleration(piece) > m_bounds.acceleration * kMargin ||
               PeakAcceleration(central) > m_bounds.robustAcceleration * kMargin ||
               Gap(piece, m_reference, kUnbounded) > m_bounds.deviation * kMargin ||
               Gap(central, m_reference, kUnbounded) > m_bounds.robustDeviation * kMargin;
    }

    // The model's velocity at the last point when `next` follows it.
    double LastVelocity(Time next, double nextPosition) const {
        const size_t m = m_t.size() - 1;
        if (m == 0) return 0;
        const double before = (m_p[m] - m_p[m - 1]) / static_cast<double>(m_t[m] - m_t[m - 1]);
        const double after = (nextPosition - m_p[m]) / static_cast<double>(next - m_t[m]);
        return TrajectoryPreview::InnerVelocity(before, static_cast<double>(m_t[m] - m_t[m - 1]),
                                                after, static_cast<double>(next - m_t[m]));
    }
    double CentralVelocity(Time next, double nextPosition) const {
        const size_t m = m_t.size() - 1;
        if (m == 0) return 0;
        return (nextPosition - m_p[m - 1]) / static_cast<double>(next - m_t[m - 1]);
    }
    double AssumedVelocity(Time t) const {
        return t == m_breaks.times.back() ? 0 : m_reference.VelocityAt(static_cast<double>(t));
    }

    // The pieces that placing `next` closes and opens, by both speed estimates.
    struct Trial {
        bool closes = false;  // there is a piece before the last point
        CubicSegment closed, opened, closedCentral, openedCentral;
    };
    Trial Try(Time next) const {
        const size_t m = m_t.size() - 1;
        const double position = m_reference.RoundedAt(next);
        const double v = LastVelocity(next, position);
        const double c = CentralVelocity(next, position);
        const double assumed = AssumedVelocity(next);
        Trial trial;
        trial.closes = m > 0;
        if (trial.closes) {
            trial.closed = Piece(m_t[m - 1], m_p[m - 1], m_v[m - 1], m_t[m], m_p[m], v);
            trial.closedCentral = Piece(m_t[m - 1], m_p[m - 1], m_c[m - 1], m_t[m], m_p[m], c);
        }
        trial.opened = Piece(m_t[m], m_p[m], v, next, position, assumed);
        trial.openedCentral = Piece(m_t[m], m_p[m], c, next, position, assumed);
        return trial;
    }

    bool JumpHolds(double arriving, double leaving, Time at) const {
        return std::abs(leaving - arriving - m_breaks.JumpAt(at)) <= m_bounds.jump;
    }

    bool Fits(Time next) const {
        const size_t m = m_t.size() - 1;
        const Time from = m_t[m];
        // Room after this step for one no shorter than the ratio allows.
        if (!m_breaks.Holds(next) &&
            static_cast<double>(m_breaks.After(next) - next) * m_bounds.ratio <
                static_cast<double>(next - from)) {
            return false;
        }
        if (std::abs(m_reference.RoundedAt(next) - m_p[m]) > kMaxPositionStepIU) return false;
        const Trial trial = Try(next);
        const Bounds& b = m_bounds;
        // The cheap tests first, and the opened piece, which fails more often, before the other.
        if (PeakAcceleration(trial.opened) > b.acceleration ||
            PeakAcceleration(trial.openedCentral) > b.robustAcceleration) {
            return false;
        }
        const double arriving = trial.closes ? EndAcceleration(trial.closed) : 0;
        if (!JumpHolds(arriving, trial.opened.AccelerationAt(0), from)) return false;
        if (next == m_breaks.times.back() && !JumpHolds(EndAcceleration(trial.opened), 0, next)) {
            return false;
        }
        if (trial.closes) {
            if (PeakAcceleration(trial.closed) > b.acceleration ||
                PeakAcceleration(trial.closedCentral) > b.robustAcceleration ||
                !JumpHolds(m_arrive[m - 1], trial.closed.AccelerationAt(0), m_t[m - 1])) {
                return false;
            }
        }
        if (!GapHolds(trial.opened, m_reference, b.deviation) ||
            !GapHolds(trial.openedCentral, m_reference, b.robustDeviation)) {
            return false;
        }
        return !trial.closes || (GapHolds(trial.closed, m_reference, b.deviation) &&
                                 GapHolds(trial.closedCentral, m_reference, b.robustDeviation));
    }

    // How far the pieces that `next` closes and opens exceed the tolerance or the acceleration.
    double Excess(Time next) const {
        if (std::abs(m_reference.RoundedAt(next) - m_p.back()) > kMaxPositionStepIU) {
            return kUnbounded;
        }
        const Trial trial = Try(next);
        const auto excess = [&](const CubicSegment& piece) {
            return std::max(Gap(piece, m_reference, kUnbounded) / m_bounds.deviation,
                            PeakAcceleration(piece) / std::max(m_bounds.acceleration, 1e-300));
        };
        return std::max(excess(trial.opened), trial.closes ? excess(trial.closed) : 0.0);
    }

    // The longest step in [lowest, highest] that fits, searched from the last step's length:
    // doubled while it fits, halved while it does not, then bisected. 0 when none is found.
    Time FindNext(Time lowest, Time highest) const {
        if (lowest > highest) return 0;
        if (Fits(highest)) return highest;
        if (highest == lowest) return 0;
        const Time from = m_t.back();
        const Time last = m_t.size() > 1 ? from - m_t[m_t.size() - 2] : 8;
        Time good = 0, bad = highest;
        const Time first = std::clamp<Time>(from + last, lowest, highest - 1);
        if (Fits(first)) {
            good = first;
            for (Time probe = from + 2 * (good - from); probe < bad;
                 probe = from + 2 * (good - from)) {
                if (!Fits(probe)) {
                    bad = probe;
                    break;
                }
                good = probe;
            }
        } else {
            bad = first;
            if (!Fits(lowest)) {
                // Rounding makes the fit uneven in the step: look at the few steps not yet tried.
                for (Time probe = std::min(first - 1, lowest + 64); !good && probe > lowest;
                     --probe) {
                    if (Fits(probe)) good = probe;
                }
                if (!good) return 0;
            } else {
                good = lowest;
            }
        }
        while (bad - good > 1) {
            const Time middle = good + (bad - good) / 2;
            (Fits(middle) ? good : bad) = middle;
        }
        return good;
    }

    Time LeastExcess(Time lowest, Time highest) const {
        Time best = highest;
        double least = Excess(highest);
        for (Time next = lowest; next < highest && next <= lowest + 128; ++next) {
            const double excess = Excess(next);
            if (excess < least) {
                least = excess;
                best = next;
            }
        }
        return best;
    }

    void Push(Time next) {
        const size_t m = m_t.size() - 1;
        const double position = m_reference.RoundedAt(next);
        const double v = LastVelocity(next, position);
        m_v.back() = v;
        m_c.back() = CentralVelocity(next, position);
        if (m > 0) {
            m_arrive.back() =
                EndAcceleration(Piece(m_t[m - 1], m_p[m - 1], m_v[m - 1], m_t[m], m_p[m], v));
        }
        m_t.push_back(next);
        m_p.push_back(position);
        m_v.push_back(0);
        m_c.push_back(0);
        m_arrive.push_back(0);
    }
    void Pop() {
        m_t.pop_back();
        m_p.pop_back();
        m_v.pop_back();
        m_c.pop_back();
        m_arrive.pop_back();
    }

    const ClampedReference& m_reference;
    const GridBreaks& m_breaks;
    Bounds m_bounds;
    std::vector<Time> m_t;
    std::vector<double> m_p;
    // At each point but the last, final: the model's velocity, the central difference, and the
    // acceleration with which the piece before arrives (0 at the first).
    std::vector<double> m_v;
    std::vector<double> m_c;
    std::vector<double> m_arrive;
    bool m_held = true;
    bool m_stopAtMiss = false;
    bool m_stopped = false;
};

struct Attempt {
    bool held = false;  // every piece within the bounds it was placed for
    std::vector<double> times;
    std::vector<double> positions;
    TableFigures figures;
};

Attempt MeasuredTable(const ClampedReference& reference, const GridBreaks& breaks,
                      const std::vector<Time>& times) {
    Attempt attempt;
    attempt.times.assign(times.begin(), times.end());
    for (const Time t : times) attempt.positions.push_back(reference.RoundedAt(t));
    attempt.figures = Measure(reference, breaks, attempt.times, attempt.positions);
    return attempt;
}

// With stopAtMiss, a placement that misses a bound for certain is left unfinished, unmeasured
// and not held.
Attempt Greedy(const ClampedReference& reference, const GridBreaks& breaks, Bounds bounds,
               bool stopAtMiss = false) {
    std::vector<Time> times;
    std::vector<double> positions;
    GreedyPlacer placer(reference, breaks, bounds, stopAtMiss);
    const bool held = placer.Place(times, positions);
    if (placer.Stopped()) return {};
    Attempt attempt = MeasuredTable(reference, breaks, times);
    // A piece placed where none was found to fit may yet hold once the next point fixes the
    // speed there: a table the measure finds within every bound holds them.
    attempt.held = held || attempt.figures.Excess(bounds) <= 1;
    return attempt;
}

// Where the bounds cannot all be held: first the smoothness bounds alone (the jumps and the
// central difference) are widened by the least factor, found by doubling and bisection, at
// which a placement holds them with the tolerance and the acceleration as asked; failing that,
// all of them together.
Attempt Relaxed(const ClampedReference& reference, const GridBreaks& breaks, Bounds bounds,
                Attempt failed) {
    Attempt best = std::move(failed);
    for (const bool all : {false, true}) {
        const auto widened = [&](double factor) {
            Bounds wider = all ? bounds.Scaled(factor) : bounds;
            wider.jump = bounds.jump * factor;
            wider.robustDeviation = bounds.robustDeviation * factor;
            wider.robustAcceleration = bounds.robustAcceleration * factor;
            return wider;
        };
        double low = 1, high = 2;
        bool held = false;
        for (; high <= (all ? 1024 : 8); low = high, high *= 2) {
            Attempt attempt = Greedy(reference, breaks, widened(high));
            if (attempt.held) {
                best = std::move(attempt);
                held = true;
                break;
            }
        }
        for (int round = 0; round < 6 && held; ++round) {
            const double middle = 0.5 * (low + high);
            Attempt attempt = Greedy(reference, breaks, widened(middle));
            if (attempt.held) {
                best = std::move(attempt);
                high = middle;
            } else {
                low = middle;
            }
        }
        if (held) break;
    }
    return best;
}

std::vector<Time> UniformTimes(const GridBreaks& breaks, Time step) {
    std::vector<Time> times = {0};
    for (size_t b = 1; b < breaks.times.size(); ++b) {
        for (Time t = breaks.times[b - 1] + step; t < breaks.times[b]; t += step)
            times.push_back(t);
        times.push_back(breaks.times[b]);
    }
    return times;
}

// Each stretch between breaks in equal parts, round(k·T/n), about `step` long.
std::vector<Time> NearUniformTimes(const GridBreaks& breaks, double step) {
    std::vector<Time> times = {0};
    for (size_t b = 1; b < breaks.times.size(); ++b) {
        const Time start = breaks.times[b - 1];
        const double span = static_cast<double>(breaks.times[b] - start);
        const Time parts = std::max<Time>(
            {1, static_cast<Time>(std::ceil(span / step - 1e-9)),
             static_cast<Time>(std::ceil(span / static_cast<double>(kLongestStep)))});
        for (Time k = 1; k < parts; ++k) {
            const Time t =
                start + std::llround(static_cast<double>(k) * span / static_cast<double>(parts));
            if (t > times.back()) times.push_back(t);
        }
        times.push_back(breaks.times[b]);
    }
    return times;
}

// Whether a table holds the tolerance and the acceleration (and the position step), stopping
// at the first piece that does not.
bool HoldsToleranceAndAcceleration(const ClampedReference& reference,
                                   const std::vector<Time>& times, const Bounds& bounds) {
    std::vector<double> t(times.begin(), times.end()), p;
    for (const Time time : times) p.push_back(reference.RoundedAt(time));
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        if (std::abs(p[i + 1] - p[i]) > kMaxPositionStepIU) return false;
    }
    bool holds = true;
    TrajectoryPreview::ForEachSegment(t, p, [&](const CubicSegment& piece) {
        holds = holds && PeakAcceleration(piece) <= bounds.acceleration &&
                GapHolds(piece, reference, bounds.deviation);
    });
    return holds;
}

// The best near-uniform table: the fewest equal parts of each stretch (one step length for
// all) that hold the tolerance and the acceleration. Empty where the reference is too long to
// search, or none holds.
Attempt NearUniform(const ClampedReference& reference, const GridBreaks& breaks, Bounds bounds) {
    Attempt none;
    const Time end = breaks.times.back();
    Time longest = 1;
    for (size_t b = 1; b < breaks.times.size(); ++b) {
        longest = std::max(longest, breaks.times[b] - breaks.times[b - 1]);
    }
    if (static_cast<double>(end) > kNearUniformSoughtIU) return none;
    const auto holds = [&](Time parts) {
        return HoldsToleranceAndAcceleration(
            reference, NearUniformTimes(breaks, static_cast<double>(longest) / parts), bounds);
    };
    Time parts = 0;
    if (static_cast<double>(end) <= kNearUniformScannedIU) {
        for (Time n = 1; n <= longest && !parts; ++n) {
            if (holds(n)) parts = n;
        }
    } else {
        Time good = 0, bad = 0;
        for (Time n = 1; n <= longest; n *= 2) {
            if (holds(n)) {
                good = n;
                break;
            }
            bad = n;
        }
        if (good == 0 && holds(longest)) good = longest;
        while (good != 0 && good - bad > 1) {
            const Time middle = bad + (good - bad) / 2;
            (holds(middle) ? good : bad) = middle;
        }
        parts = good;
    }
    if (parts == 0) return none;
    Attempt attempt = MeasuredTable(reference, breaks,
                                    NearUniformTimes(breaks, static_cast<double>(longest) / parts));
    attempt.held = true;
    return attempt;
}

// Whether a table holds every bound, stopping at the first piece that does not: the pieces of
// both speed estimates, the jumps at the points and the evenness of the steps.
bool HoldsEveryBound(const ClampedReference& reference, const GridBreaks& breaks,
                     const std::vector<Time>& times, const Bounds& bounds) {
    const size_t count = times.size();
    std::vector<double> t(times.begin(), times.end()), p(count);
    for (size_t i = 0; i < count; ++i) p[i] = reference.RoundedAt(times[i]);
    for (size_t i = 0; i + 1 < count; ++i) {
        if (std::abs(p[i + 1] - p[i]) > kMaxPositionStepIU) return false;
        if (i > 0 && !breaks.Holds(times[i])) {
            const double before = t[i] - t[i - 1], after = t[i + 1] - t[i];
            if (std::max(before, after) > bounds.ratio * std::min(before, after)) return false;
        }
    }
    const std::vector<CubicSegment> central = CentralDifferencePieces(t, p);
    for (const CubicSegment& piece : central) {
        if (PeakAcceleration(piece) > bounds.robustAcceleration) return false;
    }
    bool holds = true;
    double arriving = 0;
    size_t i = 0;
    TrajectoryPreview::ForEachSegment(t, p, [&](const CubicSegment& piece) {
        if (!holds) return;
        holds =
            PeakAcceleration(piece) <= bounds.acceleration &&
            std::abs(piece.AccelerationAt(0) - arriving - breaks.JumpAt(times[i])) <= bounds.jump;
        arriving = EndAcceleration(piece);
        ++i;
    });
    if (!holds || std::abs(-arriving - breaks.JumpAt(times.back())) > bounds.jump) return false;
    TrajectoryPreview::ForEachSegment(t, p, [&](const CubicSegment& piece) {
        holds = holds && GapHolds(piece, reference, bounds.deviation);
    });
    for (size_t k = 0; k < central.size() && holds; ++k) {
        holds = GapHolds(central[k], reference, bounds.robustDeviation);
    }
    return holds;
}

// Steps graded by the reference's jerk: where the jerk is small a cubic follows the motion
// longer, so the step there may be longer, the step length varying smoothly as
// ((j / jmax)² + c²)^(-1/6) within each stretch between breaks. A small c grades strongly, a
// large one is near-uniform. `Times(scale)` places about `scale` times the stretch's weight.
class GradedSteps {
public:
    GradedSteps(const ReferenceMotion& reference, const GridBreaks& breaks, double c)
        : m_breaks(breaks) {
        const Time end = breaks.times.back();
        m_weight.assign(static_cast<size_t>(end) + 1, 0);
        for (size_t b = 1; b < breaks.times.size(); ++b) {
            const Time from = breaks.times[b - 1], to = breaks.times[b];
            double largest = 0;
            std::vector<double> jerk(static_cast<size_t>(to - from));
            for (Time t = from; t < to; ++t) {
                const double middle = static_cast<double>(t) + 0.5;
                jerk[static_cast<size_t>(t - from)] =
                    middle < reference.Duration() ? reference.JerkAt(middle) : 0;
                largest = std::max(largest, std::abs(jerk[static_cast<size_t>(t - from)]));
            }
            for (Time t = from; t < to; ++t) {
                const double share =
                    largest > 0 ? jerk[static_cast<size_t>(t - from)] / largest : 0;
                m_weight[static_cast<size_t>(t) + 1] =
                    m_weight[static_cast<size_t>(t)] + std::cbrt(std::sqrt(share * share + c * c));
            }
        }
    }

    // Steps about as long as `steps` (one a whole IU, from 0 to the end) says there.
    GradedSteps(const std::vector<double>& steps, const GridBreaks& breaks) : m_breaks(breaks) {
        m_weight.assign(steps.size(), 0);
        for (size_t t = 1; t < steps.size(); ++t) {
            m_weight[t] = m_weight[t - 1] + 2 / (steps[t - 1] + steps[t]);
        }
    }

    std::vector<Time> Times(double scale) const {
        std::vector<Time> times = {0};
        for (size_t b = 1; b < m_breaks.times.size(); ++b) {
            const Time from = m_breaks.times[b - 1], to = m_breaks.times[b];
            const double low = m_weight[static_cast<size_t>(from)];
            const double span = m_weight[static_cast<size_t>(to)] - low;
            const Time parts =
                std::max<Time>({1, static_cast<Time>(std::ceil(scale * span - 1e-9)),
                                static_cast<Time>(std::ceil(static_cast<double>(to - from) /
                                                            static_cast<double>(kLongestStep)))});
            for (Time k = 1; k < parts; ++k) {
                const double target =
                    low + span * static_cast<double>(k) / static_cast<double>(parts);
                // The whole IU where the weight reaches the target, interpolated inside it.
                const auto above =
                    std::upper_bound(m_weight.begin() + from, m_weight.begin() + to + 1, target);
                const Time after = static_cast<Time>(above - m_weight.begin());
                const double w0 = m_weight[static_cast<size_t>(after - 1)];
                const double w1 = m_weight[static_cast<size_t>(std::min(after, to))];
                const double at =
                    static_cast<double>(after - 1) + (w1 > w0 ? (target - w0) / (w1 - w0) : 0);
                const Time t = std::llround(at);
                if (t > times.back() && t < to) times.push_back(t);
            }
            times.push_back(to);
        }
        return times;
    }
    double Total() const { return m_weight.back(); }

private:
    const GridBreaks& m_breaks;
    std::vector<double> m_weight;  // from 0 up to each whole IU
};

// The fewest points of graded steps that hold every bound, over a few gradings; empty (not
// held) where none does within `most` points.
Attempt Graded(const ClampedReference& reference, const GridBreaks& breaks, const Bounds& bounds,
               size_t most) {
    Attempt best;
    for (const double c : {0.03, 0.1, 0.2, 0.35, 0.5, 0.75, 1.0, 1.5}) {
        const GradedSteps graded(reference, breaks, c);
        // Points for a scale, and whether they hold; the count rises with the scale.
        const auto holds = [&](size_t points, std::vector<Time>& times) {
            times = graded.Times(static_cast<double>(points) / graded.Total());
            return HoldsEveryBound(reference, breaks, times, bounds);
        };
        const size_t ceiling = best.held ? best.times.size() - 1 : most;
        std::vector<Time> times;
        if (ceiling < 2 || !holds(ceiling, times)) continue;
        size_t good = ceiling, bad = 1;
        std::vector<Time> goodTimes = times;
        while (good - bad > 1) {
            const size_t middle = bad + (good - bad) / 2;
            if (holds(middle, times)) {
                good = middle;
                goodTimes = times;
            } else {
                bad = middle;
            }
        }
        // Rounding makes the bounds uneven in the count: a few below may hold too.
        for (size_t fewer = good - 1; fewer + 4 >= good && fewer >= 2; --fewer) {
            if (holds(fewer, times)) goodTimes = times;
        }
        best = MeasuredTable(reference, breaks, goodTimes);
        best.held = true;
    }
    return best;
}

// A table's figures piece by piece and point by point, as shares of their bounds, and the
// points moved an IU or a few at a time where some share exceeds 1: a table whose steps follow
// the motion well misses its bounds, if at all, in a few places that rounding decides.
class TableRepair {
public:
    TableRepair(const ClampedReference& reference, const GridBreaks& breaks, const Bounds& bounds,
                std::vector<Time> times)
        : m_reference(reference), m_breaks(breaks), m_bounds(bounds), m_t(std::move(times)) {
        for (const Time t : m_t) m_p.push_back(m_reference.RoundedAt(t));
    }
    const std::vector<Time>& Times() const { return m_t; }

    // The worst share of a piece (both speed estimates) or a point (jump, evenness).
    double PieceShare(size_t i) const {
        if (std::abs(m_p[i + 1] - m_p[i]) > kMaxPositionStepIU) return kUnbounded;
        const CubicSegment model =
            Piece(m_t[i], m_p[i], Model(i), m_t[i + 1], m_p[i + 1], Model(i + 1));
        const CubicSegment central =
            Piece(m_t[i], m_p[i], Central(i), m_t[i + 1], m_p[i + 1], Central(i + 1));
        return std::max({Share(EstimatedGap(model), m_bounds.deviation),
                         Share(PeakAcceleration(model), m_bounds.acceleration),
                         Share(EstimatedGap(central), m_bounds.robustDeviation),
                         Share(PeakAcceleration(central), m_bounds.robustAcceleration)});
    }
    double PointShare(size_t k) const {
        const size_t last = m_t.size() - 1;
        const double arriving = k == 0 ? 0
                                       : EndAcceleration(Piece(m_t[k - 1], m_p[k - 1], Model(k - 1),
                                                               m_t[k], m_p[k], Model(k)));
        const double leaving =
            k == last ? 0
                      : Piece(m_t[k], m_p[k], Model(k), m_t[k + 1], m_p[k + 1], Model(k + 1))
                            .AccelerationAt(0);
        double share = Share(std::abs(leaving - arriving - m_breaks.JumpAt(m_t[k])), m_bounds.jump);
        if (Movable(k)) {
            const double before = static_cast<double>(m_t[k] - m_t[k - 1]);
            const double after = static_cast<double>(m_t[k + 1] - m_t[k]);
            share =
                std::max(share, std::max(before, after) / std::min(before, after) / m_bounds.ratio);
        }
        return share;
    }

    // Moves the points near each place that misses a bound to where the shares around them are
    // least (their sum of high powers, so the worst counts most), a few rounds; true when every
    // share estimate is then within 1.
    bool Repair(int rounds) {
        for (int round = 0; round < rounds; ++round) {
            std::vector<size_t> missed;
            for (size_t i = 0; i + 1 < m_t.size(); ++i) {
                if (PieceShare(i) > 1 || PointShare(i) > 1) missed.push_back(i);
            }
            if (PointShare(m_t.size() - 1) > 1) missed.push_back(m_t.size() - 1);
            if (missed.empty()) return true;
            bool moved = false;
            for (const size_t at : missed) {
                const size_t from = at > 3 ? at - 3 : 1, to = std::min(at + 3, m_t.size() - 2);
                for (size_t k = from; k <= to; ++k) moved = Improve(k) || moved;
            }
            if (!moved) return false;
        }
        return false;
    }

private:
    static double Share(double value, double bound) {
        return bound == kUnbounded ? 0 : value / std::max(bound, 1e-300);
    }
    bool Movable(size_t k) const { return k > 0 && k + 1 < m_t.size() && !m_breaks.Holds(m_t[k]); }
    double Model(size_t k) const {
        if (k == 0 || k + 1 >= m_t.size()) return 0;
        const double before = static_cast<double>(m_t[k] - m_t[k - 1]);
        const double after = static_cast<double>(m_t[k + 1] - m_t[k]);
        return TrajectoryPreview::InnerVelocity((m_p[k] - m_p[k - 1]) / before, before,
                                                (m_p[k + 1] - m_p[k]) / after, after);
    }
    double Central(size_t k) const {
        if (k == 0 || k + 1 >= m_t.size()) return 0;
        return (m_p[k + 1] - m_p[k - 1]) / static_cast<double>(m_t[k + 1] - m_t[k - 1]);
    }
    // The gap from the remembered whole IU, each local top refined by the parabola through it
    // and its neighbours: close enough to steer by; the table is judged exactly afterwards.
    double EstimatedGap(const CubicSegment& piece) const {
        const Time start = static_cast<Time>(piece.startTime);
        const Time length = static_cast<Time>(piece.duration);
        if (length < 3) return Gap(piece, m_reference, kUnbounded);
        double largest = 0, e0 = 0, e1 = 0;
        for (Time tau = 0; tau <= length; ++tau) {
            const double e = piece.PositionAt(static_cast<double>(tau)) -
                             m_reference.PositionAtWhole(start + tau);
            largest = std::max(largest, std::abs(e));
            const double curvature = e0 - 2 * e1 + e;
            if (tau >= 2 && (e1 - e0) * (e - e1) <= 0 && curvature != 0) {
                largest = std::max(largest, std::abs(e1 - (e - e0) * (e - e0) / (8 * curvature)));
            }
            e0 = e1;
            e1 = e;
        }
        return largest;
    }
    // The sum of the shares' high powers over the pieces and points that point k touches.
    double Around(size_t k) const {
        constexpr double kPower = 12;
        const size_t from = k >= 2 ? k - 2 : 0, to = std::min(k + 2, m_t.size() - 1);
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += std::pow(PieceShare(i), kPower);
        for (size_t i = from; i <= to; ++i) sum += std::pow(PointShare(i), kPower);
        return sum;
    }
    bool Improve(size_t k) {
        if (!Movable(k)) return false;
        const Time original = m_t[k];
        Time best = original;
        double least = Around(k);
        for (const Time shift : {1, -1, 2, -2, 4, -4}) {
            const Time t = original + shift;
            if (t <= m_t[k - 1] || t >= m_t[k + 1]) continue;
            Set(k, t);
            const double value = Around(k);
            if (value < least * (1 - 1e-9)) {
                least = value;
                best = t;
            }
        }
        Set(k, best);
        return best != original;
    }
    void Set(size_t k, Time t) {
        m_t[k] = t;
        m_p[k] = m_reference.RoundedAt(t);
    }

    const ClampedReference& m_reference;
    const GridBreaks& m_breaks;
    Bounds m_bounds;
    std::vector<Time> m_t;
    std::vector<double> m_p;
};

// How long an even step may be around t and hold every bound there: the worst share of a few
// even steps of length h about t (from the stretch's end where t lies near it), the pieces
// and points whose neighbours all lie among them.
double ShareOfEvenSteps(const ClampedReference& reference, const GridBreaks& breaks,
                        const Bounds& bounds, Time from, Time to, Time t, Time h) {
    constexpr Time kPoints = 5;
    if (to - from < (kPoints - 1) * h) return kUnbounded;
    std::vector<Time> points;
    const Time first = std::clamp(t - 2 * h, from, to - (kPoints - 1) * h);
    for (Time k = 0; k < kPoints; ++k) points.push_back(first + k * h);
    // The table's own ends are at rest, as the probe's ends are; elsewhere its outer pieces
    // lack a neighbour.
    const bool start = first == 0, end = points.back() == breaks.times.back();
    const TableRepair probe(reference, breaks, bounds, points);
    double worst = 0;
    for (size_t i = start ? 0 : 1; i < (end ? 4u : 3u); ++i) {
        worst = std::max(worst, probe.PieceShare(i));
    }
    for (size_t k = start ? 0 : 2; k <= (end ? 4u : 2u); ++k) {
        worst = std::max(worst, probe.PointShare(k));
    }
    return worst;
}

// The longest even step that holds at t, searched from a step known to be near it.
Time LongestEvenStep(const ClampedReference& reference, const GridBreaks& breaks,
                     const Bounds& bounds, Time from, Time to, Time t, Time near) {
    const auto holds = [&](Time h) {
        return ShareOfEvenSteps(reference, breaks, bounds, from, to, t, h) <= 1;
    };
    const Time longest = std::min((to - from) / 4, kLongestStep);
    if (longest < 1) return std::max<Time>(1, to - from);
    Time good = std::clamp<Time>(near, 1, longest);
    while (good > 1 && !holds(good)) good = good * 7 / 8;
    Time bad = longest + 1;
    for (Time probe = std::max(good + 1, good * 5 / 4); probe <= longest;
         probe = std::max(probe + 1, probe * 5 / 4)) {
        if (!holds(probe)) {
            bad = probe;
            break;
        }
        good = probe;
    }
    while (bad - good > 1) {
        const Time middle = good + (bad - good) / 2;
        (holds(middle) ? good : bad) = middle;
    }
    return good;
}

// Steps that follow the motion: each as long as an even step may be there, found by trying
// even steps every few IU, and grading from one length to the next no faster than the central
// difference allows where the motion accelerates (it errs by half the change of the step times
// the acceleration); the fewest points of such steps that hold every bound, each count given a
// repair before a larger one is tried. Empty (not held) where none does within `most` points.
Attempt Equidistributed(const ClampedReference& reference, const GridBreaks& breaks,
                        const Bounds& bounds, size_t most) {
    const Time end = breaks.times.back();
    const Time near =
        std::max<Time>(1, static_cast<Time>(static_cast<double>(end) /
                                            static_cast<double>(std::max<size_t>(most, 2))));
    const Time stride = std::max<Time>(2, near / 4);
    std::vector<double> longest(static_cast<size_t>(end) + 1, static_cast<double>(kLongestStep));
    for (size_t b = 1; b < breaks.times.size(); ++b) {
        const Time from = breaks.times[b - 1], to = breaks.times[b];
        Time last = from;
        double lastStep = 0;
        for (Time t = from;; t = std::min(to, t + stride)) {
            const double step =
                static_cast<double>(LongestEvenStep(reference, breaks, bounds, from, to, t, near));
            for (Time u = last; u <= t; ++u) {
                longest[static_cast<size_t>(u)] =
                    t == last ? step
                              : lastStep + (step - lastStep) * static_cast<double>(u - last) /
                                               static_cast<double>(t - last);
            }
            last = t;
            lastStep = step;
            if (t == to) break;
        }
    }
    Attempt best;
    size_t fewest = most;
    const double peak = bounds.acceleration;
    for (const double deviationSlope : {4.0, 8.0}) {
        for (const double accelerationSlope : {0.03, 0.06}) {
            std::vector<double> steps = longest;
            const auto slope = [&](Time t, double step) {
                const double a =
                    std::abs(reference.AccelerationAt(static_cast<double>(t))) + 1e-300;
                return std::min({1.0, deviationSlope * bounds.deviation / (step * step * a),
                                 accelerationSlope * peak / a});
            };
            for (size_t t = 1; t < steps.size(); ++t) {
                steps[t] =
                    std::min(steps[t], steps[t - 1] + slope(static_cast<Time>(t), steps[t - 1]));
            }
            for (size_t t = steps.size() - 1; t-- > 0;) {
                steps[t] =
                    std::min(steps[t], steps[t + 1] + slope(static_cast<Time>(t), steps[t + 1]));
            }
            const GradedSteps graded(steps, breaks);
            const auto placed = [&](size_t points) {
                return graded.Times(static_cast<double>(points) / graded.Total());
            };
            // The fewest count that holds as placed, by bisection; then the few counts below
            // it, from the lowest up, each repaired where it misses.
            size_t good = fewest,
                   bad = std::max<size_t>(1, static_cast<size_t>(0.8 * graded.Total()));
            if (bad + 1 >= good) continue;
            const size_t lowest = bad + 1;
            std::vector<Time> held;
            while (good - bad > 1) {
                const size_t middle = bad + (good - bad) / 2;
                std::vector<Time> times = placed(middle);
                if (HoldsEveryBound(reference, breaks, times, bounds)) {
                    good = middle;
                    held = std::move(times);
                } else {
                    bad = middle;
                }
            }
            constexpr size_t kRepairedCounts = 3;
            for (size_t points = std::max(lowest, good - std::min(good, kRepairedCounts));
                 points < good; ++points) {
                TableRepair repair(reference, breaks, bounds, placed(points));
                if (repair.Repair(6) &&
                    HoldsEveryBound(reference, breaks, repair.Times(), bounds)) {
                    held = repair.Times();
                    break;
                }
            }
            if (!held.empty() && held.size() < fewest) {
                fewest = held.size();
                best = MeasuredTable(reference, breaks, held);
                best.held = true;
            }
        }
    }
    return best;
}

void ReportFigures(const TableFigures& figures, const Bounds& bounds, GridPlacement& placement) {
    placement.largestDeviation = figures.deviation.value;
    placement.largestDeviationTime = figures.deviation.time;
    placement.peakAcceleration = figures.peakAcceleration;
    placement.shortestToNeighbour = figures.shortestToNeighbour;
    placement.largestJump = figures.jump.value;
    placement.largestJumpTime = figures.jump.time;
    placement.jumpBound = bounds.jump;
    placement.robustDeviation = figures.robustDeviation;
    placement.robustPeakAcceleration = figures.robustPeakAcceleration;
    // A hair of slack for the acceleration, which the placement computes the same way.
    constexpr double kSlack = 1 + 1e-12;
    placement.withinTolerance = figures.deviation.value <= bounds.deviation;
    placement.withinAcceleration = figures.peakAcceleration <= bounds.acceleration * kSlack;
    placement.withinSpacing =
        figures.shortestToNeighbour * bounds.ratio >= 1 - 1e-12 && figures.positionStepsHeld;
    placement.withinJump = figures.jump.value <= bounds.jump * kSlack;
    placement.withinRobustness =
        figures.robustDeviation <= bounds.robustDeviation &&
        figures.robustPeakAcceleration <= bounds.robustAcceleration * kSlack;
}

void Report(const Attempt& attempt, const Bounds& bounds, GridPlacement& placement) {
    placement.times = attempt.times;
    placement.positions = attempt.positions;
    ReportFigures(attempt.figures, bounds, placement);
}

Bounds BoundsOf(const GridPlacementOptions& options, double referencePeak) {
    Bounds bounds;
    bounds.deviation = options.tolerance;
    bounds.acceleration = options.accelerationShare * referencePeak;
    bounds.ratio = options.stepRatio;
    bounds.jump = options.jumpShare * referencePeak;
    bounds.robustDeviation = options.robustToleranceFactor * options.tolerance;
    bounds.robustAcceleration = options.robustAccelerationShare * referencePeak;
    return bounds;
}

double ReferencePeak(const ReferenceMotion& reference, const GridPlacementOptions& options) {
    return options.referencePeakAcceleration >= 0 ? options.referencePeakAcceleration
                                                  : SampledPeakAcceleration(reference);
}

}  // namespace

double SampledPeakAcceleration(const ReferenceMotion& reference) {
    const double end = reference.Duration();
    const int intervals = std::max(4096, static_cast<int>(std::ceil(end)));
    double peak = 0;
    for (int i = 0; i <= intervals; ++i) {
        peak = std::max(peak, std::abs(reference.AccelerationAt(end * i / intervals)));
    }
    // The acceleration may jump at a break: the piece before it ends there too.
    for (const double at : reference.Breaks()) {
        const double before = at - 1e-9 * std::max(1.0, at);
        if (before > 0) peak = std::max(peak, std::abs(reference.AccelerationAt(before)));
        if (at <= end) peak = std::max(peak, std::abs(reference.AccelerationAt(at)));
    }
    return peak;
}

namespace {

Bounds MeasuredBounds(const ReferenceMotion& reference, const GridPlacementOptions& options,
                      GridPlacement& placement) {
    if (placement.referencePeakAcceleration <= 0) {
        placement.referencePeakAcceleration = ReferencePeak(reference, options);
    }
    Bounds bounds = BoundsOf(options, placement.referencePeakAcceleration);
    bounds.jump = std::max(bounds.jump, placement.jumpBound);
    return bounds;
}

}  // namespace

void MeasurePlacement(const ReferenceMotion& reference, const GridPlacementOptions& options,
                      GridPlacement& placement) {
    const ClampedReference clamped(reference);
    const GridBreaks breaks = FindGridBreaks(reference);
    const Bounds bounds = MeasuredBounds(reference, options, placement);
    ReportFigures(Measure(clamped, breaks, placement.times, placement.positions), bounds,
                  placement);
}

void MeasureOwnPreview(const ReferenceMotion& reference, const GridPlacementOptions& options,
                       const TrajectoryPreview& table, GridPlacement& placement) {
    // Below this a gap means nothing (the least tolerance is far above it): a central piece
    // that differs from the table's own by no more is not measured, its bound counted instead.
    constexpr double kNegligibleIU = 1e-12;
    const ClampedReference clamped(reference);
    const GridBreaks breaks = FindGridBreaks(reference);
    const Bounds bounds = MeasuredBounds(reference, options, placement);
    const std::vector<double>& times = table.GetTimes();
    const std::vector<double>& positions = table.GetPositions();
    const std::vector<CubicSegment>& pieces = table.GetSegments();
    TableFigures figures;
    // The table's pieces are the reference's own: no gap at all.
    figures.deviation = {0, 0, 0};
    MeasureSteps(breaks, times, positions, pieces, figures);
    // A central piece has the table's piece's ends and differs only in the speeds there, by δ0
    // and δ1: the two cubics then part by at most 4/27 of the step times |δ0| + |δ1|.
    const size_t count = times.size();
    const auto central = [&](size_t i) {
        if (i == 0 || i + 1 == count) return 0.0;
        return (positions[i + 1] - positions[i - 1]) / (times[i + 1] - times[i - 1]);
    };
    const auto model = [&](size_t i) { return i < pieces.size() ? pieces[i].v0 : 0.0; };
    for (size_t i = 0; i + 1 < count; ++i) {
        const double step = times[i + 1] - times[i];
        const CubicSegment piece = CubicSegment::Hermite(
            times[i], step, positions[i], positions[i + 1], central(i), central(i + 1));
        figures.robustPeakAcceleration =
            std::max(figures.robustPeakAcceleration, PeakAcceleration(piece));
        const double apart =
            4.0 / 27.0 * step *
            (std::abs(central(i) - model(i)) + std::abs(central(i + 1) - model(i + 1)));
        const double gap =
            apart <= kNegligibleIU
                ? apart
                : LargestGapOfPiece(piece, clamped, piece.startTime, piece.startTime + step).value;
        figures.robustDeviation = std::max(figures.robustDeviation, gap);
    }
    ReportFigures(figures, bounds, placement);
}

GridPlacement PlaceOnGrid(const ReferenceMotion& reference, const GridPlacementOptions& options) {
    const ClampedReference clamped(reference);
    const GridBreaks breaks = FindGridBreaks(reference);
    GridPlacement placement;
    placement.referencePeakAcceleration = ReferencePeak(reference, options);
    Bounds bounds = BoundsOf(options, placement.referencePeakAcceleration);

    if (options.uniformStep > 0) {
        const Attempt uniform =
            MeasuredTable(clamped, breaks,
                          UniformTimes(breaks, std::min<Time>(options.uniformStep, kLongestStep)));
        Report(uniform, bounds, placement);
        return placement;
    }
    Attempt nearUniform = NearUniform(clamped, breaks, bounds);
    if (nearUniform.held) {
        placement.nearUniformPoints = nearUniform.times.size();
        // The grid itself forces some jump: no bound tighter than the even table's.
        bounds.jump = std::max(bounds.jump, nearUniform.figures.jump.value);
    }
    // The searches below on a short reference, and a held near-uniform table, may yet find
    // what the greedy misses: only without them does a miss settle it.
    const bool stopAtMiss = options.stopAtFirstMiss && !nearUniform.held &&
                            static_cast<double>(breaks.times.back()) > kNearUniformScannedIU;
    Attempt result = Greedy(clamped, breaks, bounds, stopAtMiss);
    if (stopAtMiss && !result.held) {
        placement.jumpBound = bounds.jump;
        placement.stopped = true;
        return placement;
    }
    if (!result.held) result = Relaxed(clamped, breaks, bounds, std::move(result));
    if (static_cast<double>(breaks.times.back()) <= kNearUniformScannedIU) {
        const size_t most = std::min(result.held ? result.times.size() : SIZE_MAX,
                                     nearUniform.held ? nearUniform.times.size() : SIZE_MAX);
        Attempt graded =
            Graded(clamped, breaks, bounds,
                   most == SIZE_MAX ? static_cast<size_t>(breaks.times.back()) + 1 : most);
        if (graded.held && (!result.held || graded.times.size() < result.times.size())) {
            result = std::move(graded);
        }
        const size_t fewest = std::min(result.held ? result.times.size() : SIZE_MAX,
                                       nearUniform.held ? nearUniform.times.size() : SIZE_MAX);
        Attempt followed = Equidistributed(
            clamped, breaks, bounds,
            fewest == SIZE_MAX ? static_cast<size_t>(breaks.times.back()) + 1 : fewest);
        if (followed.held && (!result.held || followed.times.size() < result.times.size())) {
            result = std::move(followed);
        }
    }
    if (nearUniform.held) {
        const double greedyExcess = result.figures.Excess(bounds);
        const double evenExcess = nearUniform.figures.Excess(bounds);
        const bool evenBetter =
            evenExcess <= 1 ? greedyExcess > 1 || nearUniform.times.size() < result.times.size()
                            : greedyExcess > 1 && evenExcess < greedyExcess;
        if (evenBetter) result = std::move(nearUniform);
    }
    Report(result, bounds, placement);
    return placement;
}
