// A motion law: the shape of one move, normalised to u in [0, 1] with f(0) = 0 and f(1) = 1
// (a dwell stays at 0), with its exact first, second and third derivatives. A move of h in T
// follows p = h·f(t/T), v = h/T·f', a = h/T²·f'', j = h/T³·f'''.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

struct LawValues {
    double f = 0;
    double f1 = 0;  // f'
    double f2 = 0;  // f''
    double f3 = 0;  // f'''
};

// The peaks of |f'|, |f''| and |f'''| over [0, 1]: the move's peak speed, acceleration and jerk
// in units of h/T, h/T² and h/T³.
struct LawCharacteristics {
    double cv = 0;
    double ca = 0;
    double cj = 0;
};

class MotionLaw {
public:
    enum class Kind {
        Cubic,              // Cv 1.5,    Ca 6,     Cj 12
        Harmonic,           // Cv 1.571,  Ca 4.935, Cj 15.50; acceleration not zero at the ends
        Cycloidal,          // Cv 2,      Ca 6.283, Cj 39.48
        Poly345,            // Cv 1.875,  Ca 5.774, Cj 60
        Poly4567,           // Cv 2.1875, Ca 7.513, Cj 52.5
        ModifiedSine,       // Cv 1.760,  Ca 5.528, Cj 69.47
        ModifiedTrapezoid,  // Cv 2,      Ca 4.888, Cj 61.43
        Dwell,              // no travel
        Cruise,             // f = u
        Poly5,              // a quintic between given ends; stays last
    };

    // The law named as in a profile ("cycloidal", "modified-sine", ...); poly5 needs its ends,
    // so it has no name here.
    static std::optional<MotionLaw> Named(std::string_view name);
    static MotionLaw Of(Kind kind);
    // The quintic with f(0) = 0, f(1) = `end` and the given normalised slopes and curvatures at
    // its ends.
    static MotionLaw Poly5(double end, double f1Start, double f2Start, double f1End, double f2End);

    Kind GetKind() const { return m_kind; }
    std::string_view Name() const;
    // Values at u in [0, 1]; at an inner break, those of the piece that starts there.
    LawValues At(double u) const;
    // Where the law changes its formula inside (0, 1): f''' jumps there.
    std::vector<double> InnerBreaks() const;
    // Starts and ends with f' = 0.
    bool IsRestToRest() const;
    LawCharacteristics Characteristics() const;

    // The names a profile may use, poly5 included, for messages.
    static std::string_view KnownNames();

private:
    explicit MotionLaw(Kind kind) : m_kind(kind) {}

    Kind m_kind;
    double m_c[6] = {};  // poly5: f = Σ m_c[k]·u^k
};
