#include "regression/numeric_core.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace tolvar {

const double LargestReal = std::bit_cast<double>(std::uint64_t{0x7FEFFFFFFFFFFFFB});

namespace {
// One code per thread, so fits may run side by side.
thread_local int mathErrorCode = FOk;

double setError(int code, double value)
{
    mathErrorCode = code;
    return value;
}

bool isNonPositiveInteger(double x)
{
    return x <= 0.0 && x == std::floor(x);
}

// Plain gamma and log-gamma for the inner steps of the incomplete beta, which
// only calls them within their range and must not disturb the error code.
double gammaPlain(double x)
{
    return std::tgamma(x);
}

double logGammaPlain(double x)
{
    int sign = 0;
    return ::lgamma_r(x, &sign);
}
}  // namespace

int MathErr()
{
    return mathErrorCode;
}

// --- containers -------------------------------------------------------------

PVector AllocVector(int ub)
{
    if (ub < 0 || ub > kMaxVectorUb)
        return std::nullopt;
    return TVector(ub);
}

void FreeVector(PVector& v)
{
    v.reset();
}

PVectorList AllocMatrix(int ub1, int ub2)
{
    if (ub1 < 0 || ub2 < 0 || ub1 > kMaxMatrixRowUb || ub2 > kMaxVectorUb)
        return std::nullopt;
    return TMatrix(ub1, ub2);
}

void FreeMatrix(PVectorList& m)
{
    m.reset();
}

void CopyVectorRange(TVector& dest, const TVector& src, int lb, int ub)
{
    for (int i = lb; i <= ub; ++i)
        dest[i] = src[i];
}

void CopyMatrixColumn(TVector& dest, const TMatrix& m, int lb, int ub, int col)
{
    for (int i = lb; i <= ub; ++i)
        dest[i] = m[i][col];
}

double VectorMax(const TVector& v, int lb, int ub)
{
    double best = v[lb];
    for (int i = lb + 1; i <= ub; ++i)
        best = std::max(best, v[i]);
    return best;
}

// --- sums -------------------------------------------------------------------

double VectorSum(const TVector& v, int lb, int ub)
{
    double sum = 0.0;
    for (int i = lb; i <= ub; ++i)
        sum += v[i];
    return sum;
}

double VectorMean(const TVector& v, int lb, int ub)
{
    if (ub < lb)
        return 0.0;
    return VectorSum(v, lb, ub) / (ub - lb + 1);
}

double SquaredDeviationSum(const TVector& v, int lb, int ub, double m)
{
    double sum = 0.0;
    for (int i = lb; i <= ub; ++i)
        sum += (v[i] - m) * (v[i] - m);
    return sum;
}

double WeightedSquaredDeviationSum(const TVector& v, const TVector& w, int lb, int ub, double m)
{
    double sum = 0.0;
    for (int i = lb; i <= ub; ++i)
        sum += w[i] * (v[i] - m) * (v[i] - m);
    return sum;
}

