#include "presentation/result_display.h"
#include "regression/regression_files.h"
#include "common/index.h"
#include "structures/combinations.h"

#include "common/number_format.h"
#include "common/text_file.h"
#include "selection/model_table.h"
#include "selection/select_best.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace tolvar {

namespace {
constexpr const char* kTooPoor =
    "The regression results is too poor, or:\r\npossibly the regression is not performed because "
    "of \r\ntoo few data points.";
constexpr const char* kTwoInOneGroup =
    "The ticked structure has more than one variable in a group: a model takes at most one variable "
    "per group.";
constexpr const char* kNotInRun = "This structure was not part of the run: no regression was done for it.";
constexpr const char* kMissing = "missing";

std::string cut(const std::string& line, std::size_t first, std::size_t last)
{
    if (first < 1 || first > line.size())
        return {};
    return line.substr(first - 1, last - first + 1);
}

// A value cut from a line of the result file; a line that holds "missing"
// (a line the file lacks, or a value it could not give) shows the word whole.
std::string valueAt(const std::string& line, std::size_t first, std::size_t last)
{
    if (line.find(kMissing) != std::string::npos)
        return kMissing;
    return toskim(cut(line, first, last));
}

// Why the ticked structure has no result file.
const char* whyNotFound(const ResultChoice& choice, const std::vector<std::string>& structures)
{
    for (int g = 1; g <= choice.groupCount; ++g) {
        int ticks = 0;
        for (int v = 1; v <= choice.auxVarCount; ++v)
            ticks += choice.ticked[at(v)][at(g)];
        if (ticks > 1)
            return kTwoInOneGroup;
    }
    if (std::find(structures.begin(), structures.end(), structureOf(choice)) == structures.end())
        return kNotInRun;
    return kTooPoor;
}

void arrowHead(Canvas& canvas, int tipX, int tipY, int x1, int y1, int x2, int y2)
{
    canvas.line(tipX, tipY, x1, y1);
    canvas.line(tipX, tipY, x2, y2);
}
}  // namespace

void BLANKSTRGRDFIT(ResultTable& table)
{
    for (auto& row : table)
        row.fill(std::string());
    const char* labels[] = {"n", "SQRT(MSres)", "r2", "r2-adj"};
    for (int r = 0; r < 4; ++r) {
        table[at(r)][0] = labels[r];
        table[at(r)][1] = "missing";
    }
    table[4] = {"Mallow's Cp", "nb", "Std=", "t-Student="};
    table[5] = {"Intercept", "missing", "missing", "missing"};
    for (int g = 1; g <= 15; ++g)
        table[at(5 + g)] = {"coeff. (group" + std::to_string(g) + ")", "missing", "missing", "missing"};
}

std::string toskim(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '=')
            out += c;
    return out.substr(0, 8);
}

bool binnen(int x1, int y1)
{
    return x1 >= 24 && x1 <= 326 && y1 >= 24 && y1 <= 326;
}

int bepaalgroep(int parnr, const std::string& filename)
{
    const auto w = filename.find("W-");
    if (w == std::string::npos)
        return 0;
    std::string rest = filename.substr(w + 2);
    const auto dot = rest.find(".out");
    if (dot != std::string::npos)
        rest = rest.substr(0, dot >= 3 ? dot - 3 : 0);
    const std::size_t start = 7 * at(parnr) - 6;
    if (parnr < 1 || start + 2 > rest.size())
        return 0;
    const auto group = parseInteger(rest.substr(start, 2));
    return group ? static_cast<int>(*group) : 0;
}

// Far beyond the picture on either side; keeps 24 + x and 224 - y in range.
constexpr int kFarOff = 1'000'000'000;

int PlotRange::px(double w) const
{
    return 24 + std::clamp(roundToInt(200.0 * (w - lo) / (hi - lo)), -kFarOff, kFarOff);
}

int PlotRange::py(double w) const
{
    return 224 - std::clamp(roundToInt(200.0 * (w - lo) / (hi - lo)), -kFarOff, kFarOff);
}

