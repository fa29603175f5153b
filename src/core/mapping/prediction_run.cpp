#include "mapping/prediction_run.h"
#include "common/index.h"

#include "common/bounded_queue.h"
#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "mapping/cell_streams.h"
#include "mapping/map_status.h"
#include "mapping/prediction.h"
#include "presentation/result_display.h"
#include "regression/regression_run.h"
#include "selection/select_best.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <thread>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
const Stage kStrataBestModel{"strata best model"};
const Stage kMapping{"mapping"};
constexpr const char* kBusyMapping = "Busy mapping ...";

// Creates the directory of an output name (one level); false when it cannot.
bool ensureDirectory(const WorkDir& dir, const std::string& name, std::string& directory)
{
    const auto cut = name.find_last_of("\\/");
    directory = cut == std::string::npos ? std::string() : name.substr(0, cut);
    if (directory.empty())
        return false;
    const fs::path path = fs::path(directory).is_absolute() ? fs::path(directory)
                                                            : dir.path() / directory;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return true;
    return fs::create_directory(path, ec) || fs::is_directory(path, ec);
}

// Whether any stratum has a result file for a mapped MxW.
bool anyModel(const WorkDir& dir, const std::vector<std::string>& strata, const PerMxw<bool>& mapped)
{
    for (const std::string& name : dir.list("*.out"))
        for (const std::string& stratum : strata)
            for (Mxw m : kAllMxw)
                if (mapped[m] && belongsToPair(name, toskim2(stratum), mxwName(m)))
                    return true;
    return false;
}

fs::path outputPath(const WorkDir& dir, const std::string& name)
{
    const fs::path p(name);
    return p.is_absolute() ? p : dir.path() / p;
}
}  // namespace

Prediction predict(const Tmodel& model, const std::array<double, 16>& aux,
                   const std::array<bool, 16>& missing)
{
    Prediction p;
    p.value = model.Coef[0];
    p.z[1] = 1.0;
    int k = 0;
    for (int g = 1; g <= 15; ++g) {
        const int variable = model.WelkeAhnplus[at(g)];
        if (variable < 1 || variable > 15)
            continue;
        ++k;
        if (missing[at(variable)])
            return p;
        const double v = aux[at(variable)];
        if (k <= 15)
            p.value += model.Coef[at(k)] * v;
        p.z[at(k + 1)] = v;
    }
    p.ok = true;
    return p;
}

std::string wrongOrderText(long long wrongCells, long long allCells)
{
    return "\r\n\r\nMxW were found in the wrong order\r\nin " +
           fixed(100.0 * static_cast<double>(wrongCells) / static_cast<double>(allCells), 7, 3) +
           "% of the area. These are corrected.";
}

