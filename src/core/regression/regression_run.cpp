#include "regression/regression_run.h"
#include "common/index.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "regression/no_regression.h"
#include "regression/regression_files.h"
#include "regression/structure_fits.h"
#include "selection/select_best.h"
#include "structures/combinations.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
constexpr const char* kIndent = "                    ";
constexpr const char* kTooManyStrata = "Too many strata to make predictions";

std::string nowText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%d-%m-%Y %H:%M:%S", &local);
    return buffer;
}

void writeSettings(AppState& state, const RegressionSettings& s, const PointColumns& columns)
{
    const std::string session = sessionText(state.SessionNumber);
    state.ADDLOG("****** " + session + " READ DATA FROM PIEZOMETER REGRESSIONS ******");
    state.ADDLOG("Used file  : " + s.usedFile);
    const std::string ind = kIndent;
    if (s.edits.missingCode.empty())
        state.ADDLOG(ind + "Missing data were marked by user in this file.");
    if (s.edits.RecordsDeleted)
        state.ADDLOG(ind + "Lines (records) were deleted from file by user!");
    if (s.edits.RecordsAdded)
        state.ADDLOG(ind + "Lines (records) were added to file by user!");
    if (s.edits.ColumnsDeleted)
        state.ADDLOG(ind + "Columns (variables) were removed from file by user!");
    if (s.edits.ColumnsAdded)
        state.ADDLOG(ind + "Collumns (variables) were addded to file by user!");
    for (Mxw m : kAllMxw)
        if (columns[mxwRole(m)] >= 0)
            state.ADDLOG(ind + "Title column " + mxwName(m) + "   : " +
                         s.roleTexts[at(mxwRole(m))]);
    for (Mxw m : kAllMxw) {
        if (columns[sdRole(m)] < 0)
            continue;
        const std::string sd = std::string("sd") + mxwName(m);
        state.ADDLOG(ind + "Title column " + sd + " : " + s.roleTexts[at(sdRole(m))]);
        if (s.edits.sqrtEnabled[m] != s.edits.squareEnabled[m]) {
            if (s.edits.sqrtEnabled[m])
                state.ADDLOG(ind + ">> " + sd + " replaced by its square.");
            else
                state.ADDLOG(ind + ">> " + sd + " replaced by its square root.");
        }
    }
    if (!s.roleTexts[kSTRATA].empty())
        state.ADDLOG(ind + "Title column strata: " + s.roleTexts[kSTRATA]);
    else
        state.ADDLOG(ind + "No column with strata given.");
    state.ADDLOG("");

    state.ADDLOG("****** " + session + " SETTINGS REGRESSIONS WITH AUXILIARY DATA ******");
    for (Mxw m : kAllMxw)
        if (s.mxwChecked[m])
            state.ADDLOG(std::string("To predict    : ") + mxwName(m));
    state.ADDLOG(ind + "Regression with constant");
    state.ADDLOG(ind + "Type regression   : " +
                 (s.weighted ? "weighted regression" : "unweighted regression"));
    state.ADDLOG("");
    state.ADDLOG("Distribution aux.variables in groups: ");
    for (int v = 1; v <= state.registry.AuxVarCount; ++v)
        state.ADDLOG("Aux.variable in " + state.registry.labelCaption(v) + " assigned to group " +
                     std::to_string(state.registry.groupOf(v)));
    state.ADDLOG("");
    state.ADDLOG("****** " + session + " RESULTS REGRESSIONS ******");
}

// The refusals of a run that cannot start; empty when it can.
std::string refusal(const RegressionSettings& s, const PointColumns& columns)
{
    if (columns[kX] < 0)
        return "The point data have no X column: assign one in the point-data editor "
               "(\"import\") and start the regression again.";
    if (columns[kY] < 0)
        return "The point data have no Y column: assign one in the point-data editor "
               "(\"import\") and start the regression again.";
    if (!s.mxwChecked[Mxw::MHW] && !s.mxwChecked[Mxw::MSW] && !s.mxwChecked[Mxw::MLW])
        return "No MxW is checked: check MHW, MSW or MLW and start the regression again.";
    for (Mxw m : kAllMxw)
        if (s.mxwChecked[m] && columns[mxwRole(m)] < 0)
            return std::string("The point data have no ") + mxwName(m) +
                   " column: assign one in the point-data editor (\"import\") or uncheck " +
                   mxwName(m) + ".";
    return {};
}

