#include "pointdata/point_data_set.h"
#include "common/index.h"

#include "common/text_file.h"
#include "common/fields.h"

#include <fstream>

namespace tolvar {

namespace {
bool isRemovedFromTitle(unsigned char c)
{
    return c == '"' || c == '\'' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z');
}
}  // namespace

void PointDataSet::resize(int cols, int rows)
{
    TextTable::resize(cols < 1 ? 1 : cols, rows < 1 ? 1 : rows);
}

char DelimiterChoice::preselectedDelimiter() const
{
    return preselected >= 0 ? candidates[at(preselected)].c : kNoDelimiter;
}

DelimiterChoice bepaalsep(std::string_view titleLine)
{
    std::string rest;
    for (char c : titleLine)
        if (!isRemovedFromTitle(static_cast<unsigned char>(c)))
            rest += c;
    DelimiterChoice choice;
    while (!rest.empty()) {
        const char c = rest.front();
        int count = 0;
        std::string remaining;
        for (char d : rest) {
            if (d == c)
                ++count;
            else
                remaining += d;
        }
        rest = std::move(remaining);
        // A title row with more candidates than the list holds keeps the first 20.
        if (choice.candidates.size() < kMaxDelimiterCandidates)
            choice.candidates.push_back({c, count});
    }
    for (std::size_t i = 0; i < choice.candidates.size(); ++i)
        if (choice.preselected < 0 ||
            choice.candidates[i].count > choice.candidates[at(choice.preselected)].count)
            choice.preselected = static_cast<int>(i);
    return choice;
}

DelimiterChoice bepaalsepFile(const std::filesystem::path& file)
{
    std::ifstream in = openForReading(file);
    skipUtf8Bom(in);
    std::string line;
    readLine(in, line);
    return bepaalsep(line);
}

std::string delimiterItemText(char c)
{
    if (c == ' ')
        return "space";
    if (c == '\t')
        return "tab-sign";
    return std::string(1, c);
}

int delimiterGroupHeight(int count)
{
    return 20 * count + 16;
}

void vulgrid(std::istream& in, char delimiter, bool collapse, PointDataSet& data)
{
    std::vector<std::string> lines = readAllLines(in);
    if (lines.empty())
        lines.emplace_back();
    if (collapse)
        for (std::string& line : lines)
            line = collapseDelimiters(line, delimiter);
    int cols = countLeadingFields(lines.front(), delimiter);
    if (cols < 1)
        cols = 1;  // the table keeps at least one column
    const int rows = std::max(2, static_cast<int>(lines.size()));
    data.resize(cols, rows);
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::vector<std::string> fields = splitFields(lines[r], delimiter);
        for (int c = 0; c < cols && at(c) < fields.size(); ++c)
            data.cell(c, static_cast<int>(r)) = fields[at(c)];
    }
    for (int c = 0; c < cols; ++c) {
        std::string& title = data.cell(c, 0);
        if (!title.empty() && (title[0] == 'X' || title[0] == 'x'))
            title = "XCOORD";
        else if (!title.empty() && (title[0] == 'Y' || title[0] == 'y'))
            title = "YCOORD";
    }
}

void vulgridFile(const std::filesystem::path& file, char delimiter, bool collapse,
                 PointDataSet& data)
{
    std::ifstream in = openForReading(file);
    skipUtf8Bom(in);
    vulgrid(in, delimiter, collapse, data);
}

std::string readLabelText(const std::string& fullFileName)
{
    const std::string text = "Read piezometer data from " + fullFileName;
    if (text.size() < 80)
        return text;
    return text.substr(0, 34) + "..." + text.substr(text.size() - 43);
}

}  // namespace tolvar