double SquaredDifferenceSum(const TVector& a, const TVector& b, int lb, int ub)
{
    double sum = 0.0;
    for (int i = lb; i <= ub; ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum;
}

double WeightedSquaredDifferenceSum(const TVector& a, const TVector& b, const TVector& w, int lb,
                                    int ub)
{
    double sum = 0.0;
    for (int i = lb; i <= ub; ++i)
        sum += w[i] * (a[i] - b[i]) * (a[i] - b[i]);
    return sum;
}

// --- linear algebra -----------------------------------------------------------

double Hypot(double a, double b)
{
    // The scaled form: as safe from overflow as std::hypot and several times
    // faster, which the decomposition of every structure feels.
    const double p = std::fabs(a);
    const double q = std::fabs(b);
    if (q > p)
        return q * std::sqrt(1.0 + (p / q) * (p / q));
    if (p != 0.0)
        return p * std::sqrt(1.0 + (q / p) * (q / p));
    return 0.0;
}

namespace {
// +|a| when b >= 0, -|a| otherwise.
double withSignOf(double a, double b)
{
    return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}
}  // namespace

int SvdDecompose(TMatrix& a, int lb, int ubRow, int ubCol, TVector& w, TMatrix& v)
{
    const int m = ubRow;  // last row index
    const int n = ubCol;  // last column index
    std::vector<double> e(static_cast<std::size_t>(n) + 1, 0.0);
    double g = 0.0, scale = 0.0, anorm = 0.0;
    double f = 0.0, h = 0.0, s = 0.0, c = 0.0, x = 0.0, y = 0.0, z = 0.0;
    int l = lb;

    // Householder reduction to bidiagonal form.
    for (int i = lb; i <= n; ++i) {
        l = i + 1;
        e[i] = scale * g;
        g = s = scale = 0.0;
        if (i <= m) {
            for (int k = i; k <= m; ++k)
                scale += std::fabs(a[k][i]);
            if (scale != 0.0) {
                for (int k = i; k <= m; ++k) {
                    a[k][i] /= scale;
                    s += a[k][i] * a[k][i];
                }
                f = a[i][i];
                g = -withSignOf(std::sqrt(s), f);
                h = f * g - s;
                a[i][i] = f - g;
                for (int j = l; j <= n; ++j) {
                    s = 0.0;
                    for (int k = i; k <= m; ++k)
                        s += a[k][i] * a[k][j];
                    f = s / h;
                    for (int k = i; k <= m; ++k)
                        a[k][j] += f * a[k][i];
                }
                for (int k = i; k <= m; ++k)
                    a[k][i] *= scale;
            }
        }
        w[i] = scale * g;
        g = s = scale = 0.0;
        if (i <= m && i != n) {
            for (int k = l; k <= n; ++k)
                scale += std::fabs(a[i][k]);
            if (scale != 0.0) {
                for (int k = l; k <= n; ++k) {
                    a[i][k] /= scale;
                    s += a[i][k] * a[i][k];
                }
                f = a[i][l];
                g = -withSignOf(std::sqrt(s), f);
                h = f * g - s;
                a[i][l] = f - g;
                for (int k = l; k <= n; ++k)
                    e[k] = a[i][k] / h;
                for (int j = l; j <= m; ++j) {
                    s = 0.0;
                    for (int k = l; k <= n; ++k)
                        s += a[j][k] * a[i][k];
                    for (int k = l; k <= n; ++k)
                        a[j][k] += s * e[k];
                }
                for (int k = l; k <= n; ++k)
                    a[i][k] *= scale;
            }
        }
        anorm = std::max(anorm, std::fabs(w[i]) + std::fabs(e[i]));
    }

    // Accumulation of the right-hand transformations.
    for (int i = n; i >= lb; --i) {
        if (i < n) {
            if (g != 0.0) {
                for (int j = l; j <= n; ++j)
                    v[j][i] = (a[i][j] / a[i][l]) / g;  // double division avoids underflow
                for (int j = l; j <= n; ++j) {
                    s = 0.0;
                    for (int k = l; k <= n; ++k)
                        s += a[i][k] * v[k][j];
                    for (int k = l; k <= n; ++k)
                        v[k][j] += s * v[k][i];
                }
            }
            for (int j = l; j <= n; ++j)
                v[i][j] = v[j][i] = 0.0;
        }
        v[i][i] = 1.0;
        g = e[i];
        l = i;
    }

    // Accumulation of the left-hand transformations.
    for (int i = std::min(m, n); i >= lb; --i) {
        l = i + 1;
        g = w[i];
        for (int j = l; j <= n; ++j)
            a[i][j] = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j <= n; ++j) {
                s = 0.0;
                for (int k = l; k <= m; ++k)
                    s += a[k][i] * a[k][j];
                f = (s / a[i][i]) * g;
                for (int k = i; k <= m; ++k)
                    a[k][j] += f * a[k][i];
            }
            for (int j = i; j <= m; ++j)
                a[j][i] *= g;
        } else {
            for (int j = i; j <= m; ++j)
                a[j][i] = 0.0;
        }
        a[i][i] += 1.0;
    }

    // Diagonalisation of the bidiagonal form, from the last value down.
    for (int k = n; k >= lb; --k) {
        for (int its = 1; its <= 30; ++its) {
            bool cancel = true;
            int nm = lb;
            for (l = k; l >= lb; --l) {
                nm = l - 1;
                // e[lb] is always 0, so the loop stops before w[lb - 1].
                if (std::fabs(e[l]) + anorm == anorm) {
                    cancel = false;
                    break;
                }
                if (std::fabs(w[nm]) + anorm == anorm)
                    break;
            }
            if (cancel) {
                c = 0.0;
                s = 1.0;
                for (int i = l; i <= k; ++i) {
                    f = s * e[i];
                    e[i] = c * e[i];
                    if (std::fabs(f) + anorm == anorm)
                        break;
                    g = w[i];
                    h = Hypot(f, g);
                    w[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    for (int j = lb; j <= m; ++j) {
                        y = a[j][nm];
                        z = a[j][i];
                        a[j][nm] = y * c + z * s;
                        a[j][i] = z * c - y * s;
                    }
                }
            }
            z = w[k];
            if (l == k) {
                if (z < 0.0) {
                    w[k] = -z;
                    for (int j = lb; j <= n; ++j)
                        v[j][k] = -v[j][k];
                }
                break;
            }
            if (its == 30)
                return -2;
            // Shift from the trailing 2 x 2 minor.
            x = w[l];
            nm = k - 1;
            y = w[nm];
            g = e[nm];
            h = e[k];
            f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = Hypot(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + withSignOf(g, f))) - h)) / x;
            // Next QR sweep.
            c = s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = e[i];
                y = w[i];
                h = s * g;
                g = c * g;
                z = Hypot(f, h);
                e[j] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = lb; jj <= n; ++jj) {
                    x = v[jj][j];
                    z = v[jj][i];
                    v[jj][j] = x * c + z * s;
                    v[jj][i] = z * c - x * s;
                }
                z = Hypot(f, h);
                w[j] = z;
                if (z != 0.0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                for (int jj = lb; jj <= m; ++jj) {
                    y = a[jj][j];
                    z = a[jj][i];
                    a[jj][j] = y * c + z * s;
                    a[jj][i] = z * c - y * s;
                }
            }
            e[l] = 0.0;
            e[k] = f;
            w[k] = x;
        }
    }
    return 0;
}

