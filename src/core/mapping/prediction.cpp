#include "mapping/prediction.h"
#include "common/index.h"

#include <algorithm>
#include <cmath>

namespace tolvar {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr std::pair<int, int> kPairs[3] = {{0, 1}, {0, 2}, {1, 2}};

// The tested pair of a cell, or (-1, -1).
std::pair<int, int> testedPair(const Presence& present)
{
    for (const auto& pair : kPairs)
        if (present[static_cast<std::size_t>(pair.first)] &&
            present[static_cast<std::size_t>(pair.second)])
            return pair;
    return {-1, -1};
}
}  // namespace

SdForm::SdForm(const Tmodel& model) : P(std::min(model.P, 16)), MSRes(model.MSRes)
{
    for (int i = 1; i <= P; ++i)
        for (int j = 1; j <= P; ++j)
            V[static_cast<std::size_t>((i - 1) * P + (j - 1))] =
                model.VarCov[at(i)][at(j)];
}

double bepaalsd(const SdForm& form, const std::array<double, 17>& z, double missingCode)
{
    if (!(form.MSRes > 0.0))
        return missingCode;
    double q = 0.0;
    const double* row = form.V.data();
    for (int i = 1; i <= form.P; ++i, row += form.P) {
        double v = 0.0;
        for (int j = 1; j <= form.P; ++j)
            v += z[at(j)] * row[j - 1];
        q += v * z[at(i)];
    }
    if (q < 0.0)
        return 0.0;
    return std::sqrt(q / form.MSRes);
}

double bepaalsd(const Tmodel& model, const std::array<double, 17>& z, double missingCode)
{
    return bepaalsd(SdForm(model), z, missingCode);
}

bool CheckOK(const std::array<double, 3>& values, const Presence& present)
{
    const auto [first, second] = testedPair(present);
    if (first < 0)
        return true;
    return !(values[at(first)] > values[at(second)]);
}

void modify(double& a, double sa, double& b, double sb)
{
    double lo = a - 2 * sa;
    double hi = b + 2 * sb;
    const double step = (hi - lo) / 100;
    if (lo < hi) {
        double best = -1;
        double bestLo = lo, bestHi = hi;
        while (lo < hi) {
            const double d = std::exp(-(lo - a) * (lo - a) / (2 * sa * sa)) / (kTwoPi * sa) +
                             std::exp(-(hi - b) * (hi - b) / (2 * sb * sb)) / (kTwoPi * sb);
            if (d > best) {
                best = d;
                bestLo = lo;
                bestHi = hi;
            }
            lo += step;
            hi -= step;
        }
        a = bestLo;
        b = bestHi;
    } else {
        const double mean = (a / (sa * sa) + b / (sb * sb)) / (1 / (sa * sa) + 1 / (sb * sb));
        a = mean;
        b = mean;
    }
}

void Pas_GxG_Aan(std::array<double, 3>& values, std::array<double, 3>& bands, const Presence& present)
{
    for (double& band : bands)
        if (band == 0.0)
            band = 1.0;
    const auto [first, second] = testedPair(present);
    if (first < 0)
        return;
    double& a = values[at(first)];
    double& b = values[at(second)];
    if (a > b)
        modify(a, bands[at(first)], b, bands[at(second)]);
}

bool orderCheck(std::array<double, 3>& values, std::array<double, 3> bands, const Presence& present)
{
    if (CheckOK(values, present))
        return false;
    // One correction always puts the pair in order; the bound is a safeguard.
    for (int i = 0; i < 10 && !CheckOK(values, present); ++i)
        Pas_GxG_Aan(values, bands, present);
    return true;
}

}  // namespace tolvar
