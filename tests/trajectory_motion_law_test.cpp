// The motion laws against finite differences of their own f, their published characteristic
// values, and a fine sampling of their derivatives.
#include <MotionLaw.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using Kind = MotionLaw::Kind;

const std::vector<Kind> kMoves = {
    Kind::Cubic,    Kind::Harmonic,     Kind::Cycloidal,        Kind::Poly345,
    Kind::Poly4567, Kind::ModifiedSine, Kind::ModifiedTrapezoid};

// Fornberg's weights for the derivatives 0..3 at `at` from f at the nodes.
std::vector<std::array<double, 4>> StencilWeights(double at, const std::vector<double>& nodes) {
    const size_t n = nodes.size();
    std::vector<std::array<double, 4>> c(n, {0, 0, 0, 0});
    c[0][0] = 1;
    double c1 = 1;
    double c4 = nodes[0] - at;
    for (size_t i = 1; i < n; ++i) {
        const int mn = static_cast<int>(std::min<size_t>(i, 3));
        double c2 = 1;
        const double c5 = c4;
        c4 = nodes[i] - at;
        for (size_t j = 0; j < i; ++j) {
            const double c3 = nodes[i] - nodes[j];
            c2 *= c3;
            if (j == i - 1) {
                for (int k = mn; k >= 1; --k) {
                    c[i][k] = c1 * (k * c[i - 1][k - 1] - c5 * c[i - 1][k]) / c2;
                }
                c[i][0] = -c1 * c5 * c[i - 1][0] / c2;
            }
            for (int k = mn; k >= 1; --k) c[j][k] = (c4 * c[j][k] - k * c[j][k - 1]) / c3;
            c[j][0] = c4 * c[j][0] / c3;
        }
        c1 = c2;
    }
    return c;
}

// f', f'' and f''' at u from f alone, on eight nodes to one side (direction +1 or −1), so that
// the stencil stays inside one piece of a law that changes formula at u.
LawValues FiniteDifferences(const MotionLaw& law, double u, int direction) {
    const double h = direction / 512.0;
    std::vector<double> nodes;
    for (int j = 0; j < 8; ++j) nodes.push_back(u + j * h);
    const auto weights = StencilWeights(u, nodes);
    LawValues d;
    for (size_t j = 0; j < nodes.size(); ++j) {
        const double f = law.At(nodes[j]).f;
        d.f += weights[j][0] * f;
        d.f1 += weights[j][1] * f;
        d.f2 += weights[j][2] * f;
        d.f3 += weights[j][3] * f;
    }
    return d;
}

void ExpectDerivativesMatch(const MotionLaw& law, double u, int direction) {
    const LawValues exact = law.At(u);
    const LawValues differences = FiniteDifferences(law, u, direction);
    const std::string where = std::string(law.Name()) + " at " + std::to_string(u) +
                              (direction > 0 ? " from the right" : " from the left");
    const auto near = [](double a) { return 1e-5 * std::max(1.0, std::abs(a)); };
    EXPECT_NEAR(differences.f, exact.f, 1e-12) << where;
    EXPECT_NEAR(differences.f1, exact.f1, near(exact.f1)) << where;
    EXPECT_NEAR(differences.f2, exact.f2, near(exact.f2)) << where;
    EXPECT_NEAR(differences.f3, exact.f3, 10 * near(exact.f3)) << where;
}

TEST(MotionLaw, DerivativesAtEndsBreaksAndInsideMatchFiniteDifferences) {
    std::vector<MotionLaw> laws;
    for (Kind kind : kMoves) laws.push_back(MotionLaw::Of(kind));
    laws.push_back(MotionLaw::Of(Kind::Cruise));
    laws.push_back(MotionLaw::Poly5(1, 0.4, -2, 1.5, 3));
    for (const MotionLaw& law : laws) {
        ExpectDerivativesMatch(law, 0, +1);
        ExpectDerivativesMatch(law, 1, -1);
        for (double u : law.InnerBreaks()) {
            // The values at a break are the next piece's, and f, f', f'' agree on both sides.
            ExpectDerivativesMatch(law, u, +1);
            ExpectDerivativesMatch(law, u, -1);
        }
        for (double u : {0.3, 0.5, 0.7}) ExpectDerivativesMatch(law, u, +1);
    }
}

TEST(MotionLaw, MovesGoFromRestAtZeroToRestAtOne) {
    for (Kind kind : kMoves) {
        const MotionLaw law = MotionLaw::Of(kind);
        EXPECT_TRUE(law.IsRestToRest()) << law.Name();
        EXPECT_EQ(law.At(0).f, 0) << law.Name();
        EXPECT_NEAR(law.At(1).f, 1, 1e-14) << law.Name();
        EXPECT_NEAR(law.At(0).f1, 0, 1e-14) << law.Name();
        EXPECT_NEAR(law.At(1).f1, 0, 1e-14) << law.Name();
        // Half way at half time: every one of them is symmetric.
        EXPECT_NEAR(law.At(0.5).f, 0.5, 1e-14) << law.Name();
        if (kind != Kind::Harmonic && kind != Kind::Cubic) {
            EXPECT_NEAR(law.At(0).f2, 0, 1e-12) << law.Name();
            EXPECT_NEAR(law.At(1).f2, 0, 1e-12) << law.Name();
        }
    }
    EXPECT_NEAR(MotionLaw::Of(Kind::Harmonic).At(0).f2, 4.935, 5e-4);
    EXPECT_EQ(MotionLaw::Of(Kind::Dwell).At(0.4).f, 0);
    EXPECT_FALSE(MotionLaw::Of(Kind::Cruise).IsRestToRest());
}

