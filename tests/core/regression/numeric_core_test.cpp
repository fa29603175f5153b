#include "regression/numeric_core.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace tolvar {
namespace {

TEST(Containers, LimitsAndZeroedElements)
{
    PVector v = AllocVector(kMaxVectorUb);
    ASSERT_TRUE(v);
    EXPECT_EQ((*v)[0], 0.0);
    EXPECT_EQ((*v)[kMaxVectorUb], 0.0);
    EXPECT_FALSE(AllocVector(kMaxVectorUb + 1));
    EXPECT_FALSE(AllocVector(-1));

    PVectorList m = AllocMatrix(3, 4);
    ASSERT_TRUE(m);
    EXPECT_EQ((*m)[3][4], 0.0);
    EXPECT_FALSE(AllocMatrix(kMaxMatrixRowUb + 1, 1));
    EXPECT_FALSE(AllocMatrix(1, kMaxVectorUb + 1));

    FreeVector(v);
    EXPECT_FALSE(v);
    FreeVector(v);  // releasing a null handle does nothing
    FreeMatrix(m);
    EXPECT_FALSE(m);
}

TEST(Sums, OverRangesIncludingEmptyOnes)
{
    TVector a(4), b(4), w(4);
    for (int i = 0; i <= 4; ++i) {
        a[i] = i;
        b[i] = 2 * i;
        w[i] = 0.5;
    }
    EXPECT_EQ(VectorSum(a, 1, 4), 10.0);
    EXPECT_EQ(VectorSum(a, 3, 2), 0.0);
    EXPECT_EQ(VectorMean(a, 1, 4), 2.5);
    EXPECT_EQ(SquaredDeviationSum(a, 1, 4, 2.5), 5.0);
    EXPECT_EQ(WeightedSquaredDeviationSum(a, w, 1, 4, 2.5), 2.5);
    EXPECT_EQ(SquaredDifferenceSum(a, b, 1, 4), 30.0);
    EXPECT_EQ(WeightedSquaredDifferenceSum(a, b, w, 1, 4), 15.0);
    EXPECT_EQ(VectorMax(a, 0, 4), 4.0);
    TVector col(2);
    TMatrix m(2, 3);
    m[1][2] = 7;
    m[2][2] = 8;
    CopyMatrixColumn(col, m, 1, 2, 2);
    EXPECT_EQ(col[1], 7.0);
    EXPECT_EQ(col[2], 8.0);
}

TEST(Constants, LargestRealHasItsBitPattern)
{
    EXPECT_EQ(std::bit_cast<std::uint64_t>(LargestReal), 0x7FEFFFFFFFFFFFFBull);
    EXPECT_EQ(Hypot(3, 4), 5.0);
    EXPECT_EQ(Hypot(-4, 3), 5.0);
    EXPECT_EQ(Hypot(0, 0), 0.0);
    EXPECT_EQ(Hypot(1e300, 1e300), 1e300 * std::sqrt(2.0));
}

// Checks A = U diag(S) V', U'U = I and V'V = I for the decomposition of `a`.
void expectValidSvd(const TMatrix& original, int lb, int ubRow, int ubCol)
{
    TMatrix u = original;
    TVector s(ubCol);
    TMatrix v(ubCol, ubCol);
    ASSERT_EQ(SvdDecompose(u, lb, ubRow, ubCol, s, v), 0);
    double scale = 0;
    for (int i = lb; i <= ubRow; ++i)
        for (int j = lb; j <= ubCol; ++j)
            scale = std::max(scale, std::fabs(original[i][j]));
    for (int j = lb; j <= ubCol; ++j)
        EXPECT_GE(s[j], 0.0);
    for (int i = lb; i <= ubRow; ++i)
        for (int j = lb; j <= ubCol; ++j) {
            double sum = 0;
            for (int k = lb; k <= ubCol; ++k)
                sum += u[i][k] * s[k] * v[j][k];
            EXPECT_NEAR(sum, original[i][j], 1e-12 * scale * (ubRow + 1));
        }
    for (int j = lb; j <= ubCol; ++j)
        for (int l = lb; l <= ubCol; ++l) {
            double uu = 0, vv = 0;
            for (int i = lb; i <= ubRow; ++i)
                uu += u[i][j] * u[i][l];
            for (int i = lb; i <= ubCol; ++i)
                vv += v[i][j] * v[i][l];
            const double expected = j == l ? 1.0 : 0.0;
            if (s[j] > 0 && s[l] > 0) {
                EXPECT_NEAR(uu, expected, 1e-12);
            }
            EXPECT_NEAR(vv, expected, 1e-12);
        }
}

TEST(SvdDecompose, ReconstructsRandomMatricesOfManyShapes)
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> value(-100.0, 100.0);
    const std::pair<int, int> shapes[] = {{3, 1}, {5, 2}, {10, 4}, {40, 16}, {200, 8}};
    for (const auto& [rows, cols] : shapes) {
        for (int lb = 0; lb <= 1; ++lb) {
            const int ubRow = rows - 1 + lb, ubCol = cols - 1 + lb;
            TMatrix a(ubRow, ubCol);
            for (int i = lb; i <= ubRow; ++i)
                for (int j = lb; j <= ubCol; ++j)
                    a[i][j] = value(rng);
            SCOPED_TRACE(std::to_string(rows) + "x" + std::to_string(cols) + " lb " +
                         std::to_string(lb));
            expectValidSvd(a, lb, ubRow, ubCol);
        }
    }
}

