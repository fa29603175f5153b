#include "kriging/regression_kriging.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "mapping/prediction.h"
#include "selection/model_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
std::string general(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

// The kriged map of an output slot (MHW_RK, SDMHW_RK, ...) in the folder of
// the MxW's prediction map.
fs::path krigedMapPath(const WorkDir& dir, const std::string& predictionName, int slot)
{
    const auto cut = predictionName.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : predictionName.substr(0, cut);
    const fs::path p = fs::path(folder) / (std::string(slotName(slot)) + "_RK.asc");
    return p.is_absolute() ? p : dir.path() / p;
}
}  // namespace

std::vector<KrigingPoint> normalizedResidualPoints(const AppState& state, Mxw mxw)
{
    const TextTable& table = state.sampling.SampleTable;
    const std::string title = std::string("NormRes") + mxwName(mxw);
    int column = -1;
    for (int c = 0; c < table.colCount(); ++c)
        if (table.cell(c, 0) == title)
            column = c;  // the last residual step counts
    const int xc = state.sampling.columns[kX], yc = state.sampling.columns[kY];
    std::vector<KrigingPoint> points;
    if (column < 0 || xc < 0 || yc < 0)
        return points;
    const double nodata = state.GridProps[0][kNodata];
    for (int r = 1; r < table.rowCount(); ++r) {
        const auto x = parseReal(table.cell(xc, r)), y = parseReal(table.cell(yc, r));
        const auto v = parseReal(table.cell(column, r));
        if (x && y && v && *v != nodata && std::isfinite(*v))
            points.push_back({*x, *y, *v});
    }
    return points;
}

