#include "regression/regression_files.h"

#include "common/index.h"
#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace tolvar {

namespace {

const std::string kEquals(73, '=');
const std::string kDashes(73, '-');
constexpr const char* kParameterHeader =
    "Parameter    Est.value         Std.dev.        t Student       Prob(>|t|)";
constexpr const char* kListingHeader =
    "  i        Y obs.       Y calc.      Residual      Std.dev.      Std.res.";
constexpr const char* kLabelN = "Number of observations            : n   = ";
constexpr const char* kLabelS = "Residual error                    : s   = ";
constexpr const char* kLabelR2 = "Coefficient of determination      : r2  = ";
constexpr const char* kLabelR2a = "Adjusted coeff. of determination  : r2a = ";
constexpr const char* kLabelF = "Variance ratio (explained/resid.) : F   = ";
constexpr const char* kCovarianceTitle = "Variance-Covariance Matrix of estimated parameters";

std::string nextLine(std::istream& in, const std::string& fileName, const char* what)
{
    std::string line;
    if (!readLine(in, line))
        throw IoError(fileName, std::string("the file ends before ") + what);
    return line;
}

// F of a perfect fit is LargestReal; past ten integer digits the fixed form
// would be unreadable, so such values are written in scientific form.
std::string varianceRatioText(double f)
{
    if (std::isfinite(f) && std::fabs(f) < 1e10)
        return fixed(f, 10, 4);
    if (!std::isfinite(f))
        return fixed(f, 10, 4);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, f,
                                      std::chars_format::scientific, 4);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return padLeft(text, 10);
}

// "b" + j; built by appending (GCC 12 warns falsely about "literal" + string).
std::string indexedName(char letter, int j)
{
    std::string name(1, letter);
    name += std::to_string(j);
    return name;
}

}  // namespace

RegressionData readRegressionData(std::istream& in, const std::string& fileName, bool weighted)
{
    RegressionData data;
    data.studyName = nextLine(in, fileName, "its title");
    const auto K = leadingInteger(nextLine(in, fileName, "the number of variables"));
    if (!K || *K < 2)
        throw IoError(fileName, "a regression needs at least 2 variables");
    if (*K - 1 > kMaxRegressorNames)
        throw IoError(fileName, "more than " + std::to_string(kMaxRegressorNames) +
                                    " regressor names");
    data.k = static_cast<int>(*K - 1);
    for (int j = 1; j <= data.k; ++j)
        data.names.push_back(nextLine(in, fileName, "the variable names"));
    data.yName = nextLine(in, fileName, "the name of y");
    const auto N = leadingInteger(nextLine(in, fileName, "the number of observations"));
    if (!N || *N < 1)
        throw IoError(fileName, "the number of observations is not readable");
    if (*N > kMaxObservations)
        throw IoError(fileName, "more than " + std::to_string(kMaxObservations) + " observations");
    if (*N < data.k + 1)
        throw IoError(fileName, "fewer observations than regression coefficients");
    data.N = static_cast<int>(*N);

    data.X = AllocMatrix(data.k, data.N);
    data.Y = AllocVector(data.N);
    data.s = AllocVector(data.N);
    if (!data.X || !data.Y || !data.s)
        throw IoError(fileName, "the regression is too large");

    const int perLine = data.k + 1 + (weighted ? 1 : 0);
    std::string line;
    for (int i = 1; i <= data.N; ++i) {
        if (!readLine(in, line))
            throw IoError(fileName, "fewer observations than declared");
        std::string_view rest(line);
        for (int v = 0; v < perLine; ++v) {
            const auto start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos)
                throw IoError(fileName, "observation " + std::to_string(i) +
                                            " holds fewer values than declared");
            rest.remove_prefix(start);
            const auto stop = std::min(rest.find_first_of(" \t"), rest.size());
            const auto value = parseReal(rest.substr(0, stop));
            if (!value)
                throw IoError(fileName, "Invalid numeric format");
            rest.remove_prefix(stop);
            if (v < data.k)
                (*data.X)[v + 1][i] = *value;
            else if (v == data.k)
                (*data.Y)[i] = *value;
            else
                (*data.s)[i] = *value;
        }
    }
    return data;
}