namespace {

// Stage 1: the folders of the output names; false (with the message shown)
// when one cannot be made.
bool makeOutputFolders(const WorkDir& dir, const MappingSettings& settings, Feedback& fb)
{
    for (Mxw m : kAllMxw) {
        if (!settings.mapped[m])
            continue;
        for (int k = 0; k < 2; ++k) {
            std::string directory;
            if (!ensureDirectory(dir, settings.outputNames[at(valueSlot(m) + k)], directory)) {
                fb.message(m == Mxw::MHW && k == 0 ? "Kan " + directory + " niet aanmaken!"
                                            : "Cannot create " + directory + "!");
                return false;
            }
        }
    }
    return true;
}

// Stage 2: the best model of every stratum and mapped MxW, shown as it is
// chosen, into the model tables.
void loadModels(AppState& state, const MappingSettings& settings, Canvas& fitCanvas)
{
    Feedback& fb = state.fb();
    const WorkDir& dir = state.workDir;
    state.modelTables.clear();
    const auto& strata = state.sampling.StrataCodes;
    const int strataCount = static_cast<int>(strata.size());
    for (int i = 0; i < strataCount; ++i) {
        const std::string stratum = toskim2(strata[at(i)]);
        for (Mxw m : kAllMxw) {
            if (!settings.mapped[m])
                continue;
            const std::string mxw = mxwName(m);
            // Selection chooses once; the display only draws the choice.
            const std::optional<BestModel> best =
                chooseBest(dir, state.registry.GroupCount, stratum, mxw, fb);
            ResultChoice choice;
            choice.stratumText = stratum;
            choice.mxw = mxw;
            choice.groupCount = state.registry.GroupCount;
            choice.auxVarCount = state.registry.AuxVarCount;
            choice.weighted = state.weighted;
            showBestResult(state, choice, fitCanvas, best);
            // A stratum without a model keeps an entry of its own, so the
            // tables stay aligned with StrataCodes.
            if (best)
                state.modelTables.add_structure(dir, best->fileName, stratum, mxw, fb);
            else
                state.modelTables.addNoModel(stratum, mxw, fb);
        }
        fb.progress(i + 1, strataCount, kStrataBestModel);
    }
}

// What one cell gives: per MxW its prediction and sd (the missing code when
// there is none), and whether the order check corrected it.
struct CellOutcome {
    PerMxw<double> values{}, sds{};
    bool stratumMissing = false;
    bool outOfOrder = false;
};

// The prediction of one cell from its grid values: the stratum's models, the
// sd, the order check. It reads nothing and writes nothing.
class CellPredictor {
public:
    CellPredictor(const AppState& state, const MappingSettings& settings, double nodata)
        : settings_(settings), nodata_(nodata), n_(state.registry.AuxVarCount)
    {
        const auto& strata = state.sampling.StrataCodes;
        const int strataCount = static_cast<int>(strata.size());
        // Strata by value: an exact match first (also for strata written with
        // decimals), then the stratum of the rounded value.
        for (int i = 0; i < strataCount; ++i)
            if (const auto v = parseReal(strata[at(i)]))
                strataByValue_.emplace(*v, i);
        models_.resize(at(strataCount));
        sdForms_.resize(at(strataCount));
        for (int i = 0; i < strataCount; ++i)
            for (Mxw m : kAllMxw) {
                const Tmodel* model = state.modelTables.lookup(m, toskim2(strata[at(i)]));
                models_[at(i)][m] = model && model->hasModel ? model : nullptr;
                if (models_[at(i)][m])
                    sdForms_[at(i)][m].emplace(*model);
            }
        for (int i = 1; i <= n_; ++i)
            auxNodata_[at(i)] = state.GridProps[at(i)][kNodata];
    }

    // cell[0] the stratum, cell[1..n] the auxiliary values.
    CellOutcome predict(const double* cell)
    {
        CellOutcome out;
        out.values.fill(nodata_);
        out.sds.fill(nodata_);
        const double s = cell[0];
        for (int i = 1; i <= n_; ++i) {
            aux_[at(i)] = cell[i];
            missing_[at(i)] = aux_[at(i)] == auxNodata_[at(i)];
        }
        out.stratumMissing = s == nodata_;
        const int stratumIndex = out.stratumMissing ? -1 : stratumOf(s);
        PerMxw<double> msres{nodata_, nodata_, nodata_};
        Presence present{};
        for (Mxw m : kAllMxw) {
            if (!settings_.mapped[m] || stratumIndex < 0)
                continue;
            const Tmodel* model = models_[at(stratumIndex)][m];
            if (!model)
                continue;
            msres[m] = model->MSRes;
            const Prediction p = tolvar::predict(*model, aux_, missing_);
            if (!p.ok)
                continue;
            out.values[m] = p.value;
            out.sds[m] = bepaalsd(*sdForms_[at(stratumIndex)][m], p.z, nodata_);
            present[m] = true;
        }
        if (settings_.orderCheck) {
            PerMxw<double> bands{};
            for (Mxw m : kAllMxw)
                bands[m] = present[m] && out.sds[m] != nodata_ && msres[m] > 0
                                   ? std::sqrt((out.sds[m] * out.sds[m] + 1) * msres[m])
                                   : 0.0;
            out.outOfOrder = orderCheck(out.values, bands, present);
        }
        return out;
    }

private:
    int stratumOf(double s)
    {
        // Neighbouring cells mostly share their stratum.
        if (s == lastStratumValue_)
            return lastStratumIndex_;
        auto it = strataByValue_.find(s);
        if (it == strataByValue_.end())
            it = strataByValue_.find(roundHalfEven(s));
        lastStratumValue_ = s;
        lastStratumIndex_ = it != strataByValue_.end() ? it->second : -1;
        return lastStratumIndex_;
    }

