#include "GridPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "CubicSegment.h"
#include "StepRules.h"
#include "TrajectoryPreview.h"

namespace {

using Time = long long;

constexpr Time kLongestStep = static_cast<Time>(kMaxTimeStepIU);

// The reference at rest at its end position after its end: a table may end up to half an IU
// after a reference whose duration is no whole number.
class ClampedReference {
public:
    explicit ClampedReference(const ReferenceMotion& reference)
        : m_reference(reference),
          m_end(reference.Duration()),
          m_wholeTimes(kRemembered, -1),
          m_wholePositions(kRemembered) {}
    double Position(double t) const { return m_reference.PositionAt(std::clamp(t, 0.0, m_end)); }
    // The placement asks for the same whole IU again and again as it tries steps: the last few
    // thousand answers are kept.
    double PositionAtWhole(Time t) const {
        const size_t slot = static_cast<size_t>(t) & (kRemembered - 1);
        if (m_wholeTimes[slot] != t) {
            m_wholeTimes[slot] = t;
            m_wholePositions[slot] = Position(static_cast<double>(t));
        }
        return m_wholePositions[slot];
    }
    double Velocity(double t) const {
        return t >= m_end ? 0 : m_reference.VelocityAt(std::max(t, 0.0));
    }

private:
    static constexpr size_t kRemembered = 1 << 14;
    const ReferenceMotion& m_reference;
    double m_end;
    mutable std::vector<Time> m_wholeTimes;
    mutable std::vector<double> m_wholePositions;
};

struct Gap {
    double value = 0;
    double time = 0;
};

// The largest |piece − reference|: sampled about once an IU (both are smooth in between), each
// local extreme refined by the parabola through it and its neighbours. Returns as soon as a gap
// exceeds `stop`.
Gap LargestGap(const CubicSegment& piece, const ClampedReference& reference, double stop) {
    const int intervals = std::clamp(static_cast<int>(std::ceil(piece.duration)), 12, 512);
    const double h = piece.duration / intervals;
    // Pieces of the table start and end on whole IU: most samples fall on them too.
    const bool whole = h == 1 && piece.startTime == std::floor(piece.startTime);
    const Time start = static_cast<Time>(piece.startTime);
    Gap gap;
    double e0 = 0, e1 = 0;
    for (int k = 0; k <= intervals; ++k) {
        const double tau = k == intervals ? piece.duration : k * h;
        const double e =
            piece.PositionAt(tau) - (whole ? reference.PositionAtWhole(start + k)
                                           : reference.Position(piece.startTime + tau));
        if (std::abs(e) > gap.value) gap = {std::abs(e), piece.startTime + tau};
        const double curvature = e0 - 2 * e1 + e;
        if (k >= 2 && (e1 - e0) * (e - e1) <= 0 && curvature != 0) {
            const double vertex = e1 - (e - e0) * (e - e0) / (8 * curvature);
            if (std::abs(vertex) > gap.value) {
                const double shift = std::clamp(0.5 * (e0 - e) / curvature, -1.0, 1.0);
                gap = {std::abs(vertex), piece.startTime + (k - 1 + shift) * h};
            }
        }
        if (gap.value > stop) return gap;
        e0 = e1;
        e1 = e;
    }
    return gap;
}

// The model's acceleration is linear in a piece, so it peaks at an end.
double PeakAcceleration(const CubicSegment& piece) {
    return std::max(std::abs(piece.AccelerationAt(0)),
                    std::abs(piece.AccelerationAt(piece.duration)));
}

double Slope(Time t0, double p0, Time t1, double p1) {
    return (p1 - p0) / static_cast<double>(t1 - t0);
}

struct Bounds {
    double deviation = 0;
    double acceleration = 0;
};

// The preview's piece from (t0, p0) to (t1, p1), judged against the bounds.
class PieceJudge {
public:
    PieceJudge(const ClampedReference& reference, Bounds bounds)
        : m_reference(reference), m_bounds(bounds) {}

