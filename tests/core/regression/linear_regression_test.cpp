#include "regression/linear_regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace tolvar {
namespace {

// A data set in the engine's layout: X[j][i], Y[i], s[i] for i = 1..N.
struct Data {
    Data(int n, int kk) : N(n), k(kk), X(kk, n), Y(n), s(n) {}
    int N, k;
    TMatrix X;
    TVector Y, s;
    FitOutput fit(bool weighted) const { return FitRegression(X, Y, s, N, k, true, weighted); }
};

TEST(FitRegression, ExactLineIsAPerfectFit)
{
    Data d(5, 1);
    for (int i = 1; i <= 5; ++i) {
        d.X[1][i] = i;
        d.Y[i] = 2 + 3.0 * i;
    }
    const FitOutput f = d.fit(false);
    ASSERT_EQ(f.status, 0);
    EXPECT_NEAR((*f.B)[0], 2.0, 1e-12);
    EXPECT_NEAR((*f.B)[1], 3.0, 1e-12);
    // Rounding leaves residuals of about 1e-15; they count as none.
    EXPECT_EQ(f.test.Vr, 0.0);
    EXPECT_EQ(f.test.F, LargestReal);
    EXPECT_EQ(f.test.ProbF, 0.0);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ((*f.S)[i], 0.0);
    for (int j = 0; j <= 1; ++j) {
        EXPECT_EQ((*f.SB)[j], 0.0);
        EXPECT_EQ((*f.T)[j], 0.0);
        EXPECT_EQ((*f.ProbT)[j], 1.0);
        for (int l = 0; l <= 1; ++l)
            EXPECT_EQ((*f.V)[j][l], 0.0);
    }
}

TEST(FitRegression, ExactPlaneOnLargeCoordinatesIsAPerfectFit)
{
    Data d(9, 2);
    for (int i = 1; i <= d.N; ++i) {
        d.X[1][i] = 155000.0 + 25.0 * i;
        d.X[2][i] = 463000.0 + 37.5 * ((i * 5) % 9);
        d.Y[i] = -12.5 + 0.003 * d.X[1][i] + 0.0007 * d.X[2][i];
    }
    const FitOutput f = d.fit(false);
    ASSERT_EQ(f.status, 0);
    EXPECT_EQ(f.test.Vr, 0.0);
    EXPECT_EQ(f.test.F, LargestReal);
}

TEST(FitRegression, SmallRealResidualsAreNotMistakenForAPerfectFit)
{
    Data d(6, 1);
    for (int i = 1; i <= d.N; ++i) {
        d.X[1][i] = i;
        d.Y[i] = 2 + 3.0 * i + (i % 2 ? 1e-6 : -1e-6);
    }
    const FitOutput f = d.fit(false);
    EXPECT_GT(f.test.Vr, 0.0);
    EXPECT_LT(f.test.F, LargestReal);
}

// Weighted least squares by the normal equations, as an independent check.
struct Reference {
    std::vector<double> b;
    std::vector<std::vector<double>> cov;  // unscaled (X'WX)^-1
};

Reference normalEquations(const Data& d, const std::vector<double>& w)
{
    const int p = d.k + 1;
    std::vector<std::vector<double>> a(p, std::vector<double>(2 * p + 1, 0.0));
    for (int i = 1; i <= d.N; ++i) {
        std::vector<double> row(p);
        row[0] = 1;
        for (int j = 1; j <= d.k; ++j)
            row[j] = d.X[j][i];
        for (int r = 0; r < p; ++r) {
            for (int c = 0; c < p; ++c)
                a[r][c] += w[i] * row[r] * row[c];
            a[r][2 * p] += w[i] * row[r] * d.Y[i];
        }
    }
    for (int r = 0; r < p; ++r)
        a[r][p + r] = 1.0;
    for (int c = 0; c < p; ++c) {  // Gauss-Jordan with partial pivoting
        int pivot = c;
        for (int r = c + 1; r < p; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
                pivot = r;
        std::swap(a[c], a[pivot]);
        const double div = a[c][c];
        for (double& v : a[c])
            v /= div;
        for (int r = 0; r < p; ++r)
            if (r != c) {
                const double factor = a[r][c];
                for (int col = 0; col <= 2 * p; ++col)
                    a[r][col] -= factor * a[c][col];
            }
    }
    Reference ref;
    for (int r = 0; r < p; ++r) {
        ref.b.push_back(a[r][2 * p]);
        ref.cov.emplace_back(a[r].begin() + p, a[r].begin() + 2 * p);
    }
    return ref;
}

TEST(FitRegression, AgreesWithTheNormalEquationsWeightedAndUnweighted)
{
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 5.0);
    std::uniform_real_distribution<double> value(0.0, 100.0), sd(0.0, 20.0);
    Data d(40, 3);
    for (int i = 1; i <= d.N; ++i) {
        for (int j = 1; j <= d.k; ++j)
            d.X[j][i] = value(rng);
        d.Y[i] = 30 + 0.5 * d.X[1][i] - 0.2 * d.X[2][i] + 0.05 * d.X[3][i] + noise(rng);
        d.s[i] = sd(rng);
    }
    for (bool weighted : {false, true}) {
        SCOPED_TRACE(weighted ? "weighted" : "unweighted");
        std::vector<double> w(d.N + 1, 1.0);
        if (weighted) {
            double sum = 0;
            for (int i = 1; i <= d.N; ++i)
                sum += w[i] = 1.0 / (1.0 + d.s[i]);
            for (int i = 1; i <= d.N; ++i)
                w[i] *= d.N / sum;
        }
        const Reference ref = normalEquations(d, w);
        const FitOutput f = d.fit(weighted);
        ASSERT_EQ(f.status, 0);
        double ymean = 0;
        for (int i = 1; i <= d.N; ++i)
            ymean += d.Y[i] / d.N;
        double sst = 0, sse = 0, ssr = 0;
        for (int i = 1; i <= d.N; ++i) {
            double yc = ref.b[0];
            for (int j = 1; j <= d.k; ++j)
                yc += ref.b[j] * d.X[j][i];
            EXPECT_NEAR((*f.Ycalc)[i], yc, 1e-9);
            sst += w[i] * (d.Y[i] - ymean) * (d.Y[i] - ymean);
            sse += w[i] * (yc - ymean) * (yc - ymean);
            ssr += w[i] * (d.Y[i] - yc) * (d.Y[i] - yc);
        }
        const double vr = ssr / (d.N - 4);
        EXPECT_NEAR(f.test.Vr, vr, 1e-9 * vr);
        EXPECT_NEAR(f.test.R2, sse / sst, 1e-12);
        EXPECT_NEAR(f.test.R2a, 1 - (1 - sse / sst) * (d.N - 1) / (d.N - 4), 1e-12);
        EXPECT_NEAR(f.test.F, (sse / 3) / vr, 1e-9 * f.test.F);
        EXPECT_NEAR(f.test.ProbF, FisherUpperTail(3, d.N - 4, (sse / 3) / vr), 1e-12);
        for (int j = 0; j <= d.k; ++j) {
            EXPECT_NEAR((*f.B)[j], ref.b[j], 1e-9 * (1 + std::fabs(ref.b[j])));
            for (int l = 0; l <= d.k; ++l)
                EXPECT_NEAR((*f.V)[j][l], ref.cov[j][l] * vr, 1e-9 * std::fabs(ref.cov[j][j] * vr));
            EXPECT_NEAR((*f.SB)[j], std::sqrt(ref.cov[j][j] * vr), 1e-9);
            EXPECT_NEAR((*f.ProbT)[j], StudentTwoTail(d.N - 4, (*f.B)[j] / (*f.SB)[j]), 1e-12);
        }
        for (int i = 1; i <= d.N; ++i)
            EXPECT_NEAR((*f.S)[i], std::sqrt(vr / w[i]), 1e-9);
    }
}

TEST(FitRegression, EqualWeightsGiveTheUnweightedFit)
{
    Data d(8, 2);
    for (int i = 1; i <= d.N; ++i) {
        d.X[1][i] = i;
        d.X[2][i] = (i * 7) % 5;
        d.Y[i] = 10 + i + ((i * 3) % 4);
        d.s[i] = 12.5;
    }
    const FitOutput u = d.fit(false);
    const FitOutput w = d.fit(true);
    for (int j = 0; j <= 2; ++j) {
        EXPECT_NEAR((*w.B)[j], (*u.B)[j], 1e-12);
        EXPECT_NEAR((*w.SB)[j], (*u.SB)[j], 1e-12);
    }
    EXPECT_NEAR(w.test.Vr, u.test.Vr, 1e-12);
    EXPECT_NEAR(w.test.R2, u.test.R2, 1e-12);
    EXPECT_NEAR(w.test.F, u.test.F, 1e-9);
    for (int i = 1; i <= d.N; ++i)
        EXPECT_NEAR((*w.S)[i], (*u.S)[i], 1e-12);
}

TEST(FitRegression, TwoHalvesOfWeights)
{
    Data d(8, 1);
    for (int i = 1; i <= d.N; ++i) {
        d.X[1][i] = i;
        d.Y[i] = 3 + 2.0 * i + (i % 2 ? 1.0 : -1.0);
        d.s[i] = i <= 4 ? 0.0 : 1.0;
    }
    const FitOutput f = d.fit(true);
    ASSERT_EQ(f.status, 0);
    const double sd = std::sqrt(f.test.Vr);
    for (int i = 1; i <= 4; ++i)
        EXPECT_NEAR((*f.S)[i], sd * std::sqrt(3.0 / 4.0), 1e-12);
    for (int i = 5; i <= 8; ++i)
        EXPECT_NEAR((*f.S)[i], sd * std::sqrt(3.0 / 2.0), 1e-12);
}

TEST(FitRegression, IdenticalRegressorsShareTheirEffect)
{
    Data d(7, 2);
    for (int i = 1; i <= d.N; ++i) {
        d.X[1][i] = d.X[2][i] = i;
        d.Y[i] = 1 + 4.0 * i + (i % 3) * 0.5;
    }
    const FitOutput f = d.fit(false);
    ASSERT_EQ(f.status, 0);
    EXPECT_NEAR((*f.B)[1], (*f.B)[2], 1e-10);
    EXPECT_GT((*f.V)[1][1], 0.0);
    EXPECT_TRUE(std::isfinite((*f.SB)[1]));
}

TEST(FitRegression, OneResidualDegreeOfFreedom)
{
    Data d(4, 2);  // N = k + 2
    const double x1[] = {0, 1, 2, 3, 4}, x2[] = {0, 5, 3, 8, 1}, y[] = {0, 10, 14, 25, 13};
    for (int i = 1; i <= 4; ++i) {
        d.X[1][i] = x1[i];
        d.X[2][i] = x2[i];
        d.Y[i] = y[i];
    }
    const FitOutput f = d.fit(false);
    ASSERT_EQ(f.status, 0);
    EXPECT_NEAR(f.test.ProbF, FisherUpperTail(2, 1, f.test.F), 1e-15);
    EXPECT_NEAR((*f.ProbT)[1], StudentTwoTail(1, (*f.T)[1]), 1e-15);
}

TEST(FitRegression, AllEqualObservationsLeaveR2Undefined)
{
    Data d(6, 1);
    for (int i = 1; i <= d.N; ++i) {
        d.X[1][i] = i * i;
        d.Y[i] = 55;
    }
    const FitOutput f = d.fit(false);
    ASSERT_EQ(f.status, 0);
    EXPECT_FALSE(f.test.R2 >= 0.0 && f.test.R2 <= 1.0);
    EXPECT_FALSE(f.test.R2a >= 0.0 && f.test.R2a <= 1.0);
}

TEST(FitRegression, AsManyCoefficientsAsObservations)
{
    TMatrix V(1, 1);
    TVector y(2), yc(2), w(2);
    const TRegTest t = RegressionTests(y, yc, w, 2, 0, 1, false, V);
    EXPECT_EQ(t.Vr, 0.0);
    EXPECT_EQ(t.R2, 1.0);
    EXPECT_EQ(t.R2a, 0.0);
    EXPECT_EQ(t.F, 0.0);
    EXPECT_EQ(t.ProbF, 1.0);
}

TEST(FormulaText, NamesEveryCoefficient)
{
    EXPECT_EQ(FormulaText(1, true), "y = b0 + b1.x1");
    EXPECT_EQ(FormulaText(3, true), "y = b0 + b1.x1 + b2.x2 + b3.x3");
    EXPECT_EQ(FormulaText(2, false), "y = b1.x1 + b2.x2");
    TVector b(2), x(2);
    b[0] = 1;
    b[1] = 2;
    b[2] = 3;
    x[1] = 10;
    x[2] = 100;
    EXPECT_EQ(PredictLinear(b, x, 2, true), 321.0);
    EXPECT_EQ(PredictLinear(b, x, 2, false), 320.0);
}

}  // namespace
}  // namespace tolvar
