#include "regression/structure_fits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <stdexcept>

namespace tolvar {
namespace {

struct DesignCase {
    const char* name;
    int N;
    bool weighted;
    std::vector<int> vars;  // the structure, among 6 variables
    // 0 none, 1 variable 4 repeats variable 2, 2 y lies exactly on the plane
    int special;
};

void PrintTo(const DesignCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReducedDesignTest : public ::testing::TestWithParam<DesignCase> {};

double relativeGap(double a, double b)
{
    return std::fabs(a - b) / std::max({1.0, std::fabs(a), std::fabs(b)});
}

// A structure fitted on the small factor of the whole design gives what the
// fit of its own N x (k + 1) design gives: the same estimates, covariance,
// residual variance, tests and listing, to far below the printed digits.
TEST_P(ReducedDesignTest, EqualsTheFitOfTheStructuresOwnDesign)
{
    const DesignCase& c = GetParam();
    constexpr int V = 6;
    std::mt19937_64 rng(42);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<std::vector<double>> x(V + 1, std::vector<double>(static_cast<std::size_t>(c.N)));
    std::vector<double> y(static_cast<std::size_t>(c.N)), s(static_cast<std::size_t>(c.N));
    for (int i = 0; i < c.N; ++i) {
        const auto ii = static_cast<std::size_t>(i);
        for (int v = 1; v <= V; ++v)
            x[static_cast<std::size_t>(v)][ii] = 100.0 * v + 10.0 * noise(rng) + 0.01 * i;
        if (c.special == 1)
            x[4][ii] = x[2][ii];
        y[ii] = 50.0 + 0.8 * x[1][ii] - 0.3 * x[2][ii] + 0.1 * x[5][ii] +
                (c.special == 2 ? 0.0 : 4.0 * noise(rng));
        s[ii] = 1.0 + std::fabs(noise(rng)) * 3.0;
    }
    const ReducedDesign design(x, y, s, c.weighted);
    const StructureFit fit = fitStructure(design, c.vars);
    ASSERT_EQ(fit.status, 0);
    const ResultContent got = structureResult(design, c.vars, fit);

    const int k = static_cast<int>(c.vars.size());
    TMatrix X(k, c.N);
    TVector Y(c.N), S(c.N);
    for (int i = 1; i <= c.N; ++i) {
        const auto ii = static_cast<std::size_t>(i - 1);
        for (int j = 1; j <= k; ++j)
            X[j][i] = x[static_cast<std::size_t>(c.vars[static_cast<std::size_t>(j - 1)])][ii];
        Y[i] = y[ii];
        S[i] = s[ii];
    }
    const FitOutput want = FitRegression(X, Y, S, c.N, k, true, c.weighted);
    ASSERT_EQ(want.status, 0);

    constexpr double kTolerance = 1e-9;
    EXPECT_LT(relativeGap(got.test.Vr, want.test.Vr), kTolerance);
    if (c.special == 2) {
        EXPECT_EQ(got.test.Vr, 0.0) << "a perfect fit is recognised as one";
    }
    EXPECT_LT(relativeGap(got.test.F, want.test.F), 1e-7);
    for (int j = 0; j <= k; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        EXPECT_LT(relativeGap(got.B[jj], (*want.B)[j]), kTolerance) << "b" << j;
        EXPECT_LT(relativeGap(got.SB[jj], (*want.SB)[j]), kTolerance) << "sb" << j;
        EXPECT_EQ(got.SB[jj] > 0.0, (*want.SB)[j] > 0.0) << "b" << j << " tested alike";
        for (int l = 0; l <= k; ++l)
            EXPECT_LT(relativeGap(got.V[jj * static_cast<std::size_t>(k + 1) + static_cast<std::size_t>(l)],
                                  (*want.V)[j][l]),
                      kTolerance);
    }
    for (int i = 1; i <= c.N; ++i) {
        const auto ii = static_cast<std::size_t>(i - 1);
        EXPECT_LT(relativeGap(got.Ycalc[ii], (*want.Ycalc)[i]), kTolerance);
        EXPECT_LT(relativeGap(got.S[ii], (*want.S)[i]), kTolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReducedDesignTest,
    ::testing::Values(DesignCase{"Unweighted", 200, false, {1, 2, 5}, 0},
                      DesignCase{"Weighted", 200, true, {1, 2, 5}, 0},
                      DesignCase{"OneVariable", 40, true, {3}, 0},
                      DesignCase{"AllVariables", 60, false, {1, 2, 3, 4, 5, 6}, 0},
                      DesignCase{"OneDegreeOfFreedom", 5, false, {1, 2, 3}, 0},
                      DesignCase{"FewerRecordsThanColumns", 6, true, {2, 6}, 0},
                      DesignCase{"DependentColumns", 150, false, {1, 2, 4}, 1},
                      DesignCase{"PerfectFit", 30, false, {1, 2, 5}, 2},
                      DesignCase{"ManyRecords", 8000, true, {1, 5}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParallelFor, EveryIndexOnceProgressRisingFirstFailureByIndex)
{
    constexpr std::size_t kCount = 1000;
    std::vector<std::atomic<int>> seen(kCount);
    std::vector<std::size_t> ticks;
    parallelFor(
        kCount, [&](std::size_t i) { ++seen[i]; },
        [&](std::size_t done) { ticks.push_back(done); });
    for (std::size_t i = 0; i < kCount; ++i)
        EXPECT_EQ(seen[i], 1) << i;
    ASSERT_FALSE(ticks.empty());
    EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end()));
    EXPECT_EQ(ticks.back(), kCount);

    try {
        parallelFor(
            kCount,
            [](std::size_t i) {
                if (i == 700 || i == 300)
                    throw std::runtime_error(std::to_string(i));
            },
            {});
        FAIL() << "no failure came back";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "300");
    }
    parallelFor(0, [](std::size_t) { FAIL(); }, {});
}

}  // namespace
}  // namespace tolvar