std::vector<std::string> resultHeaderLines(const std::string& dataFileName,
                                           const std::string& studyName,
                                           const std::vector<std::string>& names,
                                           const std::string& yName)
{
    std::vector<std::string> lines;
    lines.reserve(names.size() + 8);
    lines.push_back(kEquals);
    lines.push_back("Data file  : " + dataFileName);
    lines.push_back("Study name : " + studyName);
    for (std::size_t j = 1; j <= names.size(); ++j)
        lines.push_back(indexedName('x', static_cast<int>(j)) + "         : " + names[j - 1]);
    lines.push_back("y          : " + yName);
    lines.push_back("Function   : " + FormulaText(static_cast<int>(names.size()), true));
    return lines;
}

std::string observationsLine(int N)
{
    return kLabelN + integerText(N, 5);
}

std::string residualErrorLine(double Vr)
{
    return kLabelS + fixed(std::sqrt(Vr), 10, 8);
}

namespace {

// Every line of a result file before its residual listing.
std::vector<std::string> resultHead(const std::string& dataFileName, const ResultContent& r)
{
    const int k = r.k;
    const int N = r.N;
    std::vector<std::string> out = resultHeaderLines(dataFileName, r.studyName, r.names, r.yName);
    out.reserve(out.size() + at(2 * k) + 20);
    out.push_back(kDashes);
    out.push_back(kParameterHeader);
    out.push_back(kDashes);
    for (int j = 0; j <= k; ++j) {
        std::string line = padLeft(indexedName('b', j), 5) + fixed(r.B[at(j)], 17, 8);
        if (r.SB[at(j)] > 0.0)
            line += fixed(r.SB[at(j)], 17, 8) + fixed(r.T[at(j)], 17, 2) +
                    fixed(r.ProbT[at(j)], 17, 4);
        out.push_back(std::move(line));
    }
    out.push_back(kDashes);
    const TRegTest& t = r.test;
    out.push_back(observationsLine(N));
    out.push_back(residualErrorLine(t.Vr));
    if (t.R2 >= 0.0 && t.R2 <= 1.0)
        out.push_back(kLabelR2 + fixed(t.R2, 10, 8));
    if (t.R2a >= 0.0 && t.R2a <= 1.0)
        out.push_back(kLabelR2a + fixed(t.R2a, 10, 8));
    out.push_back(kLabelF + varianceRatioText(t.F) + "    Prob(>F) = " + fixed(t.ProbF, 6, 4));
    out.push_back(kDashes);
    out.push_back(kCovarianceTitle);
    std::string heads;
    for (int j = 0; j <= k; ++j)
        heads += std::string(11, ' ') + padLeft(indexedName('b', j), 5);
    out.push_back(std::move(heads));
    out.push_back(kDashes);
    for (int j = 0; j <= k; ++j) {
        std::string row;
        for (int l = 0; l <= k; ++l) {
            row += "  ";
            appendFixed(row, r.V[at(j * (k + 1) + l)], 14, 7);
        }
        out.push_back(std::move(row));
    }
    out.push_back(kDashes);
    out.push_back(kListingHeader);
    out.push_back(kDashes);
    return out;
}

// One line of the residual listing, observation i (0-based).
void appendListingLine(std::string& line, const ResultContent& r, int i)
{
    const auto ii = at(i);
    const double y = r.Y[ii];
    const double yc = r.Ycalc[ii];
    const double sd = r.S[ii];
    const double residual = y - yc;
    char index[16];
    const auto end = std::to_chars(index, index + sizeof index, i + 1).ptr;
    const auto digits = static_cast<std::size_t>(end - index);
    if (digits < 3)
        line.append(3 - digits, ' ');
    line.append(index, end);
    appendFixed(line, y, 14, 4);
    appendFixed(line, yc, 14, 4);
    appendFixed(line, residual, 14, 4);
    appendFixed(line, sd, 14, 4);
    // A perfect fit leaves no spread to standardise by.
    if (sd > 0.0)
        appendFixed(line, residual / sd, 14, 4);
    else
        line += "       missing";
}

}  // namespace

std::vector<std::string> resultLines(const std::string& dataFileName, const ResultContent& r)
{
    std::vector<std::string> out = resultHead(dataFileName, r);
    out.reserve(out.size() + static_cast<std::size_t>(r.N) + 1);
    for (int i = 0; i < r.N; ++i) {
        std::string line;
        line.reserve(80);
        appendListingLine(line, r, i);
        out.push_back(std::move(line));
    }
    out.push_back(kEquals);
    return out;
}

