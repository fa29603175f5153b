#include "selection/select_best.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace tolvar {

namespace {
constexpr double kStartFullVariance = 10'000'000.0;
constexpr double kStartBestVariance = 1'000'000.0;

std::vector<std::string> readLines(const std::filesystem::path& path)
{
    std::ifstream in = openForReading(path);
    return readAllLines(in);
}

void writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    std::ofstream out = openForWriting(path);
    TextWriter w(out);
    for (const std::string& line : lines)
        w.line(line);
    out.flush();
    checkWritten(out, path);
}

std::string figuresText(int p, double s2, double cp, int n, double rss)
{
    return integerText(p, 2) + " " + fixed(s2, 10, 3) + " " + fixed(cp, 10, 3) + " " +
           integerText(n, 5) + " " + fixed(rss, 12, 3);
}
}  // namespace

std::string skip_until_line(const std::vector<std::string>& lines, const std::string& str)
{
    for (const std::string& line : lines)
        if (line.find(str) != std::string::npos)
            return line;
    return kNotFoundLine;
}

std::string toskim2(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

double numberAt(const std::string& line, std::size_t from, std::size_t count)
{
    if (from < 1 || from > line.size())
        return 0.0;
    return parseReal(toskim2(line.substr(from - 1, count))).value_or(0.0);
}

ResultFigures readResultFigures(const std::vector<std::string>& lines)
{
    ResultFigures f;
    const std::string function = skip_until_line(lines, "Function");
    f.p = static_cast<int>(std::count(function.begin(), function.end(), 'b'));
    const double n = numberAt(skip_until_line(lines, "Number of observations"), 43, 5);
    f.N = std::fabs(n) < 1e9 ? static_cast<int>(n) : 0;
    f.s = numberAt(skip_until_line(lines, "Residual error"), 43, 10);
    return f;
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

bool SelectBest(const WorkDir& dir, int groupCount, const std::string& stratumIn,
                const std::string& gxg, std::string& best_name, double& best_cp,
                Feedback& feedback)
{
    feedback.busy(true);
    feedback.statusText("searching the best regression model for stratum " + stratumIn + " en " +
                        gxg);
    const std::string stratum = toskim2(stratumIn);
    std::vector<std::string> pair;
    for (const std::string& name : dir.list("*.out"))
        if (belongsToPair(name, stratum, gxg))
            pair.push_back(name);

    struct Model {
        std::string name;
        ResultFigures f;
    };
    std::vector<Model> models;
    for (const std::string& name : pair)
        models.push_back({name, readResultFigures(readLines(dir.path() / name))});

    double fullVariance = kStartFullVariance;
    int c = groupCount + 1;
    for (bool last = false; !last;) {
        if (c <= 1)
            last = true;
        else
            --c;
        for (const Model& m : models) {
            if (variableCountOf(m.name, stratum) != c)
                continue;
            fullVariance = std::min(fullVariance, m.f.s * m.f.s);
            last = true;
        }
    }

    std::vector<std::string> candidates;
    for (const Model& m : models) {
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
            candidates.push_back(figuresText(m.f.p, s2, cp, m.f.N, rss) + "  " + m.name);
        else
            dir.removeFile(m.name);
    }
    std::sort(candidates.begin(), candidates.end());
    writeLines(dir.resolve("Selectie.txt"), candidates);

    int pmin = 9999;
    double bestVariance = kStartBestVariance;
    bool found = false;
    std::vector<std::string> shortlist;
    for (const std::string& line : readLines(dir.resolve("Selectie.txt"))) {
        std::istringstream fields(line);
        double p = 0, s2 = 0, cp = 0, n = 0, rss = 0;
        fields >> p >> s2 >> cp >> n >> rss;
        std::string rest;
        std::getline(fields, rest);
        const std::string name = toskim2(rest);
        if (p > pmin)
            continue;
        pmin = static_cast<int>(p);
        shortlist.push_back(figuresText(static_cast<int>(p), s2, cp, static_cast<int>(n), rss) +
                            " " + name);
        if (s2 < bestVariance) {
            bestVariance = s2;
            best_cp = cp;
            best_name = name;
            found = true;
        }
    }
    writeLines(dir.resolve("subsel.txt"), shortlist);
    feedback.busy(false);
    return found;
}

}  // namespace tolvar
