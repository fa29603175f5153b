#pragma once

#include "common/text_table.h"
#include "pointdata/point_columns.h"

#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

// The point-data table of the editor: text cells addressed (column, row), row
// 0 holding the titles; always at least one column.
class PointDataSet : public TextTable {
public:
    PointDataSet() { resize(1, 2); }
    // The shape, never less than one column and one row.
    void resize(int cols, int rows);
};

// A delimiter candidate of the title row and how often it occurs there.
struct DelimiterCandidate {
    char c;
    int count;
};

inline constexpr std::size_t kMaxDelimiterCandidates = 20;
// The delimiter used when the title row offers no candidate: no line holds it,
// so every whole line is one field.
inline constexpr char kNoDelimiter = '\0';

struct DelimiterChoice {
    std::vector<DelimiterCandidate> candidates;
    int preselected = -1;  // index into candidates, -1 when there are none

    char preselectedDelimiter() const;
};

// bepaalsep on the title row: every character that is not a quote, apostrophe,
// point, digit or ASCII letter is a candidate, in order of first appearance
// (at most 20 are kept); the most frequent is preselected, the earlier on ties.
DelimiterChoice bepaalsep(std::string_view titleLine);
DelimiterChoice bepaalsepFile(const std::filesystem::path& file);

// The text of a candidate in the delimiter choice: the character, "space" or
// "tab-sign".
std::string delimiterItemText(char c);
// The height of the delimiter radio group for `count` candidates.
int delimiterGroupHeight(int count);

// vulgrid: reads the whole file into the table.
void vulgrid(std::istream& in, char delimiter, bool collapse, PointDataSet& data);
void vulgridFile(const std::filesystem::path& file, char delimiter, bool collapse,
                 PointDataSet& data);

// "Read piezometer data from " + file name, shortened to 34 + "..." + 43
// characters when it would have 80 or more.
std::string readLabelText(const std::string& fullFileName);

}  // namespace tolvar