std::string resultTextWithCoordinates(const std::string& dataFileName, const ResultContent& r,
                                      const std::vector<std::string>& xy)
{
    const std::vector<std::string> head = resultHead(dataFileName, r);
    // The coordinates go after the first line that holds "Y obs.": the
    // listing header, unless a name before it holds those words.
    const std::size_t header = head.size() - 2;
    for (std::size_t i = 0; i < header; ++i)
        if (head[i].find("Y obs.") != std::string::npos)
            return crlfText(appendCoordinates(resultLines(dataFileName, r), xy));
    std::size_t nextXy = 0;
    auto suffix = [&](std::string& text) {
        text += ' ';
        if (nextXy < xy.size())
            text += xy[nextXy++];
        text += kLineEnd;
    };
    std::string text;
    text.reserve(static_cast<std::size_t>(r.N + 1) * (80 + (xy.empty() ? 0 : xy.back().size())) + 4096);
    for (std::size_t i = 0; i < head.size(); ++i) {
        text += head[i];
        if (i == header)
            suffix(text);
        else
            text += kLineEnd;
    }
    for (int i = 0; i < r.N; ++i) {
        appendListingLine(text, r, i);
        suffix(text);
    }
    text += kEquals;
    suffix(text);
    return text;
}

ResultContent resultContent(const RegressionData& data, const FitOutput& fit)
{
    ResultContent r;
    r.studyName = data.studyName;
    r.names = data.names;
    r.yName = data.yName;
    r.k = data.k;
    r.N = data.N;
    for (int j = 0; j <= data.k; ++j) {
        r.B.push_back((*fit.B)[j]);
        r.SB.push_back((*fit.SB)[j]);
        r.T.push_back((*fit.T)[j]);
        r.ProbT.push_back((*fit.ProbT)[j]);
        for (int l = 0; l <= data.k; ++l)
            r.V.push_back((*fit.V)[j][l]);
    }
    r.test = fit.test;
    for (int i = 1; i <= data.N; ++i) {
        r.Y.push_back((*data.Y)[i]);
        r.Ycalc.push_back((*fit.Ycalc)[i]);
        r.S.push_back((*fit.S)[i]);
    }
    return r;
}

void writeRegressionResult(std::ostream& stream, const std::string& dataFileName,
                           const RegressionData& data, const FitOutput& fit)
{
    writeLines(stream, resultLines(dataFileName, resultContent(data, fit)));
}

std::vector<std::string> appendCoordinates(std::vector<std::string> result,
                                           const std::vector<std::string>& xy)
{
    std::size_t nextXy = 0;
    auto suffix = [&](std::string& line) {
        line += ' ';
        if (nextXy < xy.size())
            line += xy[nextXy++];
    };
    std::size_t i = 0;
    // Up to and including the listing header, which gets the column heads.
    for (; i < result.size(); ++i) {
        if (result[i].find("Y obs.") != std::string::npos) {
            suffix(result[i]);
            ++i;
            break;
        }
    }
    if (i < result.size())
        ++i;  // the separator stays as it is
    // Residual lines, up to and including the closing line of equals signs.
    for (; i < result.size(); ++i) {
        const bool closing = result[i].find('=') != std::string::npos;
        suffix(result[i]);
        if (closing)
            break;
    }
    return result;
}

std::string resultFileName(const std::string& dataFileName)
{
    const auto dot = dataFileName.rfind('.');
    const auto slash = dataFileName.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return dataFileName + ".out";
    return dataFileName.substr(0, dot) + ".out";
}

namespace {

// The number after the parameter name, read whole even when it fills its field.
double estimateIn(const std::string& line)
{
    const auto start = line.find_first_not_of(' ', 5);
    if (start == std::string::npos)
        return 0.0;
    const auto stop = line.find(' ', start);
    return parseReal(line.substr(start, stop == std::string::npos ? std::string::npos : stop - start))
        .value_or(0.0);
}

// The first line holding `text`, or the not-found line.
const std::string& lineWith(const std::vector<std::string>& lines, const char* text)
{
    static const std::string notFound = kNotFoundLine;
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos)
            return line;
    return notFound;
}

const std::string* parameterLineOf(const std::vector<std::string>& lines, const std::string& name)
{
    const std::string field = padLeft(name, 5);
    for (const std::string& line : lines)
        if (line.size() > 5 && line.compare(0, 5, field) == 0)
            return &line;
    return nullptr;
}

}  // namespace