void SvdZeroSmall(TVector& S, int lb, int ub, double tol)
{
    const double threshold = VectorMax(S, lb, ub) * tol;
    for (int i = lb; i <= ub; ++i)
        if (S[i] < threshold)
            S[i] = 0.0;
}

void SvdSolve(const TMatrix& U, const TVector& S, const TMatrix& V, const TVector& b, int lb,
              int ubRow, int ubCol, TVector& X)
{
    std::vector<double> t(static_cast<std::size_t>(ubCol) + 1, 0.0);
    for (int j = lb; j <= ubCol; ++j) {
        if (S[j] > 0.0) {
            double sum = 0.0;
            for (int i = lb; i <= ubRow; ++i)
                sum += U[i][j] * b[i];
            t[j] = sum / S[j];
        }
    }
    for (int j = lb; j <= ubCol; ++j) {
        double sum = 0.0;
        for (int k = lb; k <= ubCol; ++k)
            sum += V[j][k] * t[k];
        X[j] = sum;
    }
}

// --- special functions --------------------------------------------------------

double GammaFn(double x)
{
    mathErrorCode = FOk;
    if (isNonPositiveInteger(x))
        return setError(FSing, LargestReal);
    if (x > MaxGammaArgument)
        return setError(FOverflow, LargestReal);
    const double value = gammaPlain(x);
    if (value == 0.0)
        return setError(FUnderflow, 0.0);
    if (!std::isfinite(value))
        return setError(FOverflow, LargestReal);
    return value;
}

