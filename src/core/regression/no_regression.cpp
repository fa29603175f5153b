#include "regression/no_regression.h"

#include "common/number_format.h"
#include "pointdata/point_columns.h"

namespace tolvar {

namespace {
constexpr const char* kMissingWord = "missing";
}  // namespace

std::string whyNoRegression(const SamplingState& sampling, const PerMxw<bool>& mxwChecked,
                            bool weighted)
{
    const TextTable& table = sampling.SampleTable;
    std::string withoutNumbers;
    bool anyNumeric = false;
    for (Mxw m : kAllMxw) {
        if (!mxwChecked[m])
            continue;
        const int col = sampling.columns[static_cast<std::size_t>(mxwRole(m))];
        bool numeric = false;
        for (int r = 1; r < table.rowCount() && !numeric && col >= 0 && col < table.colCount(); ++r)
            numeric = parseReal(table.cell(col, r)).has_value();
        anyNumeric = anyNumeric || numeric;
        if (!numeric)
            withoutNumbers += std::string(withoutNumbers.empty() ? "" : ", ") +
                              mxwName(m);
    }
    if (!anyNumeric)
        return std::string(kNoRegressionDone) + kNoNumericMxw + withoutNumbers + ". " + kDecimalCommaAdvice;
    if (sampling.StrataCodes.empty())
        return std::string(kNoRegressionDone) + kNoPointOnStrata + kDecimalCommaAdvice;

    // Points off the strata grid never reach a data file.
    const int strataColumn = sampling.FirstSampledColumn;
    for (Mxw m : kAllMxw) {
        if (!mxwChecked[m])
            continue;
        for (const int role : {mxwRole(m), sdRole(m)}) {
            const int col = sampling.columns[static_cast<std::size_t>(role)];
            if ((role == sdRole(m) && !weighted) || col < 0 || col >= table.colCount())
                continue;
            for (int r = 1; r < table.rowCount(); ++r) {
                const std::string& cell = table.cell(col, r);
                if (table.cell(strataColumn, r) == kMissingWord || cell == kMissingWord || parseReal(cell))
                    continue;
                return std::string(kNoRegressionDone) + "the " + table.cell(col, 0) + " column holds \"" + cell +
                       "\"" + kNotANumber + kDecimalCommaAdvice;
            }
        }
    }
    return {};
}

void reportNoRegression(AppState& state, const std::string& why)
{
    state.ADDLOG(why);
    state.fb().busy(false);
    state.fb().idle();
    state.fb().message(why);
}

}  // namespace tolvar
