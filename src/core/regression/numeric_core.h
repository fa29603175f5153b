#pragma once

#include <optional>
#include <vector>

namespace tolvar {

// Constants of the regression engine.
inline constexpr double MachinePrecision = 2.220446049250313E-16;
// Just below the largest double (bit pattern 7FEFFFFFFFFFFFFB): the value of
// poles and overflows, and the F ratio of a perfect fit.
extern const double LargestReal;
inline constexpr double MaxExpArgument = 709.782712893384;
inline constexpr double MinExpArgument = -708.3964185322641;
inline constexpr double MaxGammaArgument = 171.624376956302;

inline constexpr int kMaxVectorUb = 8190;
inline constexpr int kMaxMatrixRowUb = 40000;

// Math error codes: set by the special functions, informational only.
enum MathErrorCode {
    FOk = 0,
    FDomain = -1,
    FSing = -2,
    FOverflow = -3,
    FUnderflow = -4,
    FNoConvergence = -6,
};
// The code of the last special function called on this thread.
int MathErr();

// A vector of reals with indices 0..Ub, all 0 after creation.
class TVector {
public:
    explicit TVector(int ub) : data_(static_cast<std::size_t>(ub) + 1, 0.0), ub_(ub) {}
    double& operator[](int i) { return data_[static_cast<std::size_t>(i)]; }
    double operator[](int i) const { return data_[static_cast<std::size_t>(i)]; }
    int ub() const { return ub_; }
    double* data() { return data_.data(); }
    const double* data() const { return data_.data(); }

private:
    std::vector<double> data_;
    int ub_;
};

// A table of reals addressed [row][column] with rows 0..Ub1 and columns 0..Ub2,
// all 0 after creation; stored in one block, row after row.
class TMatrix {
public:
    TMatrix(int ub1, int ub2)
        : data_((static_cast<std::size_t>(ub1) + 1) * (static_cast<std::size_t>(ub2) + 1), 0.0),
          ub1_(ub1), ub2_(ub2), stride_(static_cast<std::size_t>(ub2) + 1)
    {
    }
    double* operator[](int row) { return data_.data() + static_cast<std::size_t>(row) * stride_; }
    const double* operator[](int row) const
    {
        return data_.data() + static_cast<std::size_t>(row) * stride_;
    }
    int ub1() const { return ub1_; }
    int ub2() const { return ub2_; }

private:
    std::vector<double> data_;
    int ub1_, ub2_;
    std::size_t stride_;
};

// Held by value; a request beyond the index limits gives none.
using PVector = std::optional<TVector>;
using PVectorList = std::optional<TMatrix>;

PVector AllocVector(int ub);
void FreeVector(PVector& v);
PVectorList AllocMatrix(int ub1, int ub2);
void FreeMatrix(PVectorList& m);

void CopyVectorRange(TVector& dest, const TVector& src, int lb, int ub);
void CopyMatrixColumn(TVector& dest, const TMatrix& m, int lb, int ub, int col);
double VectorMax(const TVector& v, int lb, int ub);

// Sums over i = lb..ub; an empty range gives 0.
double VectorSum(const TVector& v, int lb, int ub);
double VectorMean(const TVector& v, int lb, int ub);
double SquaredDeviationSum(const TVector& v, int lb, int ub, double m);
double WeightedSquaredDeviationSum(const TVector& v, const TVector& w, int lb, int ub, double m);
double SquaredDifferenceSum(const TVector& a, const TVector& b, int lb, int ub);
double WeightedSquaredDifferenceSum(const TVector& a, const TVector& b, const TVector& w, int lb,
                                    int ub);

// Singular value decomposition A = U diag(S) V' of A[lb..ubRow][lb..ubCol]
// (Golub-Reinsch): A is overwritten by U; the singular values are left
// unsorted. Returns 0, or -2 when a value did not converge in 30 iterations.
int SvdDecompose(TMatrix& A, int lb, int ubRow, int ubCol, TVector& S, TMatrix& V);
// Zeroes every singular value below max(S) * tol.
void SvdZeroSmall(TVector& S, int lb, int ub, double tol);
// Least-squares solution X of A X = b from the decomposition.
void SvdSolve(const TMatrix& U, const TVector& S, const TMatrix& V, const TVector& b, int lb,
              int ubRow, int ubCol, TVector& X);

// sqrt(a^2 + b^2) without overflow.
double Hypot(double a, double b);

double GammaFn(double x);
double LogGamma(double x);
double CheckedPower(double x, double a);
// Regularized incomplete beta function I_x(a, b).
double IncompleteBeta(double a, double b, double x);
// Prob(|T| > |t|) for Student's T with nu degrees of freedom.
double StudentTwoTail(double nu, double t);
// Prob(F(nu1, nu2) > f).
double FisherUpperTail(double nu1, double nu2, double f);

}  // namespace tolvar
