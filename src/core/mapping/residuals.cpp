#include "common/io_error.h"
#include "common/index.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "grids/sampling.h"
#include "mapping/prediction_run.h"
#include "selection/select_best.h"

#include <cmath>
#include <fstream>

namespace tolvar {

namespace {
constexpr const char* kCalculating = "Calculating residuals at observation locations...";
const Stage kResidualProgress{"of residuals calculated"};
constexpr const char* kTitles[6] = {"ResidueMHW", "NormResMHW", "ResidueMSW",
                                    "NormResMSW", "ResidueMLW", "NormResMLW"};

}  // namespace

std::string normalizedResiduals(AppState& state, const PerMxw<bool>& mapped,
                                std::string& closing)
{
    Feedback& fb = state.fb();
    fb.statusText(kCalculating);
    TextTable& table = state.sampling.SampleTable;
    const int c0 = table.colCount();
    for (const char* title : kTitles)
        table.appendColumn(title);

    const int n = state.registry.AuxVarCount;
    std::array<int, 16> slotColumn;
    slotColumn.fill(-1);
    for (int i = 0; i <= n; ++i)
        for (int c = 0; c < c0; ++c)
            if (table.cell(c, 0) == state.registry.labelCaption(i))
                slotColumn[at(i)] = c;

    const double nodata = state.GridProps[0][kNodata];
    const std::string missingResidual = fixed(nodata, 10, 1);
    const std::string missingNormalized = fixed(nodata, 10, 6);
    const int rows = table.rowCount();
    ProgressThrottle progress(fb, rows - 1, kResidualProgress);
    for (int r = 1; r < rows; ++r) {
        const std::string key =
            slotColumn[0] >= 0 ? toskim2(table.cell(slotColumn[0], r)) : std::string("missing");
        const auto keyValue = parseReal(key);
        const bool stratumMissing = key == "missing" || (keyValue && *keyValue == nodata);
        std::array<double, 16> aux{};
        std::array<bool, 16> missing{};
        for (int i = 1; i <= n; ++i) {
            const int c = slotColumn[at(i)];
            const auto v = c >= 0 ? parseReal(table.cell(c, r)) : std::nullopt;
            missing[at(i)] = !v || *v == state.GridProps[at(i)][kNodata];
            aux[at(i)] = v.value_or(0.0);
        }
        for (Mxw m : kAllMxw) {
            std::string& residualCell = table.cell(c0 + valueSlot(m), r);
            std::string& normalizedCell = table.cell(c0 + sdSlot(m), r);
            if (!mapped[m]) {
                residualCell = normalizedCell = "missing";
                continue;
            }
            residualCell = missingResidual;
            normalizedCell = missingNormalized;
            if (stratumMissing)
                continue;
            const Tmodel* model = state.modelTables.lookup(m, key);
            if (!model || !model->hasModel)
                continue;
            const Prediction p = predict(*model, aux, missing);
            const int observedColumn = state.sampling.columns[mxwRole(m)];
            const auto observed = observedColumn >= 0 && observedColumn < c0
                                      ? parseReal(table.cell(observedColumn, r))
                                      : std::nullopt;
            if (!p.ok || !observed)
                continue;
            const double residual = *observed - p.value;
            residualCell = fixed(residual, 10, 1);
            const double s = std::sqrt(model->MSRes);
            if (s > 0)
                normalizedCell = fixed(residual / s, 10, 6);
        }
        progress.update(r);
    }

    const std::string fileName = "Session " + std::to_string(state.SessionNumber) + " normres.csv";
    const auto path = state.workDir.path() / fileName;
    writeSemicolonTable(path, table);

    state.ADDLOG("");
    state.ADDLOG("Per stratum and MxW the residuals are normalized by division through S. Below and "
                 "overview:");
    state.ADDLOG("MxW Stratum     S");
    std::optional<Mxw> lastMapped;
    std::size_t count = 0;
    for (Mxw m : kAllMxw) {
        count = std::max(count, state.modelTables.table(m).size());
        if (mapped[m])
            lastMapped = m;
    }
    for (std::size_t i = 0; i < count && lastMapped; ++i) {
        const auto& lastTable = state.modelTables.table(*lastMapped);
        const std::string stratum = i < lastTable.size() ? lastTable[i].Stratum : std::string();
        for (Mxw m : kAllMxw) {
            if (!mapped[m])
                continue;
            const auto& t = state.modelTables.table(m);
            std::string sText = padLeft("missing", 9);
            if (i < t.size() && t[i].hasModel)
                sText = fixed(std::sqrt(t[i].MSRes), 9, 4);
            state.ADDLOG(std::string(mxwName(m)) + " " + padLeft(stratum, 7) + " " + sText);
        }
    }
    closing += "\r\n\r\nResidues at observation locations were calculated and normalized.\r\n"
               "These were written to " + fileName;
    state.setMilestone(Mijlpaal::na_kriging, false);
    return fileName;
}

}  // namespace tolvar
