#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tolvar {

// A table of texts, row 0 holding the titles: the point data as imported and
// edited, and the sampled table with its grid columns.
class TextTable {
public:
    std::vector<std::vector<std::string>> rows;

    int rowCount() const { return static_cast<int>(rows.size()); }
    int colCount() const { return rows.empty() ? 0 : static_cast<int>(rows.front().size()); }
    const std::string& cell(int col, int row) const;
    std::string& cell(int col, int row);
    const std::vector<std::string>& row(int r) const;
    void resize(int cols, int rows);
    void appendColumn(const std::string& title);
    void insertRow(int at);
    void removeRow(int at);
    void insertColumn(int at);
    void removeColumn(int at);
};

// Reads a semicolon-separated file into `table`, its cells starting at column
// `freeColumns`: the column count from the title line up to its first empty
// field, one row per line. Throws IoError for an empty file.
void readSemicolonTable(const std::filesystem::path& path, int freeColumns, TextTable& table);
// The table as semicolon-separated lines: every cell followed by ";", every
// line by CR LF. Throws IoError naming the file when it cannot be written.
void writeSemicolonTable(const std::filesystem::path& path, const TextTable& table);

}  // namespace tolvar