    const MappingSettings& settings_;
    double nodata_;
    int n_;
    std::map<double, int> strataByValue_;
    std::vector<PerMxw<const Tmodel*>> models_;
    std::vector<PerMxw<std::optional<SdForm>>> sdForms_;
    std::array<double, 16> auxNodata_{}, aux_{};
    std::array<bool, 16> missing_{};
    double lastStratumValue_ = std::nan("");
    int lastStratumIndex_ = -1;
};

// The map-status picture, painted cell by cell: the last cell painted on a
// pixel is the one that shows, so a cell whose square the next cell covers
// again is skipped.
class StatusPainter {
public:
    StatusPainter(Canvas& canvas, const GridHeader& header) : picture_(canvas)
    {
        picture_.blank();
        picture_.param(header);
    }

    void cell(long long c, long long r, Rgb color)
    {
        const int px = picture_.pixelX(static_cast<double>(c));
        const int py = picture_.pixelY(static_cast<double>(r));
        if (pending_ && (px != pendingX_ || py != pendingY_))
            picture_.pixel(pendingColor_, static_cast<double>(c - 1), static_cast<double>(r));
        pending_ = true;
        pendingX_ = px;
        pendingY_ = py;
        pendingColor_ = color;
    }

    void endRow(long long ncols, long long r)
    {
        if (pending_) {
            picture_.pixel(pendingColor_, static_cast<double>(ncols), static_cast<double>(r));
            pending_ = false;
        }
    }

private:
    MapStatusPicture picture_;
    int pendingX_ = 0, pendingY_ = 0;
    Rgb pendingColor_;
    bool pending_ = false;
};

// One row of cell values of every grid, or the failure that ended the reading.
struct InRow {
    std::vector<double> cells;  // [column * slots + slot]
    std::exception_ptr error;
};
// One row of every map, by output key.
struct OutRow {
    std::array<std::vector<double>, 6> values;
};

// The grids, parsed row by row on a thread of their own, a few rows ahead.
class RowReader {
public:
    RowReader(InputStreams& inputs, int n, long long nrows, long long ncols, bool rowEnds)
        : rows_(4), thread_([&inputs, this, n, nrows, ncols, rowEnds] {
              const std::size_t slots = at(n + 1);
              const auto width = static_cast<std::size_t>(ncols);
              for (long long r = 1; r <= nrows; ++r) {
                  InRow row;
                  try {
                      row.cells.resize(slots * width);
                      for (std::size_t c = 0; c < width; ++c)
                          for (std::size_t i = 0; i < slots; ++i)
                              row.cells[c * slots + i] = inputs.leeswaarde(static_cast<int>(i));
                      if (rowEnds)
                          for (int i = 0; i <= n; ++i)
                              inputs.leesregel(i);
                  } catch (...) {
                      row.error = std::current_exception();
                      rows_.push(std::move(row));
                      break;
                  }
                  if (!rows_.push(std::move(row)))
                      break;
              }
              rows_.close();
          })
    {
    }
    ~RowReader()
    {
        rows_.close();
        thread_.join();
    }