// One parsed regression: the members of its structure and the columns and
// records that go into its data file.
struct Selection {
    std::string stratum;
    Mxw mxw = Mxw::MHW;
    std::vector<std::pair<int, int>> members;  // (group, variable), ascending group
    bool weighted = false;
};

Selection parseRegressionName(const std::string& stratum, Mxw mxw, const std::string& structure,
                              bool weighted)
{
    Selection sel{stratum, mxw, {}, weighted};
    for (const auto& [group, variable] : structureElements(structure))
        sel.members.emplace_back(static_cast<int>(group.value_or(0)), static_cast<int>(variable.value_or(0)));
    return sel;
}

struct RunContext {
    const TextTable& table;
    const PointColumns& columns;
    int strataColumn;
    std::vector<int> xColumns, yColumns;
    std::vector<std::string> stratumKey;  // per row, blanks removed
};

// The coordinate columns as X1, Y1, X2, Y2, ...; pairs that do not exist are skipped.
std::vector<int> coordinateColumns(const RunContext& ctx)
{
    std::vector<int> xyCols;
    for (std::size_t i = 0; i < std::max(ctx.xColumns.size(), ctx.yColumns.size()); ++i) {
        if (i < ctx.xColumns.size())
            xyCols.push_back(ctx.xColumns[i]);
        if (i < ctx.yColumns.size())
            xyCols.push_back(ctx.yColumns[i]);
    }
    return xyCols;
}

std::string cellsLine(const TextTable& table, const std::vector<int>& columns, int row)
{
    std::string line;
    for (int c : columns) {
        line += table.cell(c, row);
        line += ' ';
    }
    return line;
}

std::string studyTitle(const Selection& sel, const Registry& registry)
{
    std::string title = "from: ";
    for (std::size_t i = 0; i < sel.members.size(); ++i) {
        if (i > 0)
            title += " + ";
        title += variableName(registry.labelCaption(sel.members[i].second));
    }
    title += std::string(" to: ") + mxwName(sel.mxw) + " (area:" + sel.stratum + ", " +
             (sel.weighted ? "weighted)" : "unweighted)");
    return title;
}

std::vector<std::string> variableNames(const Selection& sel, const Registry& registry)
{
    std::vector<std::string> names;
    for (const auto& member : sel.members)
        names.push_back(variableName(registry.labelCaption(member.second)));
    return names;
}

// The text of the data file of one regression (title, names, the records):
// the way in for records whose cells are not plain numbers, so that the
// reader judges them exactly as it judges a data file.
std::string dataFileText(const RunContext& ctx, const Selection& sel, const Registry& registry,
                         const std::vector<int>& rows, int mxwCol, int sdCol)
{
    std::string text;
    auto line = [&](const std::string& l) {
        text += l;
        text += kLineEnd;
    };
    line(studyTitle(sel, registry));
    line(std::to_string(sel.members.size() + 1) + " variables");
    for (const std::string& name : variableNames(sel, registry))
        line(name);
    line(mxwName(sel.mxw));
    line(std::to_string(rows.size()) + " observations");
    std::vector<int> cols;
    for (const auto& member : sel.members)
        cols.push_back(ctx.strataColumn + member.second);
    cols.push_back(mxwCol);
    if (sdCol >= 0)
        cols.push_back(sdCol);
    for (int r : rows)
        line(cellsLine(ctx.table, cols, r));
    return text;
}

// One cell of a used column as the data-file reader would take it: a value
// when it is exactly one number.
struct CellValue {
    double value = 0.0;
    bool missing = false;  // holds "missing": the record is left out
    bool plain = true;     // one blank-free number
};

CellValue cellValue(const std::string& text)
{
    CellValue v;
    if (text.find("missing") != std::string::npos) {
        v.missing = true;
        v.plain = false;
        return v;
    }
    const auto start = text.find_first_not_of(" \t");
    const auto stop = start == std::string::npos ? start : text.find_first_of(" \t", start);
    const bool oneToken = start != std::string::npos &&
                          (stop == std::string::npos ||
                           text.find_first_not_of(" \t", stop) == std::string::npos);
    const auto parsed =
        oneToken ? parseReal(std::string_view(text).substr(start, stop - start)) : std::nullopt;
    v.plain = parsed.has_value();
    v.value = parsed.value_or(0.0);
    return v;
}

