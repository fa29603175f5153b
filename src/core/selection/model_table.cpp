#include "selection/model_table.h"
#include "structures/combinations.h"

#include "common/index.h"
#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "regression/regression_files.h"
#include "selection/select_best.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace tolvar {

namespace {
constexpr const char* kTooManyStrata = "Number of strata too large; new are ignored";
}

Tmodel readModel(const WorkDir& dir, const std::string& bestName, const std::string& stratstr,
                 const std::string& gxg)
{
    Tmodel m;
    m.FileName = bestName;
    m.Stratum = stratstr;
    m.WelkeAhnplus.fill(-1);
    const ResultFile r = readResultFile(dir.resolve(bestName));
    m.Coef = r.estimates;
    m.VarCov = r.varCov;
    m.P = r.p;
    m.N = r.N;
    m.MSRes = r.s * r.s;
    for (const auto& [group, variable] : structureElements(structureOfFileName(bestName, stratstr, gxg)))
        if (group && variable && *group >= 1 && *group <= 15)
            m.WelkeAhnplus[static_cast<std::size_t>(*group)] = static_cast<int>(*variable);
    return m;
}

void ModelTables::append(std::optional<Mxw> mxw, Tmodel model, Feedback& feedback)
{
    if (!mxw)
        return;
    auto& table = tables_[*mxw];
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
    const std::optional<Mxw> mxw = parseMxw(gxg);
    if (mxw && tables_[*mxw].size() >=
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
    append(parseMxw(gxg), std::move(m), feedback);
}

const Tmodel* ModelTables::lookup(Mxw mxw, const std::string& stratum) const
{
    const Tmodel* found = nullptr;
    for (const Tmodel& m : tables_[mxw])
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
