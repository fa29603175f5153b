#include "regression/linear_regression.h"

#include <cmath>

namespace tolvar {

int SolveLinearModel(const TMatrix& X, const TVector& Y, const TVector& w, int N, int k,
                     bool constant, bool weighted, TVector& B, TMatrix& C)
{
    const int lb = constant ? 0 : 1;
    const int lastRow = constant ? N - 1 : N;
    TMatrix A(lastRow, k);
    TVector b(lastRow);
    for (int r = lb; r <= lastRow; ++r) {
        const int i = r + 1 - lb;
        const double a = weighted ? std::sqrt(w[i]) : 1.0;
        b[r] = Y[i] * a;
        double* row = A[r];
        if (constant)
            row[0] = a;
        for (int j = 1; j <= k; ++j)
            row[j] = X[j][i] * a;
    }
    return SolveDesign(A, b, lb, lastRow, k, N, B, C);
}

int SolveDesign(TMatrix& A, const TVector& b, int lb, int lastRow, int k, int N, TVector& B,
                TMatrix& C)
{
    TVector sv(k);
    TMatrix vs(k, k);
    if (SvdDecompose(A, lb, lastRow, k, sv, vs) != 0)
        return -2;
    SvdZeroSmall(sv, lb, k, N * MachinePrecision);
    SvdSolve(A, sv, vs, b, lb, lastRow, k, B);

    for (int i = lb; i <= k; ++i) {
        for (int j = i; j <= k; ++j) {
            double sum = 0.0;
            for (int m = lb; m <= k; ++m)
                if (sv[m] > 0.0)
                    sum += vs[i][m] * vs[j][m] / (sv[m] * sv[m]);
            C[i][j] = sum;
            C[j][i] = sum;
        }
    }
    return 0;
}

double PredictLinear(const TVector& B, const TVector& x, int k, bool constant)
{
    double y = constant ? B[0] : 0.0;
    for (int j = 1; j <= k; ++j)
        y += B[j] * x[j];
    return y;
}

TRegTest RegressionTests(const TVector& Y, const TVector& Ycalc, const TVector& w, int N,
                         int firstPar, int lastPar, bool weighted, TMatrix& V,
                         double negligibleSsr)
{
    const int npar = lastPar - firstPar + 1;
    RegressionSums sums;
    if (npar < N) {
        const double ymean = VectorMean(Y, 1, N);
        if (weighted) {
            sums.sst = WeightedSquaredDeviationSum(Y, w, 1, N, ymean);
            sums.sse = WeightedSquaredDeviationSum(Ycalc, w, 1, N, ymean);
            sums.ssr = WeightedSquaredDifferenceSum(Y, Ycalc, w, 1, N);
        } else {
            sums.sst = SquaredDeviationSum(Y, 1, N, ymean);
            sums.sse = SquaredDeviationSum(Ycalc, 1, N, ymean);
            sums.ssr = SquaredDifferenceSum(Y, Ycalc, 1, N);
        }
        if (sums.ssr <= negligibleSsr)
            sums.ssr = 0.0;
    }
    const TRegTest test = TestsFromSums(sums, N, npar);
    ScaleCovariance(V, firstPar, lastPar, test.Vr);
    return test;
}

TRegTest TestsFromSums(const RegressionSums& sums, int nobs, int npar)
{
    TRegTest test;
    if (npar >= nobs) {
        test.Vr = 0.0;
        test.R2 = 1.0;
        test.R2a = 0.0;
        test.F = 0.0;
        test.ProbF = 1.0;
        return test;
    }
    // With all observations equal there is nothing to explain: R2 and R2a
    // stay undefined (NaN) and are left out of the result file.
    test.R2 = sums.sst > 0.0 ? sums.sse / sums.sst : std::nan("");
    test.R2a = 1.0 - (1.0 - test.R2) * (nobs - 1) / (nobs - npar);
    test.Vr = ResidualVariance(sums.ssr, nobs, npar);
    if (test.Vr > 0.0) {
        test.F = (sums.sse / (npar - 1)) / test.Vr;
        test.ProbF = FisherUpperTail(npar - 1, nobs - npar, test.F);
    } else {
        test.F = LargestReal;
        test.ProbF = 0.0;
    }
    return test;
}

double ResidualVariance(double ssr, int nobs, int npar)
{
    return ssr / (nobs - npar);
}

void ScaleCovariance(TMatrix& V, int firstPar, int lastPar, double Vr)
{
    for (int i = firstPar; i <= lastPar; ++i) {
        for (int j = i; j <= lastPar; ++j) {
            V[i][j] *= Vr;
            V[j][i] = V[i][j];
        }
    }
}

void ParameterTests(const TVector& B, const TMatrix& V, int N, int firstPar, int lastPar,
                    TVector& SB, TVector& T, TVector& ProbT)
{
    const int npar = lastPar - firstPar + 1;
    const int nu = N - npar;
    for (int j = firstPar; j <= lastPar; ++j) {
        if (V[j][j] > 0.0) {
            SB[j] = std::sqrt(V[j][j]);
            T[j] = B[j] / SB[j];
            ProbT[j] = StudentTwoTail(nu, T[j]);
        } else {
            SB[j] = 0.0;
            T[j] = 0.0;
            ProbT[j] = 1.0;
        }
    }
}

FitOutput FitRegression(const TMatrix& X, const TVector& Y, const TVector& s, int N, int k,
                        bool constant, bool weighted)
{
    FitOutput out;
    const int firstPar = constant ? 0 : 1;
    const int lastPar = k;

    TVector w(N);
    CopyVectorRange(w, s, 0, N);
    if (weighted) {
        double sum = 0.0;
        for (int i = 1; i <= N; ++i) {
            w[i] = 1.0 / (1.0 + s[i]);
            sum += w[i];
        }
        for (int i = 1; i <= N; ++i)
            w[i] = N * w[i] / sum;
    }

    out.B = AllocVector(k);
    out.V = AllocMatrix(k, k);
    out.Ycalc = AllocVector(N);
    out.S = AllocVector(N);
    out.SB = AllocVector(k);
    out.T = AllocVector(k);
    out.ProbT = AllocVector(k);
    if (!out.B || !out.V || !out.Ycalc || !out.S) {
        out.status = -1;
        return out;
    }

    out.status = SolveLinearModel(X, Y, w, N, k, constant, weighted, *out.B, *out.V);
    if (out.status != 0)
        return out;

    TVector x(k);
    for (int i = 1; i <= N; ++i) {
        for (int j = firstPar; j <= k; ++j)
            x[j] = X[j][i];
        (*out.Ycalc)[i] = PredictLinear(*out.B, x, k, constant);
    }

    out.test = RegressionTests(Y, *out.Ycalc, w, N, firstPar, lastPar, weighted, *out.V,
                               roundingLevelSsr(X, Y, w, *out.B, N, k, constant, weighted));

    const double sd = std::sqrt(out.test.Vr);
    for (int i = 1; i <= N; ++i)
        (*out.S)[i] = weighted ? sd / std::sqrt(w[i]) : sd;

    ParameterTests(*out.B, *out.V, N, firstPar, lastPar, *out.SB, *out.T, *out.ProbT);
    return out;
}

double roundingLevelSsr(const TMatrix& X, const TVector& Y, const TVector& w, const TVector& B,
                        int N, int k, bool constant, bool weighted)
{
    double yNorm2 = 0.0, aNorm2 = 0.0, bNorm2 = 0.0;
    for (int i = 1; i <= N; ++i) {
        const double wi = weighted ? w[i] : 1.0;
        yNorm2 += wi * Y[i] * Y[i];
        if (constant)
            aNorm2 += wi;
        for (int j = 1; j <= k; ++j)
            aNorm2 += wi * X[j][i] * X[j][i];
    }
    for (int j = constant ? 0 : 1; j <= k; ++j)
        bNorm2 += B[j] * B[j];
    return roundingLevelSsr(yNorm2, aNorm2, bNorm2, N, k);
}

double roundingLevelSsr(double yNorm2, double aNorm2, double bNorm2, int N, int k)
{
    // A backward-stable least-squares solve leaves a residual of at most
    // c * eps * (|y| + |A| |B|) when the data fit exactly.
    const double c = 10.0 * (N + k + 1) * MachinePrecision;
    const double level = c * (std::sqrt(yNorm2) + std::sqrt(aNorm2) * std::sqrt(bNorm2));
    return level * level;
}

std::string FormulaText(int k, bool constant)
{
    std::string text = "y = ";
    if (constant)
        text += "b0 + ";
    text += "b1.x1";
    for (int j = 2; j <= k; ++j)
        text += " + b" + std::to_string(j) + ".x" + std::to_string(j);
    return text;
}

}  // namespace tolvar