// Every regression of one stratum and MxW, fitted in memory; only the result
// files that selection keeps are written.
class PairRun {
public:
    PairRun(AppState& state, const RunContext& ctx, const std::vector<std::string>& structures,
            const std::string& stratum, Mxw mxw, bool weighted)
        : state_(state), ctx_(ctx), structures_(structures), stratum_(stratum), mxw_(mxw),
          weighted_(weighted), V_(state.registry.AuxVarCount),
          mxwCol_(ctx.columns[mxwRole(mxw)]), sdCol_(weighted ? ctx.columns[sdRole(mxw)] : -1)
    {
    }

    // Adds the regressions it handles (run or skipped) to `done`.
    void run(long long& done, long long total, const Stage& progressText);

private:
    struct Job {
        Selection sel;
        std::vector<int> vars;
        int count = 0;          // records
        int set = -1;           // index into sets_: which records
        int design = -1;        // index into designs_, -1 when the reader must judge
        bool skipped = false;   // too few records
        StructureFit fit;
        std::string dataName;   // the regression file name (".dat"), as the texts name it
        std::string fileName;   // the result file name
        SelectionModel model;
    };

    void prepare();
    void fit(Job& job) const;
    void writeResult(const Job& job) const;
    std::vector<std::string> headerLines(const Job& job) const;

    AppState& state_;
    const RunContext& ctx_;
    const std::vector<std::string>& structures_;
    std::string stratum_;
    Mxw mxw_;
    bool weighted_;
    int V_;
    int mxwCol_, sdCol_;

    std::vector<int> base_;                             // records of the stratum
    std::vector<CellValue> y_, s_;                      // per base record
    std::vector<std::vector<CellValue>> x_;             // [v][base record]
    std::vector<std::vector<int>> missingOf_;           // [v]: base positions
    // The records of one or more structures (base positions) and their design.
    struct RecordSet {
        std::vector<int> positions;
        std::vector<bool> plain;  // [0] the MxW (and sd), [v] the variables
        int design = -1;
        std::vector<std::string> xy;  // coordinate lines, heads first
    };
    std::vector<RecordSet> sets_;
    std::vector<std::unique_ptr<ReducedDesign>> designs_;
    std::vector<int> rowsOf(const Job& job) const;
    std::vector<Job> jobs_;
    std::map<std::string, std::vector<std::string>> readerResults_;  // file name -> lines
};