TEST(SvdDecompose, RankDeficientAndZeroColumnDesigns)
{
    // Two identical columns, and a column of zeros.
    TMatrix twins(5, 2), zero(5, 2);
    for (int i = 0; i <= 5; ++i) {
        twins[i][0] = 1;
        twins[i][1] = twins[i][2] = i * 1.5 - 2;
        zero[i][0] = 1;
        zero[i][1] = i;
        zero[i][2] = 0;
    }
    expectValidSvd(twins, 0, 5, 2);
    expectValidSvd(zero, 0, 5, 2);

    TMatrix u = zero;
    TVector s(2);
    TMatrix v(2, 2);
    ASSERT_EQ(SvdDecompose(u, 0, 5, 2, s, v), 0);
    int zeros = 0;
    for (int j = 0; j <= 2; ++j)
        zeros += s[j] == 0.0;
    EXPECT_EQ(zeros, 1);
}

TEST(SvdSolve, MinimumNormSolutionSplitsTwinColumnsEqually)
{
    // y = 1 + 4 x with x given twice: the two twin coefficients share the 4.
    const int m = 6;
    TMatrix a(m - 1, 2);
    TVector b(m - 1);
    for (int i = 0; i < m; ++i) {
        a[i][0] = 1;
        a[i][1] = a[i][2] = i;
        b[i] = 1 + 4.0 * i;
    }
    TVector s(2), x(2);
    TMatrix v(2, 2);
    ASSERT_EQ(SvdDecompose(a, 0, m - 1, 2, s, v), 0);
    SvdZeroSmall(s, 0, 2, m * MachinePrecision);
    SvdSolve(a, s, v, b, 0, m - 1, 2, x);
    EXPECT_NEAR(x[0], 1.0, 1e-12);
    EXPECT_NEAR(x[1], 2.0, 1e-12);
    EXPECT_NEAR(x[2], 2.0, 1e-12);
}

TEST(SvdZeroSmall, StrictComparisonAgainstTheScaledMaximum)
{
    TVector s(3);
    s[0] = s[1] = s[2] = s[3] = 2.0;
    SvdZeroSmall(s, 0, 3, 0.5);
    EXPECT_EQ(s[3], 2.0);  // all equal: all kept

    s[0] = 10.0;
    s[1] = 1.0;     // exactly max * tol: stays
    s[2] = 0.999;   // below: zeroed
    s[3] = 0.0;
    SvdZeroSmall(s, 0, 3, 0.1);
    EXPECT_EQ(s[1], 1.0);
    EXPECT_EQ(s[2], 0.0);
    EXPECT_EQ(s[3], 0.0);
}

TEST(SpecialFunctions, GammaPowerAndTheirErrorCodes)
{
    EXPECT_NEAR(GammaFn(5.0), 24.0, 1e-12);
    EXPECT_NEAR(GammaFn(0.5), std::sqrt(M_PI), 1e-14);
    EXPECT_EQ(MathErr(), FOk);
    EXPECT_EQ(GammaFn(0.0), LargestReal);
    EXPECT_EQ(MathErr(), FSing);
    EXPECT_EQ(GammaFn(-3.0), LargestReal);
    EXPECT_EQ(MathErr(), FSing);
    EXPECT_EQ(GammaFn(200.0), LargestReal);
    EXPECT_EQ(MathErr(), FOverflow);
    EXPECT_NEAR(LogGamma(4100.0), std::lgamma(4100.0), 1e-9);
    EXPECT_NEAR(LogGamma(0.5), std::log(std::sqrt(M_PI)), 1e-15);
    EXPECT_EQ(LogGamma(-2.0), LargestReal);
    EXPECT_EQ(MathErr(), FSing);

    struct PowerCase {
        double x, a, value;
        int code;
    };
    const PowerCase cases[] = {
        {2.0, 10.0, 1024.0, FOk}, {-1.0, 2.0, 0.0, FDomain},       {0.0, -1.0, LargestReal, FSing},
        {0.0, 2.0, 0.0, FOk},     {0.0, 0.0, 1.0, FOk},            {5.0, 0.0, 1.0, FOk},
        {10.0, 400.0, LargestReal, FOverflow}, {10.0, -400.0, 0.0, FUnderflow}};
    for (const PowerCase& c : cases) {
        EXPECT_NEAR(CheckedPower(c.x, c.a), c.value, 1e-9 * std::fabs(c.value)) << c.x << "^" << c.a;
        EXPECT_EQ(MathErr(), c.code) << c.x << "^" << c.a;
    }
}