    // The next row; its reading failure is thrown here, on the caller's thread.
    InRow next()
    {
        std::optional<InRow> row = rows_.pop();
        if (!row)
            throw IoError("", "the grids could not be read");
        if (row->error)
            std::rethrow_exception(row->error);
        return std::move(*row);
    }

private:
    BoundedQueue<InRow> rows_;
    std::thread thread_;
};

// The maps, formatted and written on a thread of their own.
class MapWriter {
public:
    MapWriter(OutputStreams& outputs, const MappingSettings& settings, TGridFileType type)
        : rows_(4), thread_([&outputs, &settings, this, type] {
              try {
                  std::string text;
                  while (auto row = rows_.pop()) {
                      for (Mxw m : kAllMxw) {
                          if (!settings.mapped[m])
                              continue;
                          for (const int key : {valueKey(m), sdKey(m)}) {
                              for (double v : row->values[at(key)]) {
                                  text.clear();
                                  appendFixed(text, v, 5, 0);
                                  outputs.schrijfwaarde(type, key, text);
                              }
                          }
                          if (type == TGridFileType::asciigrid) {
                              outputs.schrijfregel(mxwName(m));
                              outputs.schrijfregel(sdName(m));
                          }
                      }
                  }
              } catch (...) {
                  error_ = std::current_exception();
                  rows_.close();
              }
          })
    {
    }
    ~MapWriter()
    {
        rows_.close();
        if (thread_.joinable())
            thread_.join();
    }

    static int valueKey(Mxw m) { return OutputStreams::keyIndex(mxwName(m)); }
    static int sdKey(Mxw m) { return OutputStreams::keyIndex(sdName(m)); }

    // False when the writer has failed; finish() then throws its error.
    bool push(OutRow row) { return rows_.push(std::move(row)); }