    // The cheap test: the peak acceleration, and the position step's bound.
    bool AccelerationHolds(Time t0, double p0, double v0, Time t1, double p1, double v1) const {
        return std::abs(p1 - p0) <= kMaxPositionStepIU &&
               PeakAcceleration(Piece(t0, p0, v0, t1, p1, v1)) <= m_bounds.acceleration;
    }
    bool GapHolds(Time t0, double p0, double v0, Time t1, double p1, double v1) const {
        return LargestGap(Piece(t0, p0, v0, t1, p1, v1), m_reference, m_bounds.deviation).value <=
               m_bounds.deviation;
    }
    // How far the piece exceeds the worse of its bounds (≤ 1: it holds them).
    double Excess(Time t0, double p0, double v0, Time t1, double p1, double v1) const {
        const CubicSegment piece = Piece(t0, p0, v0, t1, p1, v1);
        const double gap = LargestGap(piece, m_reference, std::numeric_limits<double>::max()).value;
        return std::max(gap / m_bounds.deviation,
                        PeakAcceleration(piece) / std::max(m_bounds.acceleration, 1e-300));
    }

private:
    static CubicSegment Piece(Time t0, double p0, double v0, Time t1, double p1, double v1) {
        return CubicSegment::Hermite(static_cast<double>(t0), static_cast<double>(t1 - t0), p0, p1,
                                     v0, v1);
    }
    const ClampedReference& m_reference;
    Bounds m_bounds;
};

// The fewest points found: each step as long as the piece it closes and the piece it opens hold
// the bounds, the opened piece judged with the reference's velocity at its far end until the
// next point fixes the model's; where no step holds, the last point is taken back and placed
// earlier. A pass then drops every point whose neighbours hold the bounds without it, or puts
// one point in place of two.
class GreedyPlacer {
public:
    GreedyPlacer(const ClampedReference& reference, const std::vector<Time>& breaks, Bounds bounds)
        : m_reference(reference), m_breaks(breaks), m_judge(reference, bounds) {}

    // False where some piece could not hold the bounds.
    bool Place(std::vector<Time>& times, std::vector<double>& positions) {
        m_t = {0};
        m_p = {0};
        m_v.clear();
        m_held = true;
        Time ceiling = std::numeric_limits<Time>::max();
        size_t takenBack = 0;
        size_t fixed = 0;  // points up to this one are not taken back
        const Time end = m_breaks.back();
        while (m_t.back() < end) {
            const size_t nextBreak = static_cast<size_t>(
                std::upper_bound(m_breaks.begin(), m_breaks.end(), m_t.back()) - m_breaks.begin());
            const Time highest =
                std::min({m_breaks[nextBreak], m_t.back() + kLongestStep, ceiling});
            ceiling = std::numeric_limits<Time>::max();
            if (const Time next = FindNext(highest)) {
                Push(next);
                continue;
            }
            // The points before may have left no way on: place the last one that can move
            // earlier, within a budget.
            bool movedBack = false;
            while (m_t.size() - 1 > fixed && takenBack < 8 * m_t.size() + 64) {
                ++takenBack;
                const size_t m = m_t.size() - 1;
                const bool canMove = m_t[m] - m_t[m - 1] > 1;
                ceiling = canMove ? m_t[m] - 1 : std::numeric_limits<Time>::max();
                m_t.pop_back();
                m_p.pop_back();
                m_v.pop_back();
                if (canMove) {
                    movedBack = true;
                    break;
                }
            }
            if (movedBack) continue;
            ceiling = std::numeric_limits<Time>::max();
            Push(LeastExcess(highest));
            fixed = m_t.size() - 1;
            m_held = false;
        }
        m_v.push_back(0);
        Thin();
        times = std::move(m_t);
        positions = std::move(m_p);
        return m_held;
    }

private:
    double RoundedAt(Time t) const {
        return t == 0 ? 0 : std::round(m_reference.PositionAtWhole(t));
    }
    // The model's velocity at the last point when `next` follows it.
    double LastVelocity(Time next, double nextPosition) const {
        const size_t m = m_t.size() - 1;
        if (m == 0) return 0;
        return CTrajectoryPreview::InnerVelocity(
            Slope(m_t[m - 1], m_p[m - 1], m_t[m], m_p[m]), static_cast<double>(m_t[m] - m_t[m - 1]),
            Slope(m_t[m], m_p[m], next, nextPosition), static_cast<double>(next - m_t[m]));
    }
    double AssumedVelocity(Time t) const {
        return t == m_breaks.back() ? 0 : m_reference.Velocity(static_cast<double>(t));
    }

