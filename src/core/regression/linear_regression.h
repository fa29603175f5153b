#pragma once

#include "regression/numeric_core.h"

#include <string>

namespace tolvar {

// The regression tests of one fit.
struct TRegTest {
    double Vr = 0.0;     // residual variance
    double R2 = 0.0;     // coefficient of determination
    double R2a = 0.0;    // adjusted coefficient
    double F = 0.0;      // variance ratio
    double ProbF = 0.0;  // Prob(>F)
};

// Everything one fit produces. Vectors of coefficients run 0..k, vectors of
// observations 1..N (element 0 unused).
struct FitOutput {
    int status = 0;
    PVector B, Ycalc, S, SB, T, ProbT;
    PVectorList V;
    TRegTest test;
};

// Multiple linear regression y = b0 + b1 x1 + ... + bk xk by (weighted) least
// squares through the singular value decomposition. X[j][i] is regressor j at
// observation i (rows 1..k, columns 1..N); s holds the standard deviations that
// become the weights 1/(1+s), rescaled to sum to N.
FitOutput FitRegression(const TMatrix& X, const TVector& Y, const TVector& s, int N, int k,
                        bool constant, bool weighted);

// Solves the least-squares problem: B (0..k) and the unscaled covariance C.
int SolveLinearModel(const TMatrix& X, const TVector& Y, const TVector& w, int N, int k,
                     bool constant, bool weighted, TVector& B, TMatrix& C);

// Least squares on a design already built (and weighted): A, rows lb..lastRow
// and columns lb..k, is overwritten by U. N, the number of observations, sets
// the rank tolerance as it does for the full design.
int SolveDesign(TMatrix& A, const TVector& b, int lb, int lastRow, int k, int N, TVector& B,
                TMatrix& C);

double PredictLinear(const TVector& B, const TVector& x, int k, bool constant);

// Fills the test record and scales the covariance V in place by Vr. A residual
// sum of squares at or below `negligibleSsr` counts as 0 (a perfect fit).
TRegTest RegressionTests(const TVector& Y, const TVector& Ycalc, const TVector& w, int N,
                         int firstPar, int lastPar, bool weighted, TMatrix& V,
                         double negligibleSsr = 0.0);

// The sums of squares the tests are made of: total, explained, residual.
struct RegressionSums {
    double sst = 0.0, sse = 0.0, ssr = 0.0;
};
// The test record from the sums (the residual sum already cleared when negligible).
TRegTest TestsFromSums(const RegressionSums& sums, int nobs, int npar);
double ResidualVariance(double ssr, int nobs, int npar);
// V[i][j] = C[i][j] * Vr over the coefficient range, kept symmetric.
void ScaleCovariance(TMatrix& V, int firstPar, int lastPar, double Vr);

// The residual sum of squares that rounding alone can produce for this fit:
// below it the data lie exactly on the fitted plane.
double roundingLevelSsr(const TMatrix& X, const TVector& Y, const TVector& w, const TVector& B,
                        int N, int k, bool constant, bool weighted);
// The same from the squared norms of y, of the design and of B.
double roundingLevelSsr(double yNorm2, double aNorm2, double bNorm2, int N, int k);

// Standard error, t value and two-sided probability of every coefficient.
void ParameterTests(const TVector& B, const TMatrix& V, int N, int firstPar, int lastPar,
                    TVector& SB, TVector& T, TVector& ProbT);

std::string FormulaText(int k, bool constant);

}  // namespace tolvar