PlotRange plotRange(const std::vector<Observation>& observations)
{
    double hi = -10000.0, lo = 10000.0;
    for (const Observation& o : observations)
        for (double v : {o.observed, o.predicted}) {
            hi = std::max(hi, v);
            lo = std::min(lo, v);
        }
    if (hi < 0)
        hi = 0;
    if (lo > 0)
        lo = 0;
    // Values no file of depths holds; the bounds stay whole numbers of 50.
    constexpr double kFarthest = 1e15;
    const auto l = roundToInteger(std::max(lo, -kFarthest));
    const auto h = roundToInteger(std::min(hi, kFarthest));
    PlotRange range;
    range.lo = static_cast<double>(lo < 0 ? 50 * (l / 50 - 1) : 50 * (l / 50));
    range.hi = static_cast<double>(50 * (h / 50 + 1));
    return range;
}

std::vector<std::string> titleLines(const std::string& name)
{
    if (name.size() <= 50)
        return {name};
    std::vector<std::string> lines;
    std::string first;
    for (std::size_t i = 39; i < 50 && i < name.size(); ++i)
        if (name[i] == '-')
            first = name.substr(0, i + 1);
    lines.push_back(first);
    std::string rest = name.substr(first.size());
    while (!rest.empty()) {
        std::size_t take = 0;
        for (std::size_t i = 0; i < 10 && i < rest.size(); ++i)
            if (rest[i] == '-')
                take = i + 1;
        if (take == 0)
            take = rest.size();
        lines.push_back(rest.substr(0, take));
        rest.erase(0, take);
    }
    return lines;
}

void blankimgFIT(Canvas& canvas)
{
    canvas.setPen(colors::kBlack, 1);
    canvas.setBrush(colors::kWhite);
    canvas.rectangle(1, 1, kPlotWidth, kPlotHeight);
}

void drawScatterplot(Canvas& canvas, const std::string& title,
                     const std::vector<Observation>& observations)
{
    const PlotRange range = plotRange(observations);
    blankimgFIT(canvas);
    canvas.setPen(colors::kSilver, 1);
    canvas.setBrush(colors::kWhite);
    for (int i = -20; i <= 20; ++i)
        for (int j = -20; j <= 20; ++j) {
            const int x1 = range.px(25.0 * i), y1 = range.py(25.0 * j);
            const int x2 = range.px(25.0 * (i + 1)), y2 = range.py(25.0 * (j + 1));
            if (binnen(x1, y1) && binnen(x2, y2))
                canvas.rectangle(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2),
                                 std::max(y1, y2));
        }
    canvas.line(24, 224, 224, 24);

    canvas.setPen(colors::kBlack, 2);
    canvas.line(25, range.py(0), 225, range.py(0));
    canvas.line(range.px(0), 25, range.px(0), 225);
    canvas.line(225, 25, 225, 225);
    canvas.line(25, 25, 225, 25);

    canvas.setFont(FontStyle{});
    for (int i = -20; i <= 20; ++i) {
        const double w = 50.0 * i;
        const int x = range.px(w), y = range.py(w);
        if (!(binnen(x - 10, y - 10) && binnen(x + 10, y + 10)))
            continue;
        const std::string text = std::to_string(50 * i);
        const int tw = canvas.textWidth(text), th = canvas.textHeight(text);
        canvas.text(x - tw / 2, 226, text);
        canvas.text(250 - tw, y - th / 2, text);
    }

    canvas.setPen(colors::kBlack, 1);
    canvas.setBrush(colors::kBlack);
    for (const Observation& o : observations) {
        const int x = range.px(o.observed), y = range.py(o.predicted);
        canvas.fillRect(x, y, x + 2, y + 2);
    }

    canvas.setBrush(colors::kWhite);
    canvas.setPen(colors::kBlack, 1);
    canvas.setFont(FontStyle{8, true, false, colors::kBlack});
    const std::vector<std::string> lines = titleLines(title);
    if (lines.size() == 1) {
        canvas.text(1, 1, lines.front());
    } else {
        for (std::size_t i = 0; i < lines.size(); ++i)
            canvas.text(349 - canvas.textWidth(lines[i]), 15 * static_cast<int>(i), lines[i]);
    }

    canvas.setFont(FontStyle{8, false, true, colors::kRed});
    canvas.setPen(colors::kRed, 1);
    const std::string meting = "Meting";
    int w2 = canvas.textWidth(meting) / 2, h2 = canvas.textHeight(meting) / 2;
    canvas.text(125 - canvas.textWidth(meting) / 2, 12, meting);
    const int tipX = 125 - w2 - 5, y = 12 + h2;
    canvas.line(125 - w2 - 40, y, tipX, y);
    arrowHead(canvas, tipX, y, 125 - w2 - 10, y - 5, 125 - w2 - 10, y + 5);

    const std::string voorspelling = "Voorspelling";
    h2 = canvas.textHeight(voorspelling) / 2;
    canvas.text(1, 125 - h2, voorspelling);
    const int tipY = 125 - h2 - 45;
    canvas.line(6, 125 - h2 - 10, 6, tipY);
    arrowHead(canvas, 6, tipY, 1, 125 - h2 - 40, 11, 125 - h2 - 40);
    canvas.setFont(FontStyle{});
    canvas.setPen(colors::kBlack, 1);
}