    bool Fits(Time next) const {
        const size_t m = m_t.size() - 1;
        const double position = RoundedAt(next);
        const double v = LastVelocity(next, position);
        const double assumed = AssumedVelocity(next);
        // The cheap tests first, and the opened piece, which fails more often, before the other.
        if (m > 0 &&
            !m_judge.AccelerationHolds(m_t[m - 1], m_p[m - 1], m_v[m - 1], m_t[m], m_p[m], v)) {
            return false;
        }
        if (!m_judge.AccelerationHolds(m_t[m], m_p[m], v, next, position, assumed) ||
            !m_judge.GapHolds(m_t[m], m_p[m], v, next, position, assumed)) {
            return false;
        }
        return m == 0 || m_judge.GapHolds(m_t[m - 1], m_p[m - 1], m_v[m - 1], m_t[m], m_p[m], v);
    }
    double Excess(Time next) const {
        const size_t m = m_t.size() - 1;
        const double position = RoundedAt(next);
        const double v = LastVelocity(next, position);
        double excess = m_judge.Excess(m_t[m], m_p[m], v, next, position, AssumedVelocity(next));
        if (m > 0) {
            excess = std::max(
                excess, m_judge.Excess(m_t[m - 1], m_p[m - 1], m_v[m - 1], m_t[m], m_p[m], v));
        }
        return excess;
    }

    // The longest step up to `highest` that fits, searched from the last step's length: doubled
    // while it fits, halved while it does not, then bisected. 0 when none is found.
    Time FindNext(Time highest) const {
        const Time from = m_t.back();
        if (Fits(highest)) return highest;
        if (highest - from <= 1) return 0;
        const Time last = m_t.size() > 1 ? from - m_t[m_t.size() - 2] : 8;
        Time good = 0, bad = highest;
        const Time first = from + std::clamp<Time>(last, 1, highest - from - 1);
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
            for (Time step = (first - from) / 2; step >= 1 && !good; step /= 2) {
                if (Fits(from + step)) {
                    good = from + step;
                } else {
                    bad = from + step;
                }
            }
            // Rounding makes the fit uneven in the step: look at the few steps not yet tried.
            for (Time probe = std::min(first - 1, from + 64); !good && probe > from; --probe) {
                if (Fits(probe)) good = probe;
            }
            if (!good) return 0;
            bad = std::max(bad, first);
        }
        while (bad - good > 1) {
            const Time middle = good + (bad - good) / 2;
            (Fits(middle) ? good : bad) = middle;
        }
        return good;
    }

    Time LeastExcess(Time highest) const {
        const Time from = m_t.back();
        Time best = highest;
        double least = Excess(highest);
        for (Time next = from + 1; next < highest && next <= from + 128; ++next) {
            const double excess = Excess(next);
            if (excess < least) {
                least = excess;
                best = next;
            }
        }
        return best;
    }

    void Push(Time next) {
        const double position = RoundedAt(next);
        m_v.push_back(LastVelocity(next, position));
        m_t.push_back(next);
        m_p.push_back(position);
    }

    bool IsBreak(Time t) const { return std::binary_search(m_breaks.begin(), m_breaks.end(), t); }

    struct Point {
        Time t;
        double p;
    };

    // Whether a run of points holds the bounds with the model's velocities: the first and last
    // velocity given, those inside from their neighbours. `velocities` receives them all.
    bool RunHolds(const Point* run, size_t count, double first, double last,
                  double* velocities) const {
        velocities[0] = first;
        velocities[count - 1] = last;
        for (size_t i = 1; i + 1 < count; ++i) {
            if (run[i + 1].t - run[i - 1].t > 2 * kLongestStep) return false;
            velocities[i] = CTrajectoryPreview::InnerVelocity(
                Slope(run[i - 1].t, run[i - 1].p, run[i].t, run[i].p),
                static_cast<double>(run[i].t - run[i - 1].t),
                Slope(run[i].t, run[i].p, run[i + 1].t, run[i + 1].p),
                static_cast<double>(run[i + 1].t - run[i].t));
        }
        for (size_t i = 0; i + 1 < count; ++i) {
            if (run[i + 1].t - run[i].t > kLongestStep ||
                !m_judge.AccelerationHolds(run[i].t, run[i].p, velocities[i], run[i + 1].t,
                                           run[i + 1].p, velocities[i + 1])) {
                return false;
            }
        }
        for (size_t i = 0; i + 1 < count; ++i) {
            if (!m_judge.GapHolds(run[i].t, run[i].p, velocities[i], run[i + 1].t, run[i + 1].p,
                                  velocities[i + 1])) {
                return false;
            }
        }
        return true;
    }

