#include "presentation/scatter_matrix.h"
#include "common/index.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace tolvar {

namespace {
constexpr double kMissing = -999.0;
constexpr const char* kTooMany = "Too many scatterplots for 1 screen; MultiScatter stops.";

}  // namespace

ScatterData readScatterData(const std::filesystem::path& path)
{
    std::ifstream in = openForReading(path);
    const std::vector<std::string> lines = readAllLines(in);
    ScatterData data;
    if (lines.empty())
        throw IoError(path.string(), "the file is empty");
    const auto n = leadingInteger(lines[0]);
    if (!n || *n < 0)
        throw IoError(path.string(), "the first line holds no number of variables");
    if (*n > kMaxScatterVariables) {
        data.n = kMaxScatterVariables + 1;  // refused by the drawing
        return data;
    }
    data.n = static_cast<int>(*n);
    for (int k = 1; k <= data.n; ++k)
        data.names.push_back(at(k) < lines.size() ? lines[at(k)] : std::string());
    for (std::size_t i = at(data.n) + 1; i < lines.size(); ++i) {
        std::istringstream values(lines[i]);
        std::vector<double> row(at(data.n), kMissing);
        std::string token;
        for (int k = 0; k < data.n && values >> token; ++k) {
            const auto v = parseReal(token);
            if (!v)
                throw IoError(path.string(), "Invalid numeric format");
            row[at(k)] = *v;
        }
        data.lines.push_back(std::move(row));
    }
    return data;
}

bool drawMultiScatter(const ScatterData& data, Canvas& canvas, Feedback& feedback)
{
    const int n = data.n;
    if (n > kMaxScatterVariables) {
        feedback.message(kTooMany);
        return false;
    }
    if (n <= 0)
        return true;
    const int s = kMultiScatWidth / n;

    // Scale every variable into its cell: valid values from 1 to s - 1.
    std::vector<double> smallest(at(n), 999999.0), largest(at(n), -999999.0);
    for (const auto& row : data.lines)
        for (int k = 0; k < n; ++k) {
            const double v = row[at(k)];
            if (v > largest[at(k)])
                largest[at(k)] = v;
            if (v < smallest[at(k)] && v != kMissing)
                smallest[at(k)] = v;
        }
    std::vector<std::vector<double>> scaled = data.lines;
    for (int k = 0; k < n; ++k) {
        double range = largest[at(k)] - smallest[at(k)];
        if (range == 0)
            range = 1;
        for (auto& row : scaled) {
            // A missing value stays off the plot even where valid values lie below -999.
            row[at(k)] = row[at(k)] == kMissing
                             ? -1.0
                             : (row[at(k)] - smallest[at(k)]) * (s - 2) / range + 1;
        }
    }

    canvas.setPen(colors::kSilver, 1);
    canvas.setBrush(colors::kWhite);
    canvas.setFont(FontStyle{});
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            if (i >= j) {
                canvas.rectangle((i - 1) * s, (j - 1) * s + 10, i * s, j * s + 10);
                canvas.text(1, s - 12, "1");
                if (i < n) {
                    const std::string label = std::to_string(i + 1);
                    canvas.text(i * s - canvas.textWidth(label) - 2, j * s + 24, label);
                }
            }
            const std::string head = std::to_string(i);
            canvas.text((i - 1) * s + (s - canvas.textWidth(head)) / 2, 0, head);
        }
    for (int k = 1; k <= n; ++k)
        canvas.text(0, kMultiScatHeight - 250 + 15 * (k - 1),
                    std::to_string(k) + ": " + data.names[at(k - 1)]);
    for (const auto& row : scaled)
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= i; ++j) {
                const double vi = row[at(i - 1)], vj = row[at(j - 1)];
                // Valid values lie from 1 to s - 1; a range too wide for a
                // double puts them nowhere.
                if (vi > 0 && vj > 0 && vi < s && vj < s)
                    canvas.setPixel(static_cast<int>(roundHalfEven(vi)) + (i - 1) * s,
                                    static_cast<int>(roundHalfEven(s - vj)) + (j - 1) * s + 10,
                                    colors::kBlack);
            }
    return true;
}

bool showMultiScatter(const WorkDir& dir, Canvas& canvas, Feedback& feedback)
{
    return drawMultiScatter(readScatterData(dir.resolve("scatterdat.txt")), canvas, feedback);
}

void saveMultiScatter(const WorkDir& dir, Canvas& canvas)
{
    canvas.saveBmp(dir.path() / kMultiScatFile);
}

}  // namespace tolvar