TEST(MotionLaw, CharacteristicValuesAreThePublishedOnesAndThePeaksOfASampling) {
    struct Published {
        Kind kind;
        double cv, cvDigits, ca, caDigits, cj, cjDigits;
    };
    // The tables' values and the place of their last digit.
    const std::vector<Published> published = {
        {Kind::Cubic, 1.5, 0.1, 6, 1, 12, 1},
        {Kind::Harmonic, 1.571, 1e-3, 4.935, 1e-3, 15.50, 1e-2},
        {Kind::Cycloidal, 2, 1, 6.283, 1e-3, 39.48, 1e-2},
        {Kind::Poly345, 1.875, 1e-3, 5.774, 1e-3, 60, 1},
        {Kind::Poly4567, 2.1875, 1e-4, 7.513, 1e-3, 52.5, 0.1},
        {Kind::ModifiedSine, 1.760, 1e-3, 5.528, 1e-3, 69.47, 1e-2},
        {Kind::ModifiedTrapezoid, 2, 1, 4.888, 1e-3, 61.43, 1e-2},
    };
    for (const Published& p : published) {
        const MotionLaw law = MotionLaw::Of(p.kind);
        const LawCharacteristics c = law.Characteristics();
        EXPECT_NEAR(c.cv, p.cv, p.cvDigits / 2) << law.Name();
        EXPECT_NEAR(c.ca, p.ca, p.caDigits / 2) << law.Name();
        EXPECT_NEAR(c.cj, p.cj, p.cjDigits / 2) << law.Name();
        // Whole numbers in the table are exact.
        if (p.cvDigits == 1) {
            EXPECT_NEAR(c.cv, p.cv, 1e-12) << law.Name();
        }
        if (p.cjDigits == 1) {
            EXPECT_NEAR(c.cj, p.cj, 1e-12) << law.Name();
        }

        LawCharacteristics sampled;
        constexpr int kSamples = 200000;
        for (int k = 0; k <= kSamples; ++k) {
            const LawValues v = law.At(static_cast<double>(k) / kSamples);
            sampled.cv = std::max(sampled.cv, std::abs(v.f1));
            sampled.ca = std::max(sampled.ca, std::abs(v.f2));
            sampled.cj = std::max(sampled.cj, std::abs(v.f3));
        }
        EXPECT_NEAR(sampled.cv, c.cv, 1e-8) << law.Name();
        EXPECT_NEAR(sampled.ca, c.ca, 1e-7) << law.Name();
        EXPECT_NEAR(sampled.cj, c.cj, 1e-5) << law.Name();
    }
}

TEST(MotionLaw, Poly5MeetsItsEnds) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> value(-4, 4);
    for (int trial = 0; trial < 20; ++trial) {
        const double end = value(random), v0 = value(random), a0 = value(random),
                     v1 = value(random), a1 = value(random);
        const MotionLaw law = MotionLaw::Poly5(end, v0, a0, v1, a1);
        const LawValues start = law.At(0);
        const LawValues finish = law.At(1);
        EXPECT_EQ(start.f, 0);
        EXPECT_DOUBLE_EQ(start.f1, v0);
        EXPECT_DOUBLE_EQ(start.f2, a0);
        EXPECT_NEAR(finish.f, end, 1e-12);
        EXPECT_NEAR(finish.f1, v1, 1e-12);
        EXPECT_NEAR(finish.f2, a1, 1e-12);
        ExpectDerivativesMatch(law, 0.5, -1);
    }
    // From rest to rest it is the poly345.
    const MotionLaw rest = MotionLaw::Poly5(1, 0, 0, 0, 0);
    for (double u : {0.1, 0.45, 0.9}) {
        EXPECT_NEAR(rest.At(u).f, MotionLaw::Of(Kind::Poly345).At(u).f, 1e-14);
    }
}

TEST(MotionLaw, NamesAreThoseOfProfiles) {
    for (const char* name : {"cubic", "harmonic", "cycloidal", "poly345", "poly4567",
                             "modified-sine", "modified-trapezoid", "dwell", "cruise"}) {
        const std::optional<MotionLaw> law = MotionLaw::Named(name);
        ASSERT_TRUE(law.has_value()) << name;
        EXPECT_EQ(law->Name(), name);
    }
    EXPECT_EQ(MotionLaw::Poly5(1, 0, 0, 0, 0).Name(), "poly5");
    // poly5 needs its neighbours, so a bare name gives none; nor does a near miss.
    EXPECT_FALSE(MotionLaw::Named("poly5"));
    EXPECT_FALSE(MotionLaw::Named("Cycloidal"));
    EXPECT_FALSE(MotionLaw::Named("modified_sine"));
}

}  // namespace