    // Drops each inner point, breaks aside, whose neighbours hold the bounds without it, and
    // otherwise tries to put one point in place of it and the next.
    void Thin() {
        constexpr Time kTried = 12;  // in place of two points: at most this many times
        const size_t n = m_t.size();
        std::vector<Time> t;
        std::vector<double> p, v;
        t.reserve(n);
        p.reserve(n);
        v.reserve(n);
        Point run[5];
        double velocities[5];
        // The run from the kept point before the last kept one (if any) through `middle` to the
        // placed points `next` and `next` + 1 (if any); on success the velocities of the kept
        // and placed points it changes are taken over.
        const auto tryRun = [&](const Point* middle, size_t middleCount, size_t next) {
            const size_t k = t.size() - 1;
            size_t count = 0;
            if (k > 0) run[count++] = {t[k - 1], p[k - 1]};
            const size_t kept = count;
            run[count++] = {t[k], p[k]};
            for (size_t i = 0; i < middleCount; ++i) run[count++] = middle[i];
            const size_t placed = count;
            run[count++] = {m_t[next], m_p[next]};
            if (next + 1 < n) run[count++] = {m_t[next + 1], m_p[next + 1]};
            const double first = k > 0 ? v[k - 1] : 0;
            const double last = next + 1 < n ? m_v[next + 1] : 0;
            if (!RunHolds(run, count, first, last, velocities)) return false;
            v[k] = velocities[kept];
            m_v[next] = velocities[placed];
            return true;
        };
        for (size_t i = 0; i < n; ++i) {
            if (!t.empty() && i + 1 < n && !IsBreak(m_t[i])) {
                if (tryRun(nullptr, 0, i + 1)) continue;
                if (i + 2 < n && !IsBreak(m_t[i + 1])) {
                    const Time from = t.back(), to = m_t[i + 2];
                    const Time span = to - from - 1;
                    const Time tried = std::min(span, kTried);
                    bool merged = false;
                    // From the middle outwards.
                    for (Time j = 0; j < tried && !merged; ++j) {
                        const Time offset = (j % 2 == 0 ? 1 : -1) * ((j + 1) / 2);
                        const Time at = from + 1 + (span - 1) / 2 + offset * span / tried;
                        if (at <= from || at >= to) continue;
                        const Point middle = {at, RoundedAt(at)};
                        if (tryRun(&middle, 1, i + 2)) {
                            t.push_back(middle.t);
                            p.push_back(middle.p);
                            v.push_back(velocities[t.size() > 2 ? 2 : 1]);
                            merged = true;
                        }
                    }
                    if (merged) {
                        ++i;
                        continue;
                    }
                }
            }
            t.push_back(m_t[i]);
            p.push_back(m_p[i]);
            v.push_back(m_v[i]);
        }
        m_t = std::move(t);
        m_p = std::move(p);
        m_v = std::move(v);
    }

    const ClampedReference& m_reference;
    const std::vector<Time>& m_breaks;
    PieceJudge m_judge;
    std::vector<Time> m_t;
    std::vector<double> m_p;
    std::vector<double> m_v;  // the model's velocity at each point but the last
    bool m_held = true;
};

// The breaks on the grid: whole IU, ascending, from 0 to the end.
std::vector<Time> GridBreaks(const ReferenceMotion& reference) {
    const Time end = std::max<Time>(1, std::llround(reference.Duration()));
    std::vector<Time> breaks = {0};
    for (const double at : reference.Breaks()) {
        const Time t = std::llround(at);
        if (t > breaks.back() && t < end) breaks.push_back(t);
    }
    breaks.push_back(end);
    return breaks;
}

std::vector<Time> UniformTimes(const std::vector<Time>& breaks, Time step) {
    std::vector<Time> times = {0};
    for (size_t b = 1; b < breaks.size(); ++b) {
        for (Time t = breaks[b - 1] + step; t < breaks[b]; t += step) times.push_back(t);
        times.push_back(breaks[b]);
    }
    return times;
}

struct TableFigures {
    double deviation = 0;
    double deviationTime = 0;
    double peakAcceleration = 0;
};