RegressionKriging::RegressionKriging(AppState& state, const PerMxw<bool>& mapped,
                                     const std::array<std::string, 6>& outputNames,
                                     const KrigingSettings& settings, bool orderCheck, const GridHeader& header,
                                     Canvas& picture)
    : state_(state), header_(header), orderCheck_(orderCheck),
      threads_(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
{
    state.ADDLOG("");
    state.ADDLOG("Regression kriging: the normalized residuals of all strata together are kriged.");
    for (Mxw m : kAllMxw) {
        if (!mapped[m])
            continue;
        const std::string name = mxwName(m);
        MxwKriging k;
        k.mxw = m;
        k.points = normalizedResidualPoints(state, m);
        const LagClasses classes = lagClassesFor(k.points, settings.lagWidth, settings.cutoff);
        k.variogram = experimentalVariogram(k.points, classes);
        k.fit = fitVariogram(k.variogram, static_cast<int>(k.points.size()));
        state.ADDLOG(name + ": " + std::to_string(k.points.size()) + " points, lag width " +
                     general(classes.width) + ", cutoff " + general(classes.cutoff) + ", " +
                     std::to_string(k.variogram.pairs.size()) + " classes with pairs");
        for (std::size_t s = 0; s < k.fit.tried.size(); ++s) {
            const VariogramModel& v = k.fit.tried[s];
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.4e", k.fit.errors[s]);
            state.ADDLOG(name + ": nugget + " + v.shapeName() + ": nugget " + general(v.nugget) +
                         ", partial sill " + general(v.psill) + ", range " + general(v.range) +
                         ", weighted squared error " + buf);
        }
        if (k.variogram.pairs.size() > 0) {
            drawVariogram(picture, k);
            const std::string file = name + "-variogram.wmf";
            picture.saveBmp(state.workDir.path() / file);
            pictures_.push_back(file);
            state.ADDLOG("Variogram picture <" + file + "> written to file");
        }
        if (!k.fit.model) {
            state.ADDLOG(name + ": not kriged: " + k.fit.problem);
            closing_ += "\r\n\r\n" + name + " was not kriged: " + k.fit.problem + ".";
            continue;
        }
        k.kriging = std::make_unique<OrdinaryKriging>(k.points, *k.fit.model, settings.neighbours);
        for (int j = 0; j < 2; ++j) {
            const int key = valueSlot(m) + j;
            paths_[at(key)] = krigedMapPath(state.workDir, outputNames[at(valueSlot(m))], key);
            files_[at(key)] = openForWriting(paths_[at(key)]);
            GridWriter(files_[at(key)]).writeHeader(header);
            checkWritten(files_[at(key)], paths_[at(key)]);
        }
        state.ADDLOG(name + ": kriged with nugget + " + k.fit.model->shapeName() + ", the nearest " +
                     std::to_string(settings.neighbours) + " points, into <" + paths_[at(valueSlot(m))].string() +
                     "> and <" + paths_[at(sdSlot(m))].string() + ">");
        kriged_[m].emplace(std::move(k));
    }
}

RegressionKriging::~RegressionKriging() = default;

bool RegressionKriging::any() const
{
    return std::any_of(kriged_.begin(), kriged_.end(), [](const auto& k) { return k.has_value(); });
}

void RegressionKriging::cell(const PerMxw<double>& values, const PerMxw<double>& sds,
                             const PerMxw<double>& msres)
{
    for (Mxw m : kAllMxw) {
        values_[m].push_back(values[m]);
        sds_[m].push_back(sds[m]);
        msres_[m].push_back(msres[m]);
    }
    ++column_;
}

void RegressionKriging::endRow()
{
    column_ = 0;
    if (++rowsInBand_ == OrdinaryKriging::kBlockSide)
        flushBand();
}

void RegressionKriging::flushBand()
{
    if (rowsInBand_ == 0)
        return;
    const double nodata = header_.nodata;
    const auto cells = static_cast<std::size_t>(rowsInBand_ * header_.ncols);
    const CellWindow window{header_.xllcorner,
                            header_.yllcorner + static_cast<double>(header_.nrows - bandFirstRow_) * header_.cellsize,
                            header_.cellsize, header_.ncols, rowsInBand_};
    PerMxw<std::vector<double>> finals, errors;
    for (Mxw m : kAllMxw) {
        finals[m].assign(cells, nodata);
        errors[m].assign(cells, nodata);
        if (!kriged_[m])
            continue;
        std::vector<char> need(cells);
        for (std::size_t k = 0; k < cells; ++k)
            need[k] = values_[m][k] != nodata && sds_[m][k] != nodata && msres_[m][k] > 0;
        std::vector<KrigingEstimate> e(cells);
        kriged_[m]->kriging->krige(window, need, e, threads_);
        for (std::size_t k = 0; k < cells; ++k) {
            if (!need[k] || !e[k].ok)
                continue;
            const double s = std::sqrt(msres_[m][k]), sd = sds_[m][k];
            finals[m][k] = values_[m][k] + s * e[k].value;
            errors[m][k] = s * std::sqrt(e[k].variance + sd * sd);
        }
    }
    if (orderCheck_)
        for (std::size_t k = 0; k < cells; ++k) {
            PerMxw<double> v{}, band{};
            Presence present{};
            for (Mxw m : kAllMxw) {
                v[m] = finals[m][k];
                band[m] = errors[m][k];
                present[m] = kriged_[m].has_value() && v[m] != nodata;
            }
            if (orderCheck(v, band, present)) {
                ++wrongOrder_;
                for (Mxw m : kAllMxw)
                    finals[m][k] = v[m];
            }
        }
    for (Mxw m : kAllMxw) {
        if (!kriged_[m])
            continue;
        for (int j = 0; j < 2; ++j) {
            const std::vector<double>& grid = j == 0 ? finals[m] : errors[m];
            std::ofstream& out = files_[at(valueSlot(m) + j)];
            GridWriter writer(out);
            for (long long r = 0; r < rowsInBand_; ++r) {
                for (long long c = 0; c < header_.ncols; ++c) {
                    text_.clear();
                    appendFixed(text_, grid[static_cast<std::size_t>(r * header_.ncols + c)], 5, 1);
                    writer.writeValue(text_);
                }
                writer.endRow();
            }
            checkWritten(out, paths_[at(valueSlot(m) + j)]);
        }
    }
    for (Mxw m : kAllMxw) {
        values_[m].clear();
        sds_[m].clear();
        msres_[m].clear();
    }
    bandFirstRow_ += rowsInBand_;
    rowsInBand_ = 0;
}

void RegressionKriging::finish()
{
    flushBand();
    for (std::size_t k = 0; k < files_.size(); ++k)
        if (files_[k].is_open()) {
            files_[k].close();
            checkWritten(files_[k], paths_[k]);
        }
    long long systems = 0;
    std::string names;
    for (const auto& k : kriged_)
        if (k) {
            systems += k->kriging->factorizations();
            names += std::string(names.empty() ? "" : ", ") + mxwName(k->mxw);
        }
    state_.ADDLOG("Kriged maps written (" + names + "); kriging systems factorized: " + std::to_string(systems));
    closing_ = "\r\n\r\nThe normalized residuals were kriged; the kriged maps (" + names +
               ") and their standard deviations in MxW units were written beside the maps." + closing_;
    if (wrongOrder_ > 0) {
        const std::string share =
            fixed(100.0 * static_cast<double>(wrongOrder_) / static_cast<double>(header_.ncols * header_.nrows), 7, 3);
        closing_ += "\r\n\r\nKriged MxW were found in the wrong order\r\nin " + share +
                    "% of the area. These are corrected.";
        state_.ADDLOG("Kriged MxW in the wrong order, corrected, in " + share + "% of the area");
    }
}

}  // namespace tolvar