std::string structureOf(const ResultChoice& choice)
{
    std::string structure;
    for (int g = 1; g <= choice.groupCount; ++g)
        for (int v = 1; v <= choice.auxVarCount; ++v)
            if (choice.ticked[at(v)][at(g)])
                structure += std::string(structure.empty() ? "" : "-") + "g" +
                             std::to_string(100 + g).substr(1) + "h" + std::to_string(100 + v).substr(1);
    return structure;
}

std::string resultFileNameOf(const ResultChoice& choice)
{
    const std::string structure = structureOf(choice);
    return toskim2(choice.stratumText + "-") + choice.mxw + "-" + structure + (structure.empty() ? "" : "-") +
           (choice.weighted ? "gew" : "ong") + ".out";
}

DisplayOutcome showResult(AppState& state, const ResultChoice& choice, Canvas& canvas,
                          bool bestMode, double cp)
{
    DisplayOutcome out;
    if (!state.resultBannerWritten) {
        state.ADDLOG("");
        state.ADDLOG("****** " + std::to_string(state.SessionNumber) +
                     " PRESENTED REGRESSION RESULTS ******");
        state.resultBannerWritten = true;
    }
    BLANKSTRGRDFIT(out.table);
    blankimgFIT(canvas);
    out.fileName = resultFileNameOf(choice);
    const std::string& name = out.fileName;

    auto finish = [&]() {
        if (state.milestone != Mijlpaal::na_voorspellen)
            state.milestone = Mijlpaal::na_rapporteren;
        state.setMilestone(state.milestone);
    };

    if (!state.workDir.fileExists(name)) {
        const std::string text =
            "Regression file <" + name + "> not found!\r\n" + whyNotFound(choice, state.structures);
        state.fb().message(text);
        state.ADDLOG(text);
        finish();
        return out;
    }
    out.found = true;
    const ResultFile r = readResultFile(state.workDir.resolve(name), kMaxListedObservations);
    out.table[0][1] = valueAt(r.observationsLine, 42, 47);
    out.table[1][1] = valueAt(r.residualErrorLine, 42, 52);
    out.table[2][1] = valueAt(r.r2Line, 42, 52);
    out.table[3][1] = valueAt(r.r2aLine, 41, 51);

    for (int k = 0; k <= 15; ++k) {
        if (r.function.find("b" + std::to_string(k)) == std::string::npos)
            continue;
        const int row = k == 0 ? 5 : 5 + bepaalgroep(k, name);
        if (k > 0 && row == 5)
            continue;  // a name whose structure cannot be read names no row
        const std::string line = r.parameterLines[at(k)].value_or(kNotFoundLine);
        out.table[at(row)][1] = valueAt(line, 7, 22);
        out.table[at(row)][2] = valueAt(line, 24, 39);
        out.table[at(row)][3] = valueAt(line, 41, 56);
    }
    if (bestMode && cp != kNoCp)
        out.table[4][1] = fixed(cp, 10, 3);

    // The observation listing: index, observed and predicted of n lines.
    const std::size_t wanted = r.N > 0 ? static_cast<std::size_t>(r.N) : 0;
    if (wanted > kMaxListedObservations)
        out.statusText = "The result holds " + std::to_string(wanted) +
                         " observations; the scatterplot shows the first " +
                         std::to_string(kMaxListedObservations) + ".";
    drawScatterplot(canvas, name, r.observations);
    const std::string base = name.substr(0, name.size() - 4);
    canvas.saveBmp(state.workDir.path() / (base + ".wmf"));
    if (!bestMode) {
        state.ADDLOG("Regression file <" + name + "> presented. Scatterplot <" + base +
                     ".wmf> written to file");
    } else {
        const std::string pair = toskim2(choice.stratumText + "-") + choice.mxw;
        canvas.saveBmp(state.workDir.path() / (pair + ".wmf"));
        state.ADDLOG("best regression file <" + name + "> presented. Scatterplot <" + pair +
                     ".wmf> written to file");
    }
    state.ADDLOG("Regression file <" + name + "> presented. Scatterplot <*.wmf> written to file");
    if (!out.statusText.empty())
        state.fb().statusText(out.statusText);
    finish();
    return out;
}