TableFigures Measure(const ClampedReference& reference, const std::vector<double>& times,
                     const std::vector<double>& positions) {
    TableFigures figures;
    CTrajectoryPreview preview;
    std::string error;
    if (!preview.Build(times, positions, error)) return figures;
    for (const CubicSegment& piece : preview.GetSegments()) {
        const Gap gap = LargestGap(piece, reference, std::numeric_limits<double>::max());
        if (gap.value > figures.deviation)
            figures = {gap.value, gap.time, figures.peakAcceleration};
        figures.peakAcceleration = std::max(figures.peakAcceleration, PeakAcceleration(piece));
    }
    return figures;
}

struct Attempt {
    bool held = false;  // every piece within the bounds it was placed for
    std::vector<double> times;
    std::vector<double> positions;
    TableFigures figures;
};

Attempt Place(const ClampedReference& reference, const std::vector<Time>& breaks, Bounds bounds) {
    Attempt attempt;
    std::vector<Time> times;
    attempt.held = GreedyPlacer(reference, breaks, bounds).Place(times, attempt.positions);
    attempt.times.assign(times.begin(), times.end());
    attempt.figures = Measure(reference, attempt.times, attempt.positions);
    return attempt;
}

// The lowest bound in [low, high] that a placement holds, by bisection; `best` holds `high`.
template <class PlaceWithin>
Attempt Lowest(double low, double high, Attempt best, double& bound, PlaceWithin place) {
    bound = high;
    for (int round = 0; round < 8 && high > low * 1.001; ++round) {
        const double middle = 0.5 * (low + high);
        Attempt attempt = place(middle);
        if (attempt.held) {
            best = std::move(attempt);
            bound = high = middle;
        } else {
            low = middle;
        }
    }
    return best;
}

// Where the bounds cannot both be held: the tolerance first, with no bound on the acceleration,
// then the acceleration are raised to the lowest that a placement holds.
Attempt Relaxed(const ClampedReference& reference, const std::vector<Time>& breaks, Bounds bounds) {
    constexpr double kUnbounded = std::numeric_limits<double>::infinity();
    Attempt free = Place(reference, breaks, {bounds.deviation, kUnbounded});
    double tolerance = bounds.deviation;
    if (!free.held) {
        free = Lowest(bounds.deviation, free.figures.deviation, free, tolerance, [&](double d) {
            return Place(reference, breaks, {d, kUnbounded});
        });
    }
    double acceleration = 0;
    return Lowest(bounds.acceleration, free.figures.peakAcceleration, free, acceleration,
                  [&](double a) {
                      return Place(reference, breaks, {tolerance, a});
                  });
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

GridPlacement PlaceOnGrid(const ReferenceMotion& reference, const GridPlacementOptions& options) {
    const ClampedReference clamped(reference);
    const std::vector<Time> breaks = GridBreaks(reference);
    GridPlacement placement;
    placement.referencePeakAcceleration = options.referencePeakAcceleration >= 0
                                              ? options.referencePeakAcceleration
                                              : SampledPeakAcceleration(reference);
    const double accelerationBound =
        options.accelerationShare * placement.referencePeakAcceleration;

    Attempt result;
    if (options.uniformStep > 0) {
        const std::vector<Time> times =
            UniformTimes(breaks, std::min<Time>(options.uniformStep, kLongestStep));
        result.times.assign(times.begin(), times.end());
        for (const Time t : times) {
            result.positions.push_back(
                t == 0 ? 0 : std::round(clamped.Position(static_cast<double>(t))));
        }
        result.figures = Measure(clamped, result.times, result.positions);
    } else {
        const Bounds bounds = {options.tolerance, accelerationBound};
        result = Place(clamped, breaks, bounds);
        if (!result.held) {
            Attempt relaxed = Relaxed(clamped, breaks, bounds);
            const auto excess = [&bounds](const TableFigures& figures) {
                return std::max(figures.deviation / bounds.deviation,
                                figures.peakAcceleration / bounds.acceleration);
            };
            if (excess(relaxed.figures) <= excess(result.figures)) result = std::move(relaxed);
        }
    }
    placement.times = std::move(result.times);
    placement.positions = std::move(result.positions);
    placement.largestDeviation = result.figures.deviation;
    placement.largestDeviationTime = result.figures.deviationTime;
    placement.peakAcceleration = result.figures.peakAcceleration;
    placement.withinTolerance = placement.largestDeviation <= options.tolerance;
    placement.withinAcceleration = placement.peakAcceleration <= accelerationBound * (1 + 1e-12);
    return placement;
}