ResultFigures readResultFigures(const std::vector<std::string>& lines)
{
    ResultFigures f;
    const std::string& function = lineWith(lines, "Function  ");
    f.p = static_cast<int>(std::count(function.begin(), function.end(), 'b'));
    const double n = numberAt(lineWith(lines, "Number of observations"), 43, 5);
    f.N = std::fabs(n) < 1e9 ? static_cast<int>(n) : 0;
    f.s = numberAt(lineWith(lines, "Residual error"), 43, 10);
    return f;
}

ResultFile readResultFile(const std::vector<std::string>& lines, std::size_t maxObservations)
{
    ResultFile r;
    const ResultFigures figures = readResultFigures(lines);
    r.p = figures.p;
    r.N = figures.N;
    r.s = figures.s;
    r.function = lineWith(lines, "Function  ");
    r.observationsLine = lineWith(lines, "Number of observations");
    r.residualErrorLine = lineWith(lines, "Residual error");
    r.r2Line = lineWith(lines, "Coefficient of determination");
    r.r2aLine = lineWith(lines, "Adjusted coeff. of determination");

    for (int k = 0; k <= 15; ++k) {
        const std::string name = indexedName('b', k);
        if (r.function.find(name) == std::string::npos)
            continue;
        if (const std::string* line = parameterLineOf(lines, name)) {
            r.parameterLines[at(k)] = *line;
            r.estimates[at(k)] = estimateIn(*line);
        }
    }

    const int P = std::min(r.p, 16);
    auto it = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Variance-Covariance ") != std::string::npos;
    });
    if (it != lines.end() && lines.end() - it > 3) {
        auto row = it + 3;  // past the title, the coefficient names and the separator
        for (int i = 1; i <= P && row != lines.end(); ++i, ++row) {
            std::istringstream values(*row);
            for (int j = 1; j <= P; ++j) {
                std::string token;
                if (!(values >> token))
                    break;
                r.varCov[at(i)][at(j)] = parseReal(token).value_or(0.0);
            }
        }
    }

    const std::size_t wanted = std::min(r.N > 0 ? static_cast<std::size_t>(r.N) : 0, maxObservations);
    auto listing = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Std.res.") != std::string::npos;
    });
    if (wanted > 0 && lines.end() - listing > 2) {
        for (auto line = listing + 2; line != lines.end() && r.observations.size() < wanted; ++line) {
            std::istringstream values(*line);
            std::string a, b, c;
            values >> a >> b >> c;
            r.observations.push_back({parseReal(a).value_or(0.0), parseReal(b).value_or(0.0),
                                      parseReal(c).value_or(0.0)});
        }
    }
    return r;
}

ResultFile readResultFile(const fs::path& path, std::size_t maxObservations)
{
    std::ifstream in = openForReading(path);
    const std::vector<std::string> lines = readAllLines(in);
    if (in.bad())
        throw IoError(path.string(), "reading the file failed");
    return readResultFile(lines, maxObservations);
}

bool RunRegressionFile(const fs::path& dir, const std::string& dataFileName, bool weighted)
{
    const fs::path dataPath = dir / dataFileName;
    const fs::path resultPath = dir / resultFileName(dataFileName);
    RegressionData data;
    {
        std::ifstream in = openForReading(dataPath);
        data = readRegressionData(in, dataPath.string(), weighted);
    }
    const FitOutput fit =
        FitRegression(*data.X, *data.Y, *data.s, data.N, data.k, true, weighted);
    std::error_code ec;
    if (fit.status != 0) {
        fs::remove(resultPath, ec);
        return false;
    }
    writeTextFile(resultPath, resultLines(dataFileName, resultContent(data, fit)));
    return true;
}

void AddXY2OUTFILE(const fs::path& dir, const std::string& regFileName)
{
    const fs::path resultPath = dir / resultFileName(regFileName);
    const fs::path xyPath = dir / "XY.txt";
    const fs::path addPath = dir / "AddXY.txt";
    std::error_code ec;
    if (!fs::exists(resultPath, ec))
        return;

    std::vector<std::string> xy;
    {
        std::ifstream xyIn = openForReading(xyPath);
        xy = readAllLines(xyIn);
    }
    std::vector<std::string> result;
    {
        std::ifstream in = openForReading(resultPath);
        result = readAllLines(in);
    }

    writeTextFile(addPath, appendCoordinates(std::move(result), xy));
    fs::remove(resultPath, ec);
    fs::rename(addPath, resultPath, ec);
    if (ec)
        throw IoError(resultPath.string(), "cannot replace the result file: " + ec.message());
    fs::remove(xyPath, ec);
}

}  // namespace tolvar
