#include "regression/regression_run.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "regression/regression_files.h"
#include "selection/select_best.h"
#include "structures/combinations.h"

#include <algorithm>
#include <ctime>
#include <fstream>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
constexpr const char* kIndent = "                    ";
constexpr const char* kTooManyStrata = "Too many strata to make predictions";
constexpr int kProgressSteps = 200;

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

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
    for (int m = 0; m < 3; ++m)
        if (columns[mxwRole(m)] >= 0)
            state.ADDLOG(ind + "Title column " + kMxwNames[at(m)] + "   : " +
                         s.roleTexts[at(mxwRole(m))]);
    for (int m = 0; m < 3; ++m) {
        if (columns[sdRole(m)] < 0)
            continue;
        const std::string sd = std::string("sd") + kMxwNames[at(m)];
        state.ADDLOG(ind + "Title column " + sd + " : " + s.roleTexts[at(sdRole(m))]);
        if (s.edits.sqrtEnabled[at(m)] != s.edits.squareEnabled[at(m)]) {
            if (s.edits.sqrtEnabled[at(m)])
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
    for (int m = 0; m < 3; ++m)
        if (s.mxwChecked[at(m)])
            state.ADDLOG(std::string("To predict    : ") + kMxwNames[at(m)]);
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
    if (!s.mxwChecked[0] && !s.mxwChecked[1] && !s.mxwChecked[2])
        return "No MxW is checked: check MHW, MSW or MLW and start the regression again.";
    for (int m = 0; m < 3; ++m)
        if (s.mxwChecked[at(m)] && columns[mxwRole(m)] < 0)
            return std::string("The point data have no ") + kMxwNames[at(m)] +
                   " column: assign one in the point-data editor (\"import\") or uncheck " +
                   kMxwNames[at(m)] + ".";
    return {};
}

// One parsed regression: the members of its structure and the columns and
// records that go into its data file.
struct Selection {
    std::string stratum;
    int mxw = 0;
    std::vector<std::pair<int, int>> members;  // (group, variable), ascending group
    bool weighted = false;
};

Selection parseRegressionName(const std::string& stratum, int mxw, const std::string& structure,
                              bool weighted)
{
    Selection sel{stratum, mxw, {}, weighted};
    for (std::size_t i = 0; i + 6 <= structure.size(); i += 7) {
        const int group = static_cast<int>(parseInteger(structure.substr(i + 1, 2)).value_or(0));
        const int variable = static_cast<int>(parseInteger(structure.substr(i + 4, 2)).value_or(0));
        sel.members.emplace_back(group, variable);
    }
    return sel;
}

struct RunContext {
    const TextTable& table;
    const PointColumns& columns;
    int strataColumn;
    std::vector<int> xColumns, yColumns;
    std::vector<std::string> stratumKey;  // per row, blanks removed
};

// subselectie and schrijfselectie: writes the data file and XY.txt; returns N.
int writeDataFile(const fs::path& dataPath, const fs::path& xyPath, const RunContext& ctx,
                  const Selection& sel, const Registry& registry)
{
    const int mxwCol = ctx.columns[mxwRole(sel.mxw)];
    const int sdCol = sel.weighted ? ctx.columns[sdRole(sel.mxw)] : -1;
    std::vector<int> auxCols;
    for (const auto& [group, variable] : sel.members)
        auxCols.push_back(ctx.strataColumn + variable);
    std::vector<int> marked = auxCols;
    marked.push_back(mxwCol);
    marked.push_back(ctx.strataColumn);
    if (sdCol >= 0)
        marked.push_back(sdCol);

    std::vector<int> accepted;
    const int rows = ctx.table.rowCount();
    for (int r = 1; r < rows; ++r) {
        if (ctx.stratumKey[at(r)] != sel.stratum)
            continue;
        bool missing = false;
        for (int c : marked)
            if (c >= 0 && c < ctx.table.colCount() &&
                ctx.table.cell(c, r).find("missing") != std::string::npos)
                missing = true;
        if (!missing)
            accepted.push_back(r);
    }

    std::ofstream data = openForWriting(dataPath);
    std::ofstream xy = openForWriting(xyPath);
    TextWriter dw(data), xw(xy);
    std::string title = "from: ";
    for (std::size_t i = 0; i < sel.members.size(); ++i) {
        if (i > 0)
            title += " + ";
        title += variableName(registry.labelCaption(sel.members[i].second));
    }
    title += std::string(" to: ") + kMxwNames[at(sel.mxw)] + " (area:" + sel.stratum + ", " +
             (sel.weighted ? "weighted)" : "unweighted)");
    dw.line(title);
    dw.line(std::to_string(sel.members.size() + 1) + " variables");
    for (const auto& member : sel.members)
        dw.line(variableName(registry.labelCaption(member.second)));
    dw.line(kMxwNames[at(sel.mxw)]);
    dw.line(std::to_string(accepted.size()) + " observations");

    // Coordinates as X1, Y1, X2, Y2, ...; pairs that do not exist are skipped.
    std::vector<int> xyCols;
    for (std::size_t i = 0; i < std::max(ctx.xColumns.size(), ctx.yColumns.size()); ++i) {
        if (i < ctx.xColumns.size())
            xyCols.push_back(ctx.xColumns[i]);
        if (i < ctx.yColumns.size())
            xyCols.push_back(ctx.yColumns[i]);
    }
    std::string line;
    for (int c : xyCols) {
        line += ctx.table.cell(c, 0);
        line += ' ';
    }
    xw.line(line);
    for (int r : accepted) {
        line.clear();
        for (int c : auxCols) {
            line += ctx.table.cell(c, r);
            line += ' ';
        }
        line += ctx.table.cell(mxwCol, r);
        line += ' ';
        if (sdCol >= 0) {
            line += ctx.table.cell(sdCol, r);
            line += ' ';
        }
        dw.line(line);
        line.clear();
        for (int c : xyCols) {
            line += ctx.table.cell(c, r);
            line += ' ';
        }
        xw.line(line);
    }
    data.flush();
    xy.flush();
    checkWritten(data, dataPath);
    checkWritten(xy, xyPath);
    return static_cast<int>(accepted.size());
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
    fb.progress(0, 100, "% regressions");
    state.setMilestone(Mijlpaal::na_instellen);
    int checkedCount = 0;
    for (bool c : settings.mxwChecked)
        checkedCount += c;
    outcome.orderCheckOffered = checkedCount > 1;

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

    const long long total = static_cast<long long>(checkedCount) *
                            static_cast<long long>(strata.size()) *
                            static_cast<long long>(state.structures.size());
    const std::string progressText = "% van " + std::to_string(total) + " regressions";
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
    long long nextReport = 0;
    const fs::path xyPath = dir.path() / "XY.txt";
    for (const std::string& stratumText : strata) {
        const std::string stratum = toskim2(stratumText);
        for (int m = 0; m < 3; ++m) {
            if (!settings.mxwChecked[at(m)])
                continue;
            const std::string mxw = kMxwNames[at(m)];
            fb.busy(true);
            fb.statusText("Doing regressions " + mxw + " in stratum " + stratum);
            for (const std::string& structure : state.structures) {
                const std::string regFileName =
                    regressionFileName(stratum, mxw, structure, settings.weighted);
                const Selection sel = parseRegressionName(stratum, m, structure, settings.weighted);
                const int k = static_cast<int>(sel.members.size());
                const int n = writeDataFile(dir.path() / regFileName, xyPath, ctx, sel, state.registry);
                ++done;
                if (1 + k < n)
                    RunRegressionFile(dir.path(), regFileName, settings.weighted);
                else
                    state.ADDLOG("No regression on " + regFileName +
                                 (m == 0 ? " (too few datapoints)." : " (too few data points)."));
                AddXY2OUTFILE(dir.path(), regFileName);
                dir.removeFile(regFileName);
                if (done >= nextReport && total > 0) {
                    fb.progress(static_cast<double>(done), static_cast<double>(total), progressText);
                    nextReport = done + std::max<long long>(1, total / kProgressSteps);
                }
            }
            std::string bestName;
            double bestCp = 0.0;
            SelectBest(dir, state.registry.GroupCount, stratum, mxw, bestName, bestCp, fb);
            fb.progress(static_cast<double>(done), static_cast<double>(total), progressText);
        }
    }

    fb.busy(false);
    state.setMilestone(Mijlpaal::na_uitvoeren);
    outcome.outputNames = defaultOutputNames(
        outputDirectory(state.registry.LastGridDir, dir.path().string()), settings.mxwChecked);
    fb.progress(0, 100, "Idle");
    outcome.completed = true;
    outcome.regressionsDone = done;
    return outcome;
}

}  // namespace tolvar