double LogGamma(double x)
{
    mathErrorCode = FOk;
    if (isNonPositiveInteger(x))
        return setError(FSing, LargestReal);
    const double value = logGammaPlain(x);
    if (!std::isfinite(value))
        return setError(FOverflow, LargestReal);
    return value;
}

double CheckedPower(double x, double a)
{
    mathErrorCode = FOk;
    if (x < 0.0)
        return setError(FDomain, 0.0);
    if (a == 0.0)
        return 1.0;
    if (x == 0.0) {
        if (a < 0.0)
            return setError(FSing, LargestReal);
        return 0.0;
    }
    const double y = a * std::log(x);
    if (y > MaxExpArgument)
        return setError(FOverflow, LargestReal);
    if (y < MinExpArgument)
        return setError(FUnderflow, 0.0);
    return std::exp(y);
}

namespace {

constexpr double kBig = 9.223372036854775808e18;       // 2^63
constexpr double kBigInverse = 1.0842021724855044e-19;  // 2^-63
constexpr int kMaxFractionIterations = 400;

double powerSeries(double a, double b, double x)
{
    const double ai = 1.0 / a;
    double u = (1.0 - b) * x;
    double v = u / (a + 1.0);
    const double t1 = v;
    double t = u;
    double n = 2.0;
    double s = 0.0;
    const double z = MachinePrecision * ai;
    while (std::fabs(v) > z) {
        u = (n - b) * x / n;
        t *= u;
        v = t / (a + n);
        s += v;
        n += 1.0;
    }
    s += t1;
    s += ai;
    const double lnx = a * std::log(x);
    if (a + b < MaxGammaArgument && std::fabs(lnx) < MaxExpArgument) {
        return s * gammaPlain(a + b) / (gammaPlain(a) * gammaPlain(b)) * std::pow(x, a);
    }
    const double y =
        logGammaPlain(a + b) - logGammaPlain(a) - logGammaPlain(b) + lnx + std::log(s);
    return y < MinExpArgument ? 0.0 : std::exp(y);
}

// Evaluates a continued fraction whose two partial terms per iteration come
// from `terms`, which also advances its counters.
template <typename Terms>
double continuedFraction(Terms terms)
{
    double pkm2 = 0.0, qkm2 = 1.0, pkm1 = 1.0, qkm1 = 1.0;
    double estimate = 1.0;
    double r = 1.0;
    const double threshold = 3.0 * MachinePrecision;
    for (int n = 0; n <= kMaxFractionIterations; ++n) {
        const auto [xk1, xk2] = terms();
        double pk = pkm1 + pkm2 * xk1;
        double qk = qkm1 + qkm2 * xk1;
        pkm2 = pkm1;
        pkm1 = pk;
        qkm2 = qkm1;
        qkm1 = qk;
        pk = pkm1 + pkm2 * xk2;
        qk = qkm1 + qkm2 * xk2;
        pkm2 = pkm1;
        pkm1 = pk;
        qkm2 = qkm1;
        qkm1 = qk;
        if (qk != 0.0)
            r = pk / qk;
        double change = 1.0;
        if (r != 0.0) {
            change = std::fabs((estimate - r) / r);
            estimate = r;
        }
        if (change < threshold)
            return estimate;
        if (std::fabs(qk) + std::fabs(pk) > kBig) {
            pkm2 *= kBigInverse;
            pkm1 *= kBigInverse;
            qkm2 *= kBigInverse;
            qkm1 *= kBigInverse;
        }
        if (std::fabs(qk) < kBigInverse || std::fabs(pk) < kBigInverse) {
            pkm2 *= kBig;
            pkm1 *= kBig;
            qkm2 *= kBig;
            qkm1 *= kBig;
        }
    }
    mathErrorCode = FNoConvergence;
    return estimate;
}

double firstFraction(double a, double b, double x)
{
    double k1 = a, k2 = a + b, k3 = a, k4 = a + 1.0;
    double k5 = 1.0, k6 = b - 1.0, k7 = a + 1.0, k8 = a + 2.0;
    return continuedFraction([&]() {
        const double xk1 = -(x * k1 * k2) / (k3 * k4);
        const double xk2 = (x * k5 * k6) / (k7 * k8);
        k1 += 1.0;
        k2 += 1.0;
        k3 += 2.0;
        k4 += 2.0;
        k5 += 1.0;
        k6 -= 1.0;
        k7 += 2.0;
        k8 += 2.0;
        return std::pair{xk1, xk2};
    });
}

double secondFraction(double a, double b, double x)
{
    const double z = x / (1.0 - x);
    double k1 = a, k2 = b - 1.0, k3 = a, k4 = a + 1.0;
    double k5 = 1.0, k6 = a + b, k7 = a + 1.0, k8 = a + 2.0;
    return continuedFraction([&]() {
        const double xk1 = -(z * k1 * k2) / (k3 * k4);
        const double xk2 = (z * k5 * k6) / (k7 * k8);
        k1 += 1.0;
        k2 -= 1.0;
        k3 += 2.0;
        k4 += 2.0;
        k5 += 1.0;
        k6 += 1.0;
        k7 += 2.0;
        k8 += 2.0;
        return std::pair{xk1, xk2};
    });
}

}  // namespace

