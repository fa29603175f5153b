#include "selection/select_best.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "regression/regression_files.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace tolvar {

namespace {
constexpr double kStartFullVariance = 10'000'000.0;
constexpr double kStartBestVariance = 1'000'000.0;

std::string figuresText(int p, double s2, double cp, int n, double rss)
{
    return integerText(p, 2) + " " + fixed(s2, 10, 3) + " " + fixed(cp, 10, 3) + " " +
           integerText(n, 5) + " " + fixed(rss, 12, 3);
}
}  // namespace

ResultFigures readResultFiguresFrom(const std::filesystem::path& path)
{
    // The three lines lie near the top: read until each has been seen, and
    // keep the lines that hold one of the texts in file order, so each text
    // finds the same first line as in the whole file.
    static const char* const kKeys[] = {"Function", "Number of observations", "Residual error"};
    std::ifstream in = openForReading(path);
    std::vector<std::string> found;
    bool seen[3] = {false, false, false};
    std::string line;
    while (!(seen[0] && seen[1] && seen[2]) && readLine(in, line)) {
        bool holds = false;
        for (int i = 0; i < 3; ++i)
            if (line.find(kKeys[i]) != std::string::npos) {
                seen[i] = true;
                holds = true;
            }
        if (holds)
            found.push_back(line);
    }
    if (in.bad())
        throw IoError(path.string(), "reading the file failed");
    return readResultFigures(found);
}

int variableCountOf(const std::string& fileName, const std::string& stratum)
{
    const long long rest = static_cast<long long>(fileName.size()) -
                           static_cast<long long>(stratum.size()) - 12;
    return static_cast<int>(rest / 7);
}

bool belongsToPair(const std::string& fileName, const std::string& stratum, const std::string& gxg)
{
    return wildcardMatch("*.out", fileName) && fileName.rfind(stratum + "-", 0) == 0 &&
           fileName.find(gxg) != std::string::npos;
}

SelectionResult selectAmong(const std::vector<SelectionModel>& models, int groupCount,
                            const std::string& stratum)
{
    SelectionResult result;
    double fullVariance = kStartFullVariance;
    int c = groupCount + 1;
    for (bool last = false; !last;) {
        if (c <= 1)
            last = true;
        else
            --c;
        for (const SelectionModel& m : models) {
            if (variableCountOf(m.name, stratum) != c)
                continue;
            fullVariance = std::min(fullVariance, m.f.s * m.f.s);
            last = true;
        }
    }

    for (const SelectionModel& m : models) {
        const double s2 = m.f.s * m.f.s;
        const double rss = (m.f.N - m.f.p) * s2;
        double cp = 0.0;
        bool candidate = false;
        if (fullVariance > 0.0) {
            cp = rss / fullVariance - m.f.N + 2.0 * m.f.p;
            // Cp comes from figures printed to 8 decimals: equality with the
            // limit must survive their rounding.
            const double limit = m.f.p + 1.7;
            candidate = cp <= limit + 1e-9 * std::max(1.0, std::fabs(limit));
        } else {
            // The full model fits exactly: only exact fits qualify, with Cp = p.
            cp = m.f.p;
            candidate = s2 == 0.0;
        }
        if (candidate)
            result.candidates.push_back(figuresText(m.f.p, s2, cp, m.f.N, rss) + "  " + m.name);
        else
            result.rejected.push_back(m.name);
    }
    std::sort(result.candidates.begin(), result.candidates.end());

    // The shortlist is read back from the candidate lines as written, so the
    // choice rests on the rounded figures of Selectie.txt.
    int pmin = 9999;
    double bestVariance = kStartBestVariance;
    for (const std::string& line : result.candidates) {
        std::istringstream fields(line);
        double p = 0, s2 = 0, cp = 0, n = 0, rss = 0;
        fields >> p >> s2 >> cp >> n >> rss;
        std::string rest;
        std::getline(fields, rest);
        const std::string name = toskim2(rest);
        if (p > pmin)
            continue;
        pmin = static_cast<int>(p);
        result.shortlist.push_back(
            figuresText(static_cast<int>(p), s2, cp, static_cast<int>(n), rss) + " " + name);
        if (s2 < bestVariance) {
            bestVariance = s2;
            result.bestCp = cp;
            result.bestName = name;
            result.found = true;
        }
    }
    return result;
}

bool SelectBest(const WorkDir& dir, int groupCount, const std::string& stratumIn,
                const std::string& gxg, std::string& best_name, double& best_cp,
                Feedback& feedback)
{
    return SelectBest(dir, groupCount, stratumIn, gxg, best_name, best_cp, feedback, {}, {});
}

bool SelectBest(const WorkDir& dir, int groupCount, const std::string& stratumIn,
                const std::string& gxg, std::string& best_name, double& best_cp,
                Feedback& feedback, const std::vector<SelectionModel>& pending,
                const std::function<void(const std::string&)>& writeSurvivor)
{
    feedback.busy(true);
    feedback.statusText("searching the best regression model for stratum " + stratumIn + " en " +
                        gxg);
    const std::string stratum = toskim2(stratumIn);
    std::set<std::string> pendingNames;
    for (const SelectionModel& m : pending)
        pendingNames.insert(m.name);

    std::vector<SelectionModel> models = pending;
    std::set<std::string> onDisk;
    for (const std::string& name : dir.list("*.out")) {
        if (!belongsToPair(name, stratum, gxg))
            continue;
        onDisk.insert(name);
        // A pending model replaces a file of the same name.
        if (!pendingNames.count(name))
            models.push_back({name, readResultFiguresFrom(dir.path() / name)});
    }

    const SelectionResult result = selectAmong(models, groupCount, stratum);
    for (const std::string& name : result.rejected)
        if (onDisk.count(name))
            dir.removeFile(name);
    if (writeSurvivor) {
        const std::set<std::string> rejected(result.rejected.begin(), result.rejected.end());
        for (const SelectionModel& m : pending)
            if (!rejected.count(m.name))
                writeSurvivor(m.name);
    }
    writeTextFile(dir.resolve("Selectie.txt"), result.candidates);
    writeTextFile(dir.resolve("subsel.txt"), result.shortlist);
    if (result.found) {
        best_name = result.bestName;
        best_cp = result.bestCp;
    }
    feedback.busy(false);
    return result.found;
}

std::optional<BestModel> chooseBest(const WorkDir& dir, int groupCount, const std::string& stratum,
                                    const std::string& gxg, Feedback& feedback)
{
    BestModel best;
    if (!SelectBest(dir, groupCount, stratum, gxg, best.fileName, best.cp, feedback) ||
        best.fileName.empty())
        return std::nullopt;
    return best;
}

}  // namespace tolvar