BestOutcome showBestResult(AppState& state, const ResultChoice& choice, Canvas& canvas)
{
    return showBestResult(state, choice, canvas,
                          chooseBest(state.workDir, state.registry.GroupCount,
                                     toskim2(choice.stratumText), choice.mxw, state.fb()));
}

BestOutcome showBestResult(AppState& state, const ResultChoice& choice, Canvas& canvas,
                           const std::optional<BestModel>& chosen)
{
    BestOutcome out;
    out.choice = choice;
    for (auto& row : out.choice.ticked)
        row.fill(false);
    const std::string stratum = toskim2(choice.stratumText);
    if (!chosen) {
        ResultTable blank;
        BLANKSTRGRDFIT(blank);
        out.display.table = blank;
        blankimgFIT(canvas);
        state.fb().message("No regression result found for stratum " + stratum + " and " +
                           choice.mxw +
                           ": the regressions were too poor, or not performed because of too few "
                           "data points.");
        if (state.bestShown)
            state.bestShown(out);
        return out;
    }
    out.found = true;
    out.bestName = chosen->fileName;
    for (const auto& [group, variable] :
         structureElements(structureOfFileName(chosen->fileName, stratum, choice.mxw)))
        if (group && variable && *group >= 1 && *group <= 15 && *variable >= 1 && *variable <= 15)
            out.choice.ticked[at(static_cast<int>(*variable))][at(static_cast<int>(*group))] = true;
    out.display = showResult(state, out.choice, canvas, true, chosen->cp);
    if (state.bestShown)
        state.bestShown(out);
    return out;
}

bool CheckBox1Click(std::array<std::array<bool, 16>, 16>& ticked,
                    std::array<std::array<bool, 16>, 16>& state)
{
    int changedV = 0, changedG = 0;
    for (int v = 1; v <= 15; ++v)
        for (int g = 1; g <= 15; ++g)
            if (ticked[at(v)][at(g)] != state[at(v)][at(g)]) {
                changedV = v;
                changedG = g;
            }
    if (changedV == 0)
        return false;
    if (ticked[at(changedV)][at(changedG)])
        for (int w = 1; w <= 15; ++w)
            if (w != changedV)
                ticked[at(w)][at(changedG)] = false;
    for (int w = 1; w <= 15; ++w)
        state[at(w)][at(changedG)] = ticked[at(w)][at(changedG)];
    return true;
}

std::vector<std::string> mxwSelectorItems(const PerMxw<bool>& mxwChecked)
{
    std::vector<std::string> items;
    for (Mxw m : kAllMxw)
        if (mxwChecked[m])
            items.push_back(mxwName(m));
    return items;
}

}  // namespace tolvar