double IncompleteBeta(double a, double b, double x)
{
    mathErrorCode = FOk;
    if (a <= 0.0 || b <= 0.0 || x < 0.0 || x > 1.0)
        return setError(FDomain, 0.0);
    if (x == 0.0 || x == 1.0)
        return x;
    if (b * x <= 1.0 && x <= 0.95)
        return powerSeries(a, b, x);

    double xc = 1.0 - x;
    bool exchanged = false;
    double t = 0.0;
    if (x > a / (a + b)) {
        exchanged = true;
        std::swap(a, b);
        std::swap(x, xc);
    }
    if (exchanged && b * x <= 1.0 && x <= 0.95) {
        t = powerSeries(a, b, x);
    } else {
        const double y = x * (a + b - 2.0) - (a - 1.0);
        const double w = y < 0.0 ? firstFraction(a, b, x) : secondFraction(a, b, x) / xc;
        const double lnx = a * std::log(x);
        const double lnxc = b * std::log(xc);
        if (a + b < MaxGammaArgument && std::fabs(lnx) < MaxExpArgument &&
            std::fabs(lnxc) < MaxExpArgument) {
            t = std::pow(xc, b) * std::pow(x, a) * w / a * gammaPlain(a + b) /
                (gammaPlain(a) * gammaPlain(b));
        } else {
            const double ly = lnx + lnxc + logGammaPlain(a + b) - logGammaPlain(a) -
                              logGammaPlain(b) + std::log(w / a);
            t = ly < MinExpArgument ? 0.0 : std::exp(ly);
        }
    }
    if (!exchanged)
        return t;
    return t <= MachinePrecision ? 1.0 - MachinePrecision : 1.0 - t;
}

double StudentTwoTail(double nu, double t)
{
    if (nu <= 0.0) {
        mathErrorCode = FOk;
        return setError(FDomain, 0.0);
    }
    return IncompleteBeta(nu / 2.0, 0.5, nu / (nu + t * t));
}

double FisherUpperTail(double nu1, double nu2, double f)
{
    if (nu1 <= 0.0 || nu2 <= 0.0 || f <= 0.0) {
        mathErrorCode = FOk;
        return setError(FDomain, 0.0);
    }
    return IncompleteBeta(nu2 / 2.0, nu1 / 2.0, nu2 / (nu2 + nu1 * f));
}

}  // namespace tolvar
