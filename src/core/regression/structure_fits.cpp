#include "regression/structure_fits.h"
#include "common/index.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>

namespace tolvar {

ReducedDesign::ReducedDesign(std::vector<std::vector<double>> xIn, std::vector<double> yIn,
                             const std::vector<double>& s, bool weightedIn)
    : x(std::move(xIn)), y(std::move(yIn)), w(y.size(), 1.0), weighted(weightedIn)
{
    const int N = observations();
    const int V = variables();
    // The observed standard deviations become the weights 1/(1 + s), rescaled
    // to sum to N.
    if (weighted) {
        double sum = 0.0;
        for (int i = 0; i < N; ++i) {
            w[at(i)] = 1.0 / (1.0 + s[at(i)]);
            sum += w[at(i)];
        }
        for (int i = 0; i < N; ++i)
            w[at(i)] = N * w[at(i)] / sum;
    }
    Eigen::MatrixXd m(N, V + 2);
    colNorm2.assign(at(V + 1), 0.0);
    for (int i = 0; i < N; ++i) {
        const double wi = w[at(i)];
        const double a = weighted ? std::sqrt(wi) : 1.0;
        m(i, 0) = a;
        colNorm2[0] += wi;
        for (int v = 1; v <= V; ++v) {
            const double xv = x[at(v)][at(i)];
            m(i, v) = xv * a;
            colNorm2[at(v)] += wi * xv * xv;
        }
        m(i, V + 1) = y[at(i)] * a;
        yNorm2 += wi * y[at(i)] * y[at(i)];
    }
    const Eigen::HouseholderQR<Eigen::MatrixXd> qr(m);
    const int rows = std::min(N, V + 2);
    r = qr.matrixQR().topRows(rows).triangularView<Eigen::Upper>();
}

StructureFit fitStructure(const ReducedDesign& d, const std::vector<int>& vars)
{
    StructureFit fit;
    const int k = static_cast<int>(vars.size());
    const int N = d.observations();
    const int yCol = d.variables() + 1;
    const int rows = static_cast<int>(d.r.rows());
    // Column j of the small problem: the constant, then the variables in order.
    auto column = [&](int j) { return j == 0 ? 0 : vars[at(j - 1)]; };

    TMatrix A(rows - 1, k);
    TVector b(rows - 1);
    for (int r = 0; r < rows; ++r) {
        for (int j = 0; j <= k; ++j)
            A[r][j] = d.r(r, column(j));
        b[r] = d.r(r, yCol);
    }
    TVector B(k);
    TMatrix C(k, k);
    fit.status = SolveDesign(A, b, 0, rows - 1, k, N, B, C);
    if (fit.status != 0)
        return fit;

    double bNorm2 = 0.0;
    double aNorm2 = 0.0;
    for (int j = 0; j <= k; ++j) {
        fit.B.push_back(B[j]);
        bNorm2 += B[j] * B[j];
        aNorm2 += d.colNorm2[at(column(j))];
        for (int l = 0; l <= k; ++l)
            fit.C.push_back(C[j][l]);
    }
    // The residual of the small problem is the residual of the whole design:
    // the orthogonal factor leaves lengths unchanged.
    double ssr = 0.0;
    for (int r = 0; r < rows; ++r) {
        double e = -d.r(r, yCol);
        for (int j = 0; j <= k; ++j)
            e += d.r(r, column(j)) * B[j];
        ssr += e * e;
    }
    if (ssr <= roundingLevelSsr(d.yNorm2, aNorm2, bNorm2, N, k))
        ssr = 0.0;
    fit.ssr = ssr;
    fit.Vr = k + 1 < N ? ResidualVariance(ssr, N, k + 1) : 0.0;
    return fit;
}

ResultContent structureResult(const ReducedDesign& d, const std::vector<int>& vars,
                              const StructureFit& fit)
{
    ResultContent r;
    const int k = static_cast<int>(vars.size());
    const int N = d.observations();
    r.k = k;
    r.N = N;
    r.B = fit.B;
    r.Y = d.y;
    r.Ycalc.resize(at(N));
    for (int i = 0; i < N; ++i) {
        double yc = fit.B[0];
        for (int j = 1; j <= k; ++j)
            yc += fit.B[at(j)] * d.x[at(vars[at(j - 1)])][at(i)];
        r.Ycalc[at(i)] = yc;
    }

    RegressionSums sums;
    double ysum = 0.0;
    for (double y : d.y)
        ysum += y;
    const double ymean = N > 0 ? ysum / N : 0.0;
    for (int i = 0; i < N; ++i) {
        const double wi = d.w[at(i)];
        const double dy = d.y[at(i)] - ymean;
        const double dc = r.Ycalc[at(i)] - ymean;
        sums.sst += d.weighted ? wi * dy * dy : dy * dy;
        sums.sse += d.weighted ? wi * dc * dc : dc * dc;
    }
    sums.ssr = fit.ssr;
    r.test = TestsFromSums(sums, N, k + 1);

    TMatrix V(k, k);
    TVector B(k), SB(k), T(k), ProbT(k);
    for (int j = 0; j <= k; ++j) {
        B[j] = fit.B[at(j)];
        for (int l = 0; l <= k; ++l)
            V[j][l] = fit.C[at(j * (k + 1) + l)];
    }
    ScaleCovariance(V, 0, k, r.test.Vr);
    ParameterTests(B, V, N, 0, k, SB, T, ProbT);
    for (int j = 0; j <= k; ++j) {
        r.SB.push_back(SB[j]);
        r.T.push_back(T[j]);
        r.ProbT.push_back(ProbT[j]);
        for (int l = 0; l <= k; ++l)
            r.V.push_back(V[j][l]);
    }

    const double sd = std::sqrt(r.test.Vr);
    r.S.resize(at(N));
    for (int i = 0; i < N; ++i)
        r.S[at(i)] = d.weighted ? sd / std::sqrt(d.w[at(i)]) : sd;
    return r;
}

void parallelFor(std::size_t count, const std::function<void(std::size_t)>& body,
                 const std::function<void(std::size_t)>& tick)
{
    constexpr std::size_t kChunk = 64;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::mutex failureMutex;
    std::exception_ptr failure;
    std::size_t failureIndex = count;

    auto work = [&](bool caller) {
        for (;;) {
            const std::size_t begin = next.fetch_add(kChunk);
            if (begin >= count)
                return;
            const std::size_t end = std::min(count, begin + kChunk);
            for (std::size_t i = begin; i < end; ++i) {
                try {
                    body(i);
                } catch (...) {
                    const std::lock_guard<std::mutex> lock(failureMutex);
                    if (i < failureIndex) {
                        failureIndex = i;
                        failure = std::current_exception();
                    }
                }
            }
            const std::size_t sofar = done.fetch_add(end - begin) + (end - begin);
            if (caller && tick)
                tick(sofar);
        }
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers =
        std::min<std::size_t>(cores - 1, count > kChunk ? (count - 1) / kChunk : 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t)
        threads.emplace_back(work, false);
    work(true);
    for (std::thread& t : threads)
        t.join();
    if (tick)
        tick(count);
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace tolvar