double relativeError(double value, double reference)
{
    if (reference == 0.0)
        return std::fabs(value);
    return std::fabs(value - reference) / std::fabs(reference);
}

// Values below this are compared absolutely: they print as 0.0000 anyway and
// carry the rounding of the complement.
constexpr double kTiny = 1e-280;

TEST(IncompleteBeta, AgreesWithBoostOverAGridOfArguments)
{
    const double shapes[] = {0.5, 1.0, 1.5, 3.0, 7.5, 20.0, 60.0, 150.0, 400.0, 1000.0, 4000.0};
    const double xs[] = {1e-6, 0.001, 0.02, 0.1, 0.25, 0.4, 0.5, 0.6, 0.75, 0.9, 0.95, 0.99, 0.999999};
    double worst = 0.0;
    for (double a : shapes)
        for (double b : shapes)
            for (double x : xs) {
                const double value = IncompleteBeta(a, b, x);
                const double reference = boost::math::ibeta(a, b, x);
                const double error = reference < kTiny ? std::fabs(value - reference)
                                                       : relativeError(value, reference);
                worst = std::max(worst, error);
                EXPECT_LT(error, 1e-10) << "a=" << a << " b=" << b << " x=" << x << " value "
                                        << value << " reference " << reference;
            }
    RecordProperty("worst_relative_error", std::to_string(worst));
    std::printf("IncompleteBeta worst relative error against Boost.Math: %.3g\n", worst);
}

TEST(IncompleteBeta, EndsDomainAndTheLargeSymmetricCase)
{
    EXPECT_EQ(IncompleteBeta(2, 3, 0), 0.0);
    EXPECT_EQ(IncompleteBeta(2, 3, 1), 1.0);
    EXPECT_EQ(IncompleteBeta(0, 3, 0.5), 0.0);
    EXPECT_EQ(MathErr(), FDomain);
    EXPECT_EQ(IncompleteBeta(2, 3, 1.5), 0.0);
    EXPECT_EQ(MathErr(), FDomain);
    // The logarithmic path: no overflow, and the log-gamma cancellation costs
    // only a few digits.
    EXPECT_NEAR(IncompleteBeta(2000, 2000, 0.5), 0.5, 1e-10);
    EXPECT_EQ(MathErr(), FOk);
}

TEST(StudentTwoTail, AgreesWithBoostUpToEightThousandDegreesOfFreedom)
{
    const double nus[] = {1, 2, 3, 5, 10, 30, 100, 500, 2000, 8000};
    const double ts[] = {0.001, 0.1, 0.5, 1.0, 1.96, 2.5, 4.0, 8.0, 20.0, 60.0};
    double worst = 0.0;
    for (double nu : nus)
        for (double t : ts)
            for (double sign : {1.0, -1.0}) {
                const double value = StudentTwoTail(nu, sign * t);
                const boost::math::students_t dist(nu);
                const double reference = 2.0 * boost::math::cdf(boost::math::complement(dist, t));
                const double error = reference < kTiny ? std::fabs(value - reference)
                                                       : relativeError(value, reference);
                worst = std::max(worst, error);
                EXPECT_LT(error, 1e-10) << "nu=" << nu << " t=" << sign * t;
            }
    std::printf("StudentTwoTail worst relative error against Boost.Math: %.3g\n", worst);
    EXPECT_EQ(StudentTwoTail(10, 0), 1.0);
    EXPECT_NEAR(StudentTwoTail(10, 2.228), 0.05, 1e-4);
    EXPECT_EQ(StudentTwoTail(0, 2), 0.0);
    EXPECT_EQ(MathErr(), FDomain);
}

TEST(FisherUpperTail, AgreesWithBoostForSmallAndLargeDegreesOfFreedom)
{
    const double nu1s[] = {1, 2, 4, 8, 15};
    const double nu2s[] = {1, 2, 5, 20, 100, 1000, 8000};
    const double fs[] = {0.01, 0.2, 0.8, 1.0, 1.5, 3.0, 10.0, 100.0, 1e4};
    double worst = 0.0;
    for (double nu1 : nu1s)
        for (double nu2 : nu2s)
            for (double f : fs) {
                const double value = FisherUpperTail(nu1, nu2, f);
                const boost::math::fisher_f dist(nu1, nu2);
                const double reference = boost::math::cdf(boost::math::complement(dist, f));
                const double error = reference < kTiny ? std::fabs(value - reference)
                                                       : relativeError(value, reference);
                worst = std::max(worst, error);
                EXPECT_LT(error, 1e-10) << "nu1=" << nu1 << " nu2=" << nu2 << " f=" << f;
            }
    std::printf("FisherUpperTail worst relative error against Boost.Math: %.3g\n", worst);
    EXPECT_EQ(FisherUpperTail(2, 10, 0), 0.0);  // f <= 0 is outside the domain
    EXPECT_EQ(MathErr(), FDomain);
}

}  // namespace
}  // namespace tolvar
