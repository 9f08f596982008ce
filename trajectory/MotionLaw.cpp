#include "MotionLaw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

struct NamedLaw {
    std::string_view name;
    MotionLaw::Kind kind;
};

constexpr std::array<NamedLaw, 10> kNames = {{
    {"cubic", MotionLaw::Kind::Cubic},
    {"harmonic", MotionLaw::Kind::Harmonic},
    {"cycloidal", MotionLaw::Kind::Cycloidal},
    {"poly345", MotionLaw::Kind::Poly345},
    {"poly4567", MotionLaw::Kind::Poly4567},
    {"modified-sine", MotionLaw::Kind::ModifiedSine},
    {"modified-trapezoid", MotionLaw::Kind::ModifiedTrapezoid},
    {"dwell", MotionLaw::Kind::Dwell},
    {"cruise", MotionLaw::Kind::Cruise},
    {"poly5", MotionLaw::Kind::Poly5},
}};

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

}  // namespace

std::optional<MotionLaw> MotionLaw::Named(std::string_view name) {
    for (const NamedLaw& entry : kNames) {
        if (entry.name == name && entry.kind != Kind::Poly5) return MotionLaw(entry.kind);
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

std::string_view MotionLaw::Name() const {
    for (const NamedLaw& entry : kNames) {
        if (entry.kind == m_kind) return entry.name;
    }
    return {};
}

std::string_view MotionLaw::KnownNames() {
    return "cubic, harmonic, cycloidal, poly345, poly4567, modified-sine, modified-trapezoid, "
           "dwell, cruise, poly5";
}

LawValues MotionLaw::At(double u) const {
    switch (m_kind) {
        case Kind::Cubic:
            return {u * u * (3 - 2 * u), 6 * u * (1 - u), 6 - 12 * u, -12};
        case Kind::Harmonic:
            return {(1 - std::cos(kPi * u)) / 2, kPi / 2 * std::sin(kPi * u),
                    kPi * kPi / 2 * std::cos(kPi * u), -kPi * kPi * kPi / 2 * std::sin(kPi * u)};
        case Kind::Cycloidal: {
            const double w = 2 * kPi;
            return {u - std::sin(w * u) / w, 1 - std::cos(w * u), w * std::sin(w * u),
                    w * w * std::cos(w * u)};
        }
        case Kind::Poly345: {
            const double u2 = u * u;
            return {u2 * u * (10 + u * (-15 + 6 * u)), u2 * (30 + u * (-60 + 30 * u)),
                    u * (60 + u * (-180 + 120 * u)), 60 + u * (-360 + 360 * u)};
        }
        case Kind::Poly4567: {
            const double u2 = u * u;
            return {u2 * u2 * (35 + u * (-84 + u * (70 - 20 * u))),
                    u2 * u * (140 + u * (-420 + u * (420 - 140 * u))),
                    u2 * (420 + u * (-1680 + u * (2100 - 840 * u))),
                    u * (840 + u * (-5040 + u * (8400 - 4200 * u)))};
        }
        case Kind::ModifiedSine:
            return Mirrored(ModifiedSineHalf, u);
        case Kind::ModifiedTrapezoid:
            return Mirrored(ModifiedTrapezoidHalf, u);
        case Kind::Dwell:
            return {0, 0, 0, 0};
        case Kind::Cruise:
            return {u, 1, 0, 0};
        case Kind::Poly5: {
            const double* c = m_c;
            return {c[0] + u * (c[1] + u * (c[2] + u * (c[3] + u * (c[4] + u * c[5])))),
                    c[1] + u * (2 * c[2] + u * (3 * c[3] + u * (4 * c[4] + u * 5 * c[5]))),
                    2 * c[2] + u * (6 * c[3] + u * (12 * c[4] + u * 20 * c[5])),
                    6 * c[3] + u * (24 * c[4] + u * 60 * c[5])};
        }
    }
    return {};
}

std::vector<double> MotionLaw::InnerBreaks() const {
    switch (m_kind) {
        case Kind::ModifiedSine:
            return {1.0 / 8, 7.0 / 8};
        case Kind::ModifiedTrapezoid:
            return {1.0 / 8, 3.0 / 8, 5.0 / 8, 7.0 / 8};
        default:
            return {};
    }
}

bool MotionLaw::IsRestToRest() const {
    switch (m_kind) {
        case Kind::Dwell:
        case Kind::Cruise:
        case Kind::Poly5:
            return false;
        default:
            return true;
    }
}

LawCharacteristics MotionLaw::Characteristics() const {
    const double pi2 = kPi * kPi;
    switch (m_kind) {
        case Kind::Cubic:
            return {1.5, 6, 12};
        case Kind::Harmonic:
            return {kPi / 2, pi2 / 2, pi2 * kPi / 2};
        case Kind::Cycloidal:
            return {2, 2 * kPi, 4 * pi2};
        case Kind::Poly345:
            // f'' peaks where f''' = 0: u = 1/2 ± √3/6.
            return {1.875, 10 * std::sqrt(3.0) / 3, 60};
        case Kind::Poly4567: {
            // f'' peaks where f''' = 0: u = 1/2 ± √5/10.
            const double u = 0.5 - std::sqrt(5.0) / 10;
            return {2.1875, At(u).f2, 52.5};
        }
        case Kind::ModifiedSine:
            return {kModifiedSineCa / kPi, kModifiedSineCa, 4 * kPi * kModifiedSineCa};
        case Kind::ModifiedTrapezoid:
            return {kModifiedTrapezoidCa * (0.25 + 1 / (2 * kPi)), kModifiedTrapezoidCa,
                    4 * kPi * kModifiedTrapezoidCa};
        case Kind::Dwell:
            return {0, 0, 0};
        case Kind::Cruise:
            return {1, 0, 0};
        case Kind::Poly5:
            break;
    }
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
