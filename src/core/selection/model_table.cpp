#include "selection/model_table.h"
#include "structures/combinations.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "selection/select_best.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tolvar {

namespace {
constexpr const char* kTooManyStrata = "Number of strata too large; new are ignored";
}

double estimateOf(const std::vector<std::string>& lines, const std::string& name)
{
    // The parameter line starts with the name right-aligned in 5; the estimate
    // is the number after it, read whole even when it fills its field.
    const std::string field = padLeft(name, 5);
    for (const std::string& line : lines) {
        if (line.compare(0, 5, field) != 0)
            continue;
        const auto start = line.find_first_not_of(' ', 5);
        if (start == std::string::npos)
            return 0.0;
        const auto stop = line.find(' ', start);
        return parseReal(line.substr(start, stop == std::string::npos ? std::string::npos
                                                                      : stop - start))
            .value_or(0.0);
    }
    return 0.0;
}

int mxwIndex(const std::string& gxg)
{
    if (gxg == "MHW")
        return 0;
    if (gxg == "MSW")
        return 1;
    if (gxg == "MLW")
        return 2;
    return -1;
}

Tmodel readModel(const WorkDir& dir, const std::string& bestName, const std::string& stratstr,
                 const std::string& gxg)
{
    Tmodel m;
    m.FileName = bestName;
    m.Stratum = stratstr;
    m.WelkeAhnplus.fill(-1);
    std::vector<std::string> lines;
    {
        std::ifstream in = openForReading(dir.resolve(bestName));
        lines = readAllLines(in);
    }
    const std::string formula = skip_until_line(lines, "Function  ");
    for (int i = 0; i <= 15; ++i) {
        const std::string name = "b" + std::to_string(i);
        if (formula.find(name) == std::string::npos)
            continue;
        m.Coef[static_cast<std::size_t>(i)] = estimateOf(lines, name);
    }
    m.P = static_cast<int>(std::count(formula.begin(), formula.end(), 'b'));
    const double n = numberAt(skip_until_line(lines, "Number of observations"), 42, 6);
    m.N = std::fabs(n) < 1e9 ? static_cast<int>(n) : 0;
    const double s = numberAt(skip_until_line(lines, "Residual error"), 42, 11);
    m.MSRes = s * s;

    const int P = std::min(m.P, 16);
    auto it = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Variance-Covariance ") != std::string::npos;
    });
    // The rows start past the coefficient names and the separator; a file cut
    // short there has none.
    if (std::distance(it, lines.end()) > 3) {
        auto row = it + 3;
        for (int i = 1; i <= P && row != lines.end(); ++i, ++row) {
            std::istringstream values(*row);
            for (int j = 1; j <= P; ++j) {
                std::string token;
                if (!(values >> token))
                    break;
                m.VarCov[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                    parseReal(token).value_or(0.0);
            }
        }
    }

    for (const auto& [group, variable] : structureElements(structureOfFileName(bestName, stratstr, gxg)))
        if (group && variable && *group >= 1 && *group <= 15)
            m.WelkeAhnplus[static_cast<std::size_t>(*group)] = static_cast<int>(*variable);
    return m;
}

void ModelTables::append(int mxw, Tmodel model, Feedback& feedback)
{
    if (mxw < 0)
        return;
    auto& table = tables_[static_cast<std::size_t>(mxw)];
    if (table.size() >= static_cast<std::size_t>(kMaxModelsPerTable)) {
        feedback.message(kTooManyStrata);
        return;
    }
    table.push_back(std::move(model));
}

void ModelTables::add_structure(const WorkDir& dir, const std::string& bestName,
                                const std::string& stratstr, const std::string& gxg,
                                Feedback& feedback)
{
    const int mxw = mxwIndex(gxg);
    if (mxw >= 0 && tables_[static_cast<std::size_t>(mxw)].size() >=
                        static_cast<std::size_t>(kMaxModelsPerTable)) {
        feedback.message(kTooManyStrata);
        return;
    }
    append(mxw, readModel(dir, bestName, stratstr, gxg), feedback);
}

void ModelTables::addNoModel(const std::string& stratstr, const std::string& gxg, Feedback& feedback)
{
    Tmodel m;
    m.Stratum = stratstr;
    m.WelkeAhnplus.fill(-1);
    m.hasModel = false;
    append(mxwIndex(gxg), std::move(m), feedback);
}

const Tmodel* ModelTables::lookup(int mxw, const std::string& stratum) const
{
    if (mxw < 0 || mxw > 2)
        return nullptr;
    const Tmodel* found = nullptr;
    for (const Tmodel& m : tables_[static_cast<std::size_t>(mxw)])
        if (m.Stratum == stratum)
            found = &m;
    return found;
}

void ModelTables::clear()
{
    for (auto& t : tables_)
        t.clear();
}

}  // namespace tolvar
