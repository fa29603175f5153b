#pragma once

#include "common/mxw.h"
#include "selection/model_table.h"

#include <array>

namespace tolvar {

// The quadratic form of one model, laid out once for the cell loop: its
// P x P covariance block, row after row, and its residual variance.
struct SdForm {
    explicit SdForm(const Tmodel& model);
    int P = 0;
    double MSRes = 0.0;
    std::array<double, 256> V{};
};

// bepaalsd: sqrt(z' V z / MSRes) for the regressor vector z (z[1] = 1, then the
// regressor values) of a model. A residual variance of 0 gives `missingCode`;
// a quadratic form that rounding made negative gives 0.
double bepaalsd(const Tmodel& model, const std::array<double, 17>& z, double missingCode);
double bepaalsd(const SdForm& form, const std::array<double, 17>& z, double missingCode);

// The present flags of the three MxW values of a cell.
using Presence = PerMxw<bool>;

// CheckOK: the tested pair (the first of MHW-MSW, MHW-MLW, MSW-MLW with both
// present) is in order, or there is none.
bool CheckOK(const std::array<double, 3>& values, const Presence& present);

// modify: moves a (should be lower) and b towards each other inside their bands.
void modify(double& a, double sa, double& b, double sb);

// Pas_GxG_Aan: bands of 0 become 1; the tested pair, when out of order, is modified.
void Pas_GxG_Aan(std::array<double, 3>& values, std::array<double, 3>& bands,
                 const Presence& present);

// The whole order check of one cell; true when the cell was out of order.
bool orderCheck(std::array<double, 3>& values, std::array<double, 3> bands, const Presence& present);

}  // namespace tolvar