    // Waits for every row to be written; a writing failure is thrown here.
    void finish()
    {
        rows_.close();
        thread_.join();
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    BoundedQueue<OutRow> rows_;
    std::exception_ptr error_;
    std::thread thread_;
};

// Stage 3: every cell of the strata grid, read, predicted, painted and
// written. Three stages overlap: the reading thread, this thread, the
// writing thread; a few rows in flight keep memory flat. Gives the number of
// cells the order check corrected.
long long writeMaps(AppState& state, const MappingSettings& settings, const GridHeader& header,
                    OutputStreams& outputs, StatusPainter& painter)
{
    Feedback& fb = state.fb();
    const GridPropsRow& strataRow = state.GridProps[0];
    const long long nrows = roundToInteger(strataRow[kNrows]);
    const long long ncols = roundToInteger(strataRow[kNcols]);
    const int n = state.registry.AuxVarCount;
    const std::size_t slots = at(n + 1);
    const TGridFileType type = settings.outputType;
    std::optional<Mxw> lastMapped;
    for (Mxw m : kAllMxw)
        if (settings.mapped[m])
            lastMapped = m;

    CellPredictor predictor(state, settings, header.nodata);
    InputStreams inputs;
    inputs.openlees(state.workDir, state.registry, state.GridProps, &state.gridLibrary);
    long long wrongOrder = 0;
    {
        // Leaving this block stops the reader, then the writer, before the streams close.
        MapWriter writer(outputs, settings, type);
        RowReader reader(inputs, n, nrows, ncols, type == TGridFileType::asciigrid);
        ProgressThrottle progress(fb, static_cast<double>(nrows), kMapping);
        for (long long r = 1; r <= nrows; ++r) {
            const InRow in = reader.next();
            OutRow out;
            for (Mxw m : kAllMxw)
                if (settings.mapped[m]) {
                    out.values[at(MapWriter::valueKey(m))].reserve(static_cast<std::size_t>(ncols));
                    out.values[at(MapWriter::sdKey(m))].reserve(static_cast<std::size_t>(ncols));
                }
            for (long long c = 1; c <= ncols; ++c) {
                const CellOutcome cell =
                    predictor.predict(in.cells.data() + static_cast<std::size_t>(c - 1) * slots);
                wrongOrder += cell.outOfOrder;
                Rgb color = colors::kWhite;
                for (Mxw m : kAllMxw) {
                    if (!settings.mapped[m])
                        continue;
                    if (m == lastMapped)  // the last mapped MxW colours the picture
                        color = greyLevel(cell.values[m], state.sampling.ranges[m]);
                    out.values[at(MapWriter::valueKey(m))].push_back(cell.values[m]);
                    out.values[at(MapWriter::sdKey(m))].push_back(cell.sds[m]);
                }
                if (cell.stratumMissing || !lastMapped)
                    color = colors::kWhite;
                painter.cell(c, r, color);
            }
            painter.endRow(ncols, r);
            if (!writer.push(std::move(out)))
                break;  // the writer failed: finish() throws its error
            progress.update(static_cast<double>(r));
        }
        writer.finish();
    }
    for (Mxw m : kAllMxw)
        if (settings.mapped[m]) {
            outputs.sluitbestand(type, mxwName(m));
            outputs.sluitbestand(type, sdName(m));
        }
    inputs.close();
    return wrongOrder;
}

}  // namespace

MappingOutcome runPrediction(AppState& state, const MappingSettings& settings, Canvas& fitCanvas,
                             Canvas& statusCanvas)
{
    MappingOutcome outcome;
    Feedback& fb = state.fb();
    const WorkDir& dir = state.workDir;
    // Without a single model every map would hold NODATA only.
    if (!anyModel(dir, state.sampling.StrataCodes, settings.mapped)) {
        fb.message(kNoModelToMap);
        return outcome;
    }
    state.ADDLOG("");
    state.ADDLOG("****** " + sessionText(state.SessionNumber) + " PREDICTION MxW ******");
    state.setMilestone(Mijlpaal::na_rapporteren, false);
    if (!settings.noMaps) {
        const std::string refused = InputStreams::refusal(state.registry, state.GridProps, state.gridLibrary);
        if (!refused.empty()) {
            fb.message(refused);
            return outcome;
        }
    }
    if (!makeOutputFolders(dir, settings, fb))
        return outcome;
    loadModels(state, settings, fitCanvas);

    const GridHeader header = headerOf(state.GridProps[0]);
    const TGridFileType type = settings.outputType;
    OutputStreams outputs;
    if (!settings.noMaps)
        for (Mxw m : kAllMxw)
            if (settings.mapped[m]) {
                outputs.openbestand(type, outputPath(dir, settings.outputNames[at(valueSlot(m))]),
                                    mxwName(m), header);
                outputs.openbestand(type, outputPath(dir, settings.outputNames[at(sdSlot(m))]),
                                    sdName(m), header);
            }
    fb.statusText(kBusyMapping);
    fb.busy(true);
    StatusPainter painter(statusCanvas, header);

    std::string closing;
    if (!settings.noMaps) {
        const long long wrongOrder = writeMaps(state, settings, header, outputs, painter);
        state.setMilestone(Mijlpaal::na_voorspellen, false);
        outcome.cellsOutOfOrder = wrongOrder;
        if (wrongOrder > 0)
            closing = wrongOrderText(wrongOrder, roundToInteger(state.GridProps[0][kNrows]) *
                                                     roundToInteger(state.GridProps[0][kNcols]));
    }

    // Stage 4: residuals at the points; stage 5: the closing message.
    if (settings.residuals)
        outcome.residualFile = normalizedResiduals(state, settings.mapped, closing);

    fb.busy(false);
    fb.idle();
    outcome.closingMessage = "Tolvar is ready. You can close this window" + closing + "\r\n\r\n" +
                             "Logfile: " + state.log.fileName();
    fb.message(outcome.closingMessage);
    state.ADDLOG("This session of Tolvar is ready." + closing);
    outcome.completed = true;
    return outcome;
}

}  // namespace tolvar
