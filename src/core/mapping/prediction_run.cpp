#include "mapping/prediction_run.h"

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
constexpr const char* kStrataBestModel = "% strata best model";
constexpr const char* kMapping = "% mapping";
constexpr const char* kBusyMapping = "Busy mapping ...";
constexpr const char* kSdKeys[3] = {"SDMHW", "SDMSW", "SDMLW"};
constexpr int kProgressSteps = 200;

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

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
bool anyModel(const WorkDir& dir, const std::vector<std::string>& strata, const std::array<bool, 3>& mapped)
{
    for (const std::string& name : dir.list("*.out"))
        for (const std::string& stratum : strata)
            for (int m = 0; m < 3; ++m)
                if (mapped[at(m)] && belongsToPair(name, toskim2(stratum), kMxwNames[at(m)]))
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

    for (int m = 0; m < 3; ++m) {
        if (!settings.mapped[at(m)])
            continue;
        for (int k = 0; k < 2; ++k) {
            std::string directory;
            if (!ensureDirectory(dir, settings.outputNames[at(2 * m + k)], directory)) {
                fb.message(m == 0 && k == 0 ? "Kan " + directory + " niet aanmaken!"
                                            : "Cannot create " + directory + "!");
                return outcome;
            }
        }
    }

    state.modelTables.clear();
    const auto& strata = state.sampling.StrataCodes;
    const int strataCount = static_cast<int>(strata.size());
    for (int i = 0; i < strataCount; ++i) {
        const std::string stratum = toskim2(strata[at(i)]);
        for (int m = 0; m < 3; ++m) {
            if (!settings.mapped[at(m)])
                continue;
            const std::string mxw = kMxwNames[at(m)];
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

    const GridPropsRow& strataRow = state.GridProps[0];
    const GridHeader header = headerOf(strataRow);
    const double nodata = header.nodata;
    const TGridFileType type = settings.outputType;
    OutputStreams outputs;
    if (!settings.noMaps)
        for (int m = 0; m < 3; ++m)
            if (settings.mapped[at(m)]) {
                outputs.openbestand(type, outputPath(dir, settings.outputNames[at(2 * m)]),
                                    kMxwNames[at(m)], header);
                outputs.openbestand(type, outputPath(dir, settings.outputNames[at(2 * m + 1)]),
                                    kSdKeys[m], header);
            }

    fb.statusText(kBusyMapping);
    fb.busy(true);
    MapStatusPicture picture(statusCanvas);
    picture.blank();
    picture.param(header);

    std::string closing;
    if (!settings.noMaps) {
        InputStreams inputs;
        inputs.openlees(dir, state.registry, state.GridProps, &state.gridLibrary);
        const int n = state.registry.AuxVarCount;

        // Strata by value: an exact match first (also for strata written with
        // decimals), then the stratum of the rounded value.
        std::map<double, int> strataByValue;
        for (int i = 0; i < strataCount; ++i)
            if (const auto v = parseReal(strata[at(i)]))
                strataByValue.emplace(*v, i);
        std::vector<std::array<const Tmodel*, 3>> models(at(strataCount));
        std::vector<std::array<std::optional<SdForm>, 3>> sdForms(at(strataCount));
        for (int i = 0; i < strataCount; ++i)
            for (int m = 0; m < 3; ++m) {
                const Tmodel* model = state.modelTables.lookup(m, toskim2(strata[at(i)]));
                models[at(i)][at(m)] = model && model->hasModel ? model : nullptr;
                if (models[at(i)][at(m)])
                    sdForms[at(i)][at(m)].emplace(*model);
            }
        std::array<double, 16> auxNodata{};
        for (int i = 1; i <= n; ++i)
            auxNodata[at(i)] = state.GridProps[at(i)][kNodata];

        const long long nrows = roundToInteger(strataRow[kNrows]);
        const long long ncols = roundToInteger(strataRow[kNcols]);
        int lastMapped = -1;
        for (int m = 0; m < 3; ++m)
            if (settings.mapped[at(m)])
                lastMapped = m;
        long long wrongOrder = 0;
        std::array<double, 16> aux{};
        std::array<bool, 16> missing{};
        std::array<int, 3> valueKeys{}, sdKeys{};
        for (int m = 0; m < 3; ++m) {
            valueKeys[at(m)] = OutputStreams::keyIndex(kMxwNames[at(m)]);
            sdKeys[at(m)] = OutputStreams::keyIndex(kSdKeys[m]);
        }
        const bool rowEnds = type == TGridFileType::asciigrid;
        const std::size_t slots = at(n + 1);
        const std::size_t width = static_cast<std::size_t>(ncols);

        // Three stages overlap: a reading thread parses the rows of every
        // grid, this thread predicts and paints, a writing thread formats
        // and writes the maps. A few rows in flight keep memory flat.
        struct InRow {
            std::vector<double> cells;  // [column * slots + slot]
            std::exception_ptr error;
        };
        struct OutRow {
            std::array<std::vector<double>, 6> values;  // [key]
        };
        BoundedQueue<InRow> inRows(4);
        BoundedQueue<OutRow> outRows(4);
        std::exception_ptr writeError;
        std::thread reader([&] {
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
                    inRows.push(std::move(row));
                    break;
                }
                if (!inRows.push(std::move(row)))
                    break;
            }
            inRows.close();
        });
        std::thread writer([&] {
            try {
                std::string text;
                while (auto row = outRows.pop()) {
                    for (int m = 0; m < 3; ++m) {
                        if (!settings.mapped[at(m)])
                            continue;
                        for (const int key : {valueKeys[at(m)], sdKeys[at(m)]}) {
                            for (double v : row->values[at(key)]) {
                                text.clear();
                                appendFixed(text, v, 5, 0);
                                outputs.schrijfwaarde(type, key, text);
                            }
                        }
                        if (rowEnds) {
                            outputs.schrijfregel(kMxwNames[at(m)]);
                            outputs.schrijfregel(kSdKeys[m]);
                        }
                    }
                }
            } catch (...) {
                writeError = std::current_exception();
                outRows.close();
            }
        });
        // Whatever ends the loop, both threads stop before the streams go.
        struct Join {
            BoundedQueue<InRow>& in;
            BoundedQueue<OutRow>& out;
            std::thread& reader;
            std::thread& writer;
            ~Join()
            {
                in.close();
                out.close();
                if (reader.joinable())
                    reader.join();
                if (writer.joinable())
                    writer.join();
            }
        } join{inRows, outRows, reader, writer};

        long long nextReport = 0;
        // The last cell painted on each pixel is the one that shows: skip a
        // cell whose square the next cell covers again.
        int pendingX = 0, pendingY = 0;
        Rgb pendingColor;
        bool pending = false;
        double lastStratumValue = std::nan("");
        int lastStratumIndex = -1;
        for (long long r = 1; r <= nrows; ++r) {
            std::optional<InRow> in = inRows.pop();
            if (!in)
                throw IoError("", "the grids could not be read");
            if (in->error)
                std::rethrow_exception(in->error);
            OutRow out;
            for (int m = 0; m < 3; ++m)
                if (settings.mapped[at(m)]) {
                    out.values[at(valueKeys[at(m)])].reserve(width);
                    out.values[at(sdKeys[at(m)])].reserve(width);
                }
            for (long long c = 1; c <= ncols; ++c) {
                const double* cell = in->cells.data() + static_cast<std::size_t>(c - 1) * slots;
                const double s = cell[0];
                for (int i = 1; i <= n; ++i) {
                    aux[at(i)] = cell[i];
                    missing[at(i)] = aux[at(i)] == auxNodata[at(i)];
                }
                const bool stratumMissing = s == nodata;
                int stratumIndex = -1;
                if (!stratumMissing) {
                    // Neighbouring cells mostly share their stratum.
                    if (s == lastStratumValue) {
                        stratumIndex = lastStratumIndex;
                    } else {
                        auto it = strataByValue.find(s);
                        if (it == strataByValue.end())
                            it = strataByValue.find(roundHalfEven(s));
                        if (it != strataByValue.end())
                            stratumIndex = it->second;
                        lastStratumValue = s;
                        lastStratumIndex = stratumIndex;
                    }
                }
                std::array<double, 3> values{nodata, nodata, nodata};
                std::array<double, 3> sds{nodata, nodata, nodata};
                std::array<double, 3> msres{nodata, nodata, nodata};
                Presence present{};
                for (int m = 0; m < 3; ++m) {
                    if (!settings.mapped[at(m)] || stratumIndex < 0)
                        continue;
                    const Tmodel* model = models[at(stratumIndex)][at(m)];
                    if (!model)
                        continue;
                    msres[at(m)] = model->MSRes;
                    const Prediction p = predict(*model, aux, missing);
                    if (!p.ok)
                        continue;
                    values[at(m)] = p.value;
                    sds[at(m)] = bepaalsd(*sdForms[at(stratumIndex)][at(m)], p.z, nodata);
                    present[at(m)] = true;
                }
                if (settings.orderCheck) {
                    std::array<double, 3> bands{};
                    for (int m = 0; m < 3; ++m)
                        bands[at(m)] = present[at(m)] && sds[at(m)] != nodata && msres[at(m)] > 0
                                           ? std::sqrt((sds[at(m)] * sds[at(m)] + 1) * msres[at(m)])
                                           : 0.0;
                    if (orderCheck(values, bands, present))
                        ++wrongOrder;
                }
                Rgb color = colors::kWhite;
                for (int m = 0; m < 3; ++m) {
                    if (!settings.mapped[at(m)])
                        continue;
                    if (m == lastMapped)  // the last mapped MxW colours the picture
                        color = greyLevel(values[at(m)], state.sampling.ranges[at(m)]);
                    out.values[at(valueKeys[at(m)])].push_back(values[at(m)]);
                    out.values[at(sdKeys[at(m)])].push_back(sds[at(m)]);
                }
                if (stratumMissing || lastMapped < 0)
                    color = colors::kWhite;
                const int px = picture.pixelX(static_cast<double>(c));
                const int py = picture.pixelY(static_cast<double>(r));
                if (pending && (px != pendingX || py != pendingY))
                    picture.pixel(pendingColor, static_cast<double>(c - 1), static_cast<double>(r));
                pending = true;
                pendingX = px;
                pendingY = py;
                pendingColor = color;
            }
            if (pending) {
                picture.pixel(pendingColor, static_cast<double>(ncols), static_cast<double>(r));
                pending = false;
            }
            if (!outRows.push(std::move(out)))
                break;  // the writer failed: its error follows
            if (r >= nextReport || r == nrows) {
                fb.progress(static_cast<double>(r), static_cast<double>(nrows), kMapping);
                nextReport = r + std::max<long long>(1, nrows / kProgressSteps);
            }
        }
        outRows.close();
        writer.join();
        if (writeError)
            std::rethrow_exception(writeError);
        for (int m = 0; m < 3; ++m)
            if (settings.mapped[at(m)]) {
                outputs.sluitbestand(type, kMxwNames[at(m)]);
                outputs.sluitbestand(type, kSdKeys[m]);
            }
        inputs.close();
        state.setMilestone(Mijlpaal::na_voorspellen, false);
        outcome.cellsOutOfOrder = wrongOrder;
        if (wrongOrder > 0)
            closing = wrongOrderText(wrongOrder, nrows * ncols);
    }

    if (settings.residuals)
        outcome.residualFile = normalizedResiduals(state, settings.mapped, closing);

    fb.busy(false);
    fb.progress(0, 100, "Idle");
    outcome.closingMessage = "Tolvar is ready. You can close this window" + closing + "\r\n\r\n" +
                             "Logfile: " + state.log.fileName();
    fb.message(outcome.closingMessage);
    state.ADDLOG("This session of Tolvar is ready." + closing);
    outcome.completed = true;
    return outcome;
}

}  // namespace tolvar
