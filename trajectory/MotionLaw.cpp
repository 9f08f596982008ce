#include "MotionLaw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double kPi = std::numbers::pi;

// The peak accelerations that make f(1) = 1: with the ramps' jerk 4π·C, half the move's travel
// is C·(1/(8π) + 1/(2π²)) for the modified sine and C·(1/(8π) + 1/16) for the trapezoid.
const double kModifiedSineCa = 4 * kPi * kPi / (kPi + 4);
const double kModifiedTrapezoidCa = 1 / (1 / (4 * kPi) + 1.0 / 8);

// A sine ramp of the acceleration from 0 to c over [0, s], s = u: the first eighth of both
// modified laws.
LawValues SineRamp(double c, double s) {
    const double w = 4 * kPi;
    return {c * (s / w - std::sin(w * s) / (w * w)), c * (1 - std::cos(w * s)) / w,
            c * std::sin(w * s), c * w * std::cos(w * s)};
}

// Where the first eighth's ramp ends, for both modified laws: computed once.
const LawValues kModifiedSineRamped = SineRamp(kModifiedSineCa, 1.0 / 8);
const LawValues kModifiedTrapezoidRamped = SineRamp(kModifiedTrapezoidCa, 1.0 / 8);

// The first half of the modified sine; the second mirrors it.
LawValues ModifiedSineHalf(double u) {
    const double c = kModifiedSineCa;
    if (u < 1.0 / 8) return SineRamp(c, u);
    const LawValues& start = kModifiedSineRamped;
    const double w = 4 * kPi / 3;
    const double s = u - 1.0 / 8;
    return {start.f + start.f1 * s + c * (1 - std::cos(w * s)) / (w * w),
            start.f1 + c * std::sin(w * s) / w, c * std::cos(w * s), -c * w * std::sin(w * s)};
}

// The first half of the modified trapezoid; the second mirrors it.
LawValues ModifiedTrapezoidHalf(double u) {
    const double c = kModifiedTrapezoidCa;
    if (u < 1.0 / 8) return SineRamp(c, u);
    const LawValues& ramped = kModifiedTrapezoidRamped;
    if (u < 3.0 / 8) {
        const double s = u - 1.0 / 8;
        return {ramped.f + ramped.f1 * s + c * s * s / 2, ramped.f1 + c * s, c, 0};
    }
    const double flat = 1.0 / 4;
    const LawValues turn = {ramped.f + ramped.f1 * flat + c * flat * flat / 2, ramped.f1 + c * flat,
                            c, 0};
    const double w = 4 * kPi;
    const double s = u - 3.0 / 8;
    return {turn.f + turn.f1 * s + c * (1 - std::cos(w * s)) / (w * w),
            turn.f1 + c * std::sin(w * s) / w, c * std::cos(w * s), -c * w * std::sin(w * s)};
}

// f(u) = 1 − f(1 − u): the second half of a law symmetric about its middle. A break at 1/2
// belongs to the second half.
template <typename Half>
LawValues Mirrored(Half half, double u) {
    if (u < 0.5) return half(u);
    const LawValues m = half(1 - u);
    return {1 - m.f, m.f1, -m.f2, m.f3};
}

LawValues Cubic(double u) { return {u * u * (3 - 2 * u), 6 * u * (1 - u), 6 - 12 * u, -12}; }

LawValues Harmonic(double u) {
    return {(1 - std::cos(kPi * u)) / 2, kPi / 2 * std::sin(kPi * u),
            kPi * kPi / 2 * std::cos(kPi * u), -kPi * kPi * kPi / 2 * std::sin(kPi * u)};
}

LawValues Cycloidal(double u) {
    const double w = 2 * kPi;
    return {u - std::sin(w * u) / w, 1 - std::cos(w * u), w * std::sin(w * u),
            w * w * std::cos(w * u)};
}

LawValues Poly345(double u) {
    const double u2 = u * u;
    return {u2 * u * (10 + u * (-15 + 6 * u)), u2 * (30 + u * (-60 + 30 * u)),
            u * (60 + u * (-180 + 120 * u)), 60 + u * (-360 + 360 * u)};
}

LawValues Poly4567(double u) {
    const double u2 = u * u;
    return {u2 * u2 * (35 + u * (-84 + u * (70 - 20 * u))),
            u2 * u * (140 + u * (-420 + u * (420 - 140 * u))),
            u2 * (420 + u * (-1680 + u * (2100 - 840 * u))),
            u * (840 + u * (-5040 + u * (8400 - 4200 * u)))};
}

LawValues ModifiedSine(double u) { return Mirrored(ModifiedSineHalf, u); }
LawValues ModifiedTrapezoid(double u) { return Mirrored(ModifiedTrapezoidHalf, u); }
LawValues Dwell(double) { return {0, 0, 0, 0}; }
LawValues Cruise(double u) { return {u, 1, 0, 0}; }

// One row a law: a new law is its function above, a row here and its name in Kind (before
// Poly5). Poly5 has no function of its own: its values come from its coefficients, its peaks
// from sampling them.
struct LawRow {
    MotionLaw::Kind kind;
    std::string_view name;
    LawValues (*values)(double u);
    LawCharacteristics peaks;
    std::array<double, 4> breaks;  // where f''' jumps inside (0, 1); unused ones 0
    bool restToRest;
};

const double kPi2 = kPi * kPi;