void PairRun::prepare()
{
    const TextTable& table = ctx_.table;
    const int rows = table.rowCount();
    const auto missingAt = [&](int c, int r) {
        return c >= 0 && c < table.colCount() && table.cell(c, r).find("missing") != std::string::npos;
    };
    for (int r = 1; r < rows; ++r) {
        if (ctx_.stratumKey[at(r)] != stratum_)
            continue;
        if (missingAt(mxwCol_, r) || missingAt(ctx_.strataColumn, r) || missingAt(sdCol_, r))
            continue;
        base_.push_back(r);
        y_.push_back(cellValue(table.cell(mxwCol_, r)));
        s_.push_back(sdCol_ >= 0 ? cellValue(table.cell(sdCol_, r)) : CellValue{});
    }
    x_.assign(at(V_ + 1), {});
    missingOf_.assign(at(V_ + 1), {});
    for (int v = 1; v <= V_; ++v) {
        const int c = ctx_.strataColumn + v;
        for (std::size_t b = 0; b < base_.size(); ++b) {
            const CellValue cell = c < table.colCount() ? cellValue(table.cell(c, base_[b]))
                                                        : CellValue{};
            if (cell.missing)
                missingOf_[at(v)].push_back(static_cast<int>(b));
            x_[at(v)].push_back(cell);
        }
    }

    std::map<std::vector<int>, int> designOf;  // left-out base positions -> design
    jobs_.resize(structures_.size());
    for (std::size_t j = 0; j < structures_.size(); ++j) {
        Job& job = jobs_[j];
        job.sel = parseRegressionName(stratum_, mxw_, structures_[j], weighted_);
        job.dataName = regressionFileName(stratum_, mxwName(mxw_), structures_[j], weighted_);
        job.fileName = resultFileName(job.dataName);
        std::vector<int> out;
        for (const auto& [group, variable] : job.sel.members) {
            job.vars.push_back(variable);
            if (variable >= 1 && variable <= V_)
                out.insert(out.end(), missingOf_[at(variable)].begin(),
                           missingOf_[at(variable)].end());
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        const int k = static_cast<int>(job.vars.size());
        job.count = static_cast<int>(base_.size() - out.size());
        if (!(1 + k < job.count)) {
            job.skipped = true;
            continue;
        }
        auto found = designOf.find(out);
        if (found == designOf.end()) {
            RecordSet set;
            for (std::size_t b = 0, o = 0; b < base_.size(); ++b) {
                if (o < out.size() && out[o] == static_cast<int>(b)) {
                    ++o;
                    continue;
                }
                set.positions.push_back(static_cast<int>(b));
            }
            // Which columns hold plain numbers on every record of the set.
            set.plain.assign(at(V_ + 1), true);
            for (int p : set.positions) {
                set.plain[0] = set.plain[0] && y_[at(p)].plain && (sdCol_ < 0 || s_[at(p)].plain);
                for (int v = 1; v <= V_; ++v)
                    set.plain[at(v)] = set.plain[at(v)] && x_[at(v)][at(p)].plain;
            }
            found = designOf.emplace(out, static_cast<int>(sets_.size())).first;
            sets_.push_back(std::move(set));
        }
        job.set = found->second;
        RecordSet& set = sets_[at(job.set)];
        bool plain = set.plain[0];
        for (int v : job.vars)
            plain = plain && v >= 1 && v <= V_ && set.plain[at(v)];
        if (!plain)
            continue;
        if (set.design >= 0) {
            job.design = set.design;
            continue;
        }
        // The variables a structure on these records may use are those with a
        // value on every one of them; the others enter the design as zeros.
        std::vector<std::vector<double>> x(at(V_ + 1));
        std::vector<double> y, s;
        for (int p : set.positions) {
            y.push_back(y_[at(p)].value);
            s.push_back(s_[at(p)].value);
            for (int v = 1; v <= V_; ++v)
                x[at(v)].push_back(x_[at(v)][at(p)].plain ? x_[at(v)][at(p)].value : 0.0);
        }
        set.design = job.design = static_cast<int>(designs_.size());
        designs_.push_back(std::make_unique<ReducedDesign>(std::move(x), std::move(y), s, weighted_));
    }
}

std::vector<int> PairRun::rowsOf(const Job& job) const
{
    std::vector<int> rows;
    for (int p : sets_[at(job.set)].positions)
        rows.push_back(base_[at(p)]);
    return rows;
}

std::vector<std::string> PairRun::headerLines(const Job& job) const
{
    return resultHeaderLines(job.dataName,
                             studyTitle(job.sel, state_.registry),
                             variableNames(job.sel, state_.registry), mxwName(mxw_));
}

void PairRun::fit(Job& job) const
{
    job.fit = fitStructure(*designs_[at(job.design)], job.vars);
    if (job.fit.status != 0)
        return;
    // Selection decides on the figures as the result file prints them and
    // reads them back, so the choice is the one the files would give.
    std::vector<std::string> lines = headerLines(job);
    lines.push_back(observationsLine(designs_[at(job.design)]->observations()));
    lines.push_back(residualErrorLine(job.fit.Vr));
    job.model = {job.fileName, readResultFigures(lines)};
}

void PairRun::writeResult(const Job& job) const
{
    const RecordSet& set = sets_[at(job.set)];
    std::string text;
    if (job.design >= 0) {
        const ReducedDesign& d = *designs_[at(job.design)];
        ResultContent content = structureResult(d, job.vars, job.fit);
        content.studyName = studyTitle(job.sel, state_.registry);
        content.names = variableNames(job.sel, state_.registry);
        content.yName = mxwName(mxw_);
        text = resultTextWithCoordinates(job.dataName,
                                         content, set.xy);
    } else {
        text = crlfText(appendCoordinates(readerResults_.at(job.fileName), set.xy));
    }
    writeTextFile(state_.workDir.path() / job.fileName, text);
}

void PairRun::run(long long& done, long long total, const Stage& progressText)
{
    Feedback& fb = state_.fb();
    prepare();
    for (const Job& job : jobs_)
        if (job.skipped)
            state_.ADDLOG("No regression on " + job.dataName + (mxw_ == Mxw::MHW ? " (too few datapoints)." : " (too few data points)."));

    // Records the reader must judge (cells that are not plain numbers) go the
    // way of a data file, in list order, so its errors come as they always did.
    const fs::path dirPath = state_.workDir.path();
    for (Job& job : jobs_) {
        if (job.skipped || job.design >= 0)
            continue;
        const std::string& dataName = job.dataName;
        std::istringstream in(dataFileText(ctx_, job.sel, state_.registry, rowsOf(job), mxwCol_, sdCol_));
        const RegressionData data = readRegressionData(in, (dirPath / dataName).string(), weighted_);
        const FitOutput fit = FitRegression(*data.X, *data.Y, *data.s, data.N, data.k, true, weighted_);
        job.fit.status = fit.status;
        if (fit.status != 0)
            continue;
        std::vector<std::string> lines = resultLines(dataName, resultContent(data, fit));
        job.model = {job.fileName, readResultFigures(lines)};
        readerResults_.emplace(job.fileName, std::move(lines));
    }

    const long long before = done;
    ProgressThrottle progress(fb, static_cast<double>(total), progressText);
    parallelFor(
        jobs_.size(),
        [&](std::size_t j) {
            if (!jobs_[j].skipped && jobs_[j].design >= 0)
                fit(jobs_[j]);
        },
        [&](std::size_t sofar) {
            done = before + static_cast<long long>(sofar);
            progress.update(static_cast<double>(done));
        });

    std::vector<SelectionModel> pending;
    std::map<std::string, const Job*> byName;
    for (const Job& job : jobs_) {
        if (job.skipped)
            continue;
        if (job.fit.status != 0) {
            // A fit that does not converge leaves no result, not even an old one.
            std::error_code ec;
            fs::remove(dirPath / job.fileName, ec);
            continue;
        }
        pending.push_back(job.model);
        byName.emplace(job.fileName, &job);
    }
    std::string bestName;
    double bestCp = 0.0;
    std::vector<const Job*> survivors;
    SelectBest(state_.workDir, state_.registry.GroupCount, stratum_, mxwName(mxw_), bestName,
               bestCp, fb, pending,
               [&](const std::string& name) { survivors.push_back(byName.at(name)); });

    // The coordinates of a record set serve every survivor on it.
    const std::vector<int> xyCols = coordinateColumns(ctx_);
    for (const Job* job : survivors) {
        RecordSet& set = sets_[at(job->set)];
        if (!set.xy.empty())
            continue;
        set.xy.push_back(cellsLine(ctx_.table, xyCols, 0));
        for (int r : rowsOf(*job))
            set.xy.push_back(cellsLine(ctx_.table, xyCols, r));
    }
    parallelFor(
        survivors.size(), [&](std::size_t i) { writeResult(*survivors[i]); }, {});
}

}  // namespace

