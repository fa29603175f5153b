#include "common/text_table.h"

#include "common/fields.h"
#include "common/index.h"
#include "common/io_error.h"
#include "common/text_file.h"

namespace tolvar {

const std::string& TextTable::cell(int col, int row) const
{
    return rows[at(row)][at(col)];
}

std::string& TextTable::cell(int col, int row)
{
    return rows[at(row)][at(col)];
}

const std::vector<std::string>& TextTable::row(int r) const
{
    return rows[at(r)];
}

void TextTable::resize(int cols, int rowCount)
{
    rows.assign(at(rowCount), std::vector<std::string>(at(cols)));
}

void TextTable::appendColumn(const std::string& title)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r].push_back(r == 0 ? title : std::string());
}

void TextTable::insertRow(int atRow)
{
    rows.insert(rows.begin() + atRow, std::vector<std::string>(at(colCount())));
}

void TextTable::removeRow(int atRow)
{
    rows.erase(rows.begin() + atRow);
}

void TextTable::insertColumn(int atCol)
{
    for (auto& r : rows)
        r.insert(r.begin() + atCol, std::string());
}

void TextTable::removeColumn(int atCol)
{
    for (auto& r : rows)
        r.erase(r.begin() + atCol);
}

// Reads a ";"-delimited file into a table: the column count from the title
// line up to its first empty field, one row per line.
void readSemicolonTable(const std::filesystem::path& path, int freeColumns, TextTable& table)
{
    std::ifstream in = openForReading(path);
    const std::vector<std::string> lines = readAllLines(in);
    if (lines.empty())
        throw IoError(path.string(), "the file is empty");
    const int m = countLeadingFields(lines.front(), ';');
    table.resize(m + freeColumns, static_cast<int>(lines.size()));
    for (std::size_t p = 0; p < lines.size(); ++p) {
        const std::vector<std::string> fields = splitFields(lines[p], ';');
        for (int k = 0; k < m && at(k) < fields.size(); ++k)
            table.cell(k + freeColumns, static_cast<int>(p)) = fields[at(k)];
    }
}

void writeSemicolonTable(const std::filesystem::path& path, const TextTable& table)
{
    std::ofstream out = openForWriting(path);
    TextWriter w(out);
    std::string line;
    for (const auto& row : table.rows) {
        line.clear();
        for (const std::string& cell : row) {
            line += cell;
            line += ';';
        }
        w.line(line);
    }
    out.flush();
    checkWritten(out, path);
}

}  // namespace tolvar