const std::array<LawRow, 10> kLaws = {{
    {MotionLaw::Kind::Cubic, "cubic", Cubic, {1.5, 6, 12}, {}, true},
    {MotionLaw::Kind::Harmonic, "harmonic", Harmonic, {kPi / 2, kPi2 / 2, kPi2* kPi / 2}, {}, true},
    {MotionLaw::Kind::Cycloidal, "cycloidal", Cycloidal, {2, 2 * kPi, 4 * kPi2}, {}, true},
    // f'' peaks where f''' = 0: u = 1/2 ± √3/6.
    {MotionLaw::Kind::Poly345, "poly345", Poly345, {1.875, 10 * std::sqrt(3.0) / 3, 60}, {}, true},
    // f'' peaks where f''' = 0: u = 1/2 ± √5/10.
    {MotionLaw::Kind::Poly4567,
     "poly4567",
     Poly4567,
     {2.1875, Poly4567(0.5 - std::sqrt(5.0) / 10).f2, 52.5},
     {},
     true},
    {MotionLaw::Kind::ModifiedSine,
     "modified-sine",
     ModifiedSine,
     {kModifiedSineCa / kPi, kModifiedSineCa, 4 * kPi* kModifiedSineCa},
     {1.0 / 8, 7.0 / 8},
     true},
    {MotionLaw::Kind::ModifiedTrapezoid,
     "modified-trapezoid",
     ModifiedTrapezoid,
     {kModifiedTrapezoidCa * (0.25 + 1 / (2 * kPi)), kModifiedTrapezoidCa,
      4 * kPi* kModifiedTrapezoidCa},
     {1.0 / 8, 3.0 / 8, 5.0 / 8, 7.0 / 8},
     true},
    {MotionLaw::Kind::Dwell, "dwell", Dwell, {0, 0, 0}, {}, false},
    {MotionLaw::Kind::Cruise, "cruise", Cruise, {1, 0, 0}, {}, false},
    {MotionLaw::Kind::Poly5, "poly5", nullptr, {}, {}, false},
}};

// A kind without its row does not build.
static_assert(kLaws.size() == static_cast<size_t>(MotionLaw::Kind::Poly5) + 1);

const LawRow& RowOf(MotionLaw::Kind kind) {
    for (const LawRow& row : kLaws) {
        if (row.kind == kind) return row;
    }
    return kLaws.back();
}

}  // namespace

std::optional<MotionLaw> MotionLaw::Named(std::string_view name) {
    for (const LawRow& row : kLaws) {
        if (row.name == name && row.kind != Kind::Poly5) return MotionLaw(row.kind);
    }
    return std::nullopt;
}

MotionLaw MotionLaw::Of(Kind kind) { return MotionLaw(kind); }

MotionLaw MotionLaw::Poly5(double end, double f1Start, double f2Start, double f1End, double f2End) {
    MotionLaw law(Kind::Poly5);
    double* c = law.m_c;
    c[0] = 0;
    c[1] = f1Start;
    c[2] = f2Start / 2;
    // What is left for u³, u⁴, u⁵ at u = 1 after the first three terms.
    const double p = end - c[1] - c[2];
    const double v = f1End - c[1] - 2 * c[2];
    const double a = f2End - 2 * c[2];
    c[3] = 10 * p - 4 * v + a / 2;
    c[4] = -15 * p + 7 * v - a;
    c[5] = 6 * p - 3 * v + a / 2;
    return law;
}

std::string_view MotionLaw::Name() const { return RowOf(m_kind).name; }

std::string_view MotionLaw::KnownNames() {
    static const std::string names = [] {
        std::string list;
        for (const LawRow& row : kLaws) list += (list.empty() ? "" : ", ") + std::string(row.name);
        return list;
    }();
    return names;
}

LawValues MotionLaw::At(double u) const {
    if (m_kind != Kind::Poly5) return RowOf(m_kind).values(u);
    const double* c = m_c;
    return {c[0] + u * (c[1] + u * (c[2] + u * (c[3] + u * (c[4] + u * c[5])))),
            c[1] + u * (2 * c[2] + u * (3 * c[3] + u * (4 * c[4] + u * 5 * c[5]))),
            2 * c[2] + u * (6 * c[3] + u * (12 * c[4] + u * 20 * c[5])),
            6 * c[3] + u * (24 * c[4] + u * 60 * c[5])};
}

std::vector<double> MotionLaw::InnerBreaks() const {
    std::vector<double> breaks;
    for (double u : RowOf(m_kind).breaks) {
        if (u > 0) breaks.push_back(u);
    }
    return breaks;
}

bool MotionLaw::IsRestToRest() const { return RowOf(m_kind).restToRest; }

LawCharacteristics MotionLaw::Characteristics() const {
    if (m_kind != Kind::Poly5) return RowOf(m_kind).peaks;
    // A quintic has no closed peaks worth the algebra: a fine sampling of its smooth derivatives.
    LawCharacteristics peaks;
    constexpr int kSamples = 4096;
    for (int k = 0; k <= kSamples; ++k) {
        const LawValues v = At(static_cast<double>(k) / kSamples);
        peaks.cv = std::max(peaks.cv, std::abs(v.f1));
        peaks.ca = std::max(peaks.ca, std::abs(v.f2));
        peaks.cj = std::max(peaks.cj, std::abs(v.f3));
    }
    return peaks;
}
