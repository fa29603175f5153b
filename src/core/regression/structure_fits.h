#pragma once

#include "regression/linear_regression.h"
#include "regression/regression_files.h"

#include <Eigen/Dense>

#include <cstddef>
#include <functional>
#include <vector>

namespace tolvar {

// The weighted design of one stratum and MxW over one set of records, reduced
// once by an orthogonal factorization: every structure's least-squares problem
// on these records is then the same problem on a few columns of the small
// triangular factor, whatever the number of records.
//
// Columns: 0 the constant, 1..V the auxiliary variables by slot, V + 1 the MxW.
struct ReducedDesign {
    // x[v][i] for v = 1..V (x[0] unused), y[i] and, weighted, s[i]; i = 0..N-1.
    // A variable no structure on these records uses may hold anything finite.
    ReducedDesign(std::vector<std::vector<double>> x, std::vector<double> y,
                  const std::vector<double>& s, bool weighted);

    int observations() const { return static_cast<int>(y.size()); }
    int variables() const { return static_cast<int>(x.size()) - 1; }

    std::vector<std::vector<double>> x;
    std::vector<double> y, w;
    bool weighted;
    Eigen::MatrixXd r;             // the triangular factor, min(N, V + 2) rows
    std::vector<double> colNorm2;  // sum of w x^2 per column, the constant's first
    double yNorm2 = 0.0;
};

// The least-squares fit of one structure: `vars` are its variables (slots) in
// the order of their groups.
struct StructureFit {
    int status = 0;  // 0 done, -2 the decomposition did not converge
    double ssr = 0.0;
    double Vr = 0.0;
    std::vector<double> B;  // 0..k
    std::vector<double> C;  // unscaled covariance, (k + 1) x (k + 1)
};
StructureFit fitStructure(const ReducedDesign& design, const std::vector<int>& vars);

// Everything the result file of a fitted structure prints but its names.
ResultContent structureResult(const ReducedDesign& design, const std::vector<int>& vars,
                              const StructureFit& fit);

// Runs body(i) for i = 0..count-1 on every core. The calling thread takes part
// and calls tick(done) between its chunks, so progress is shown by the thread
// that owns the window. The first failure (by index) is rethrown at the end.
void parallelFor(std::size_t count, const std::function<void(std::size_t)>& body,
                 const std::function<void(std::size_t)>& tick);

}  // namespace tolvar