std::string sessionText(int sessionNumber)
{
    return "Session " + integerText(sessionNumber, 2);
}

std::string variableName(const std::string& labelCaption)
{
    const auto cut = labelCaption.find_last_of("\\/");
    return cut == std::string::npos ? labelCaption : labelCaption.substr(cut + 1);
}

std::string regressionFileName(const std::string& stratum, const std::string& mxw,
                               const std::string& structure, bool weighted)
{
    return toskim2(stratum) + "-" + mxw + "-" + structure + "-" + (weighted ? "gew" : "ong") + ".dat";
}

RegressionOutcome runRegression(AppState& state, const RegressionSettings& settings)
{
    RegressionOutcome outcome;
    Feedback& fb = state.fb();
    const WorkDir& dir = state.workDir;
    state.mxwChecked = settings.mxwChecked;
    state.weighted = settings.weighted;

    state.sampling.StrataCodes.clear();
    fb.progress(0, 100, Stage{"regressions"});
    state.setMilestone(Mijlpaal::na_instellen);
    int checkedCount = 0;
    for (bool c : settings.mxwChecked)
        checkedCount += c;
    outcome.orderCheckOffered = orderCheckOffered(settings.mxwChecked);

    const std::string session = sessionText(state.SessionNumber);
    state.ADDLOG("***************************");
    state.ADDLOG("****** NEW SESSION ******");
    state.ADDLOG("******** " + session + " ********");
    state.ADDLOG("*** " + (settings.dateTimeText.empty() ? nowText() : settings.dateTimeText) +
                 " ***");
    state.ADDLOG("***************************");
    state.ADDLOG("");

    const PointColumns columns = readTempTxt(dir);
    if (const std::string why = refusal(settings, columns); !why.empty()) {
        fb.message(why);
        return outcome;
    }
    writeSettings(state, settings, columns);

    // Grid checks, sampling and structures.
    if (!checkGrids(dir, state.registry, state.GridProps, state.GroupMembership, fb, &state.gridLibrary))
        return outcome;
    SamplingState& sampling = state.sampling;
    const MxwRanges ranges = sampling.ranges;  // widened over the whole program run
    sampling = SamplingState{};
    sampling.ranges = ranges;
    sampling.NoXY = SORTXY(dir, state.GridProps[0][kXll], state.GridProps[0][kYll],
                           state.GridProps[0][kCellsize], sampling.SampleTable, sampling.columns);
    sampleGrids(dir, state.registry, state.GridProps, sampling, fb, &state.gridLibrary);
    // The imported points are used up once sampled; until then a run that
    // stopped can be started again from them.
    dir.removeFile("temp.csv");
    dir.removeFile("temp.txt");
    if (settings.sampled)
        settings.sampled();

    GroupMembers members(at(state.registry.GroupCount + 1));
    for (int v = 1; v <= state.registry.AuxVarCount; ++v) {
        const int g = state.registry.groupOf(v);
        if (g >= 1 && g <= state.registry.GroupCount)
            members[at(g)].push_back(v);
    }
    state.structures = permutaties(dir, members);

    auto& strata = sampling.StrataCodes;
    strata.erase(std::unique(strata.begin(), strata.end()), strata.end());
    if (strata.size() > 500) {
        fb.message(kTooManyStrata);
        state.ADDLOG(std::string("Warning: ") + kTooManyStrata);
    }

    if (const std::string why = whyNoRegression(sampling, settings.mxwChecked, settings.weighted); !why.empty()) {
        reportNoRegression(state, why);
        return outcome;
    }

    const long long total = static_cast<long long>(checkedCount) *
                            static_cast<long long>(strata.size()) *
                            static_cast<long long>(state.structures.size());
    const Stage progressText{"van " + std::to_string(total) + " regressions"};
    fb.busy(true);
    state.ADDLOG(std::to_string(total) + " Regressions are done.");
    state.ADDLOG("Below an overview of regression that were NOT done:");
    fb.progress(0, 100, progressText);

    RunContext ctx{sampling.SampleTable, sampling.columns, sampling.FirstSampledColumn, {}, {}, {}};
    for (int c = 0; c < sampling.SampleTable.colCount(); ++c) {
        const std::string& title = sampling.SampleTable.cell(c, 0);
        if (title.find_first_of("Xx") != std::string::npos && ctx.xColumns.size() < 10)
            ctx.xColumns.push_back(c);
        if (title.find_first_of("Yy") != std::string::npos && ctx.yColumns.size() < 10)
            ctx.yColumns.push_back(c);
    }
    ctx.stratumKey.resize(at(sampling.SampleTable.rowCount()));
    for (int r = 0; r < sampling.SampleTable.rowCount(); ++r)
        ctx.stratumKey[at(r)] = toskim2(sampling.SampleTable.cell(ctx.strataColumn, r));

    long long done = 0;
    for (const std::string& stratumText : strata) {
        const std::string stratum = toskim2(stratumText);
        for (Mxw m : kAllMxw) {
            if (!settings.mxwChecked[m])
                continue;
            fb.busy(true);
            fb.statusText(std::string("Doing regressions ") + mxwName(m) + " in stratum " +
                          stratum);
            PairRun(state, ctx, state.structures, stratum, m, settings.weighted)
                .run(done, total, progressText);
            fb.progress(static_cast<double>(done), static_cast<double>(total), progressText);
        }
    }

    fb.busy(false);
    // Without a single model there is nothing to inspect or map: say why and
    // leave the run open to a corrected import.
    if (!dir.anyMatch("*.out")) {
        reportNoRegression(state, std::string(kNoRegressionDone) + kTooFewEverywhere);
        return outcome;
    }
    state.setMilestone(Mijlpaal::na_uitvoeren);
    // The maps go to the working directory, where the closure archives them.
    outcome.outputNames = defaultOutputNames(dir.path().string(), settings.mxwChecked);
    fb.idle();
    outcome.completed = true;
    outcome.regressionsDone = done;
    return outcome;
}

}  // namespace tolvar
