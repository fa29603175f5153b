#include "pointdata/point_editor.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <cmath>
#include <fstream>

namespace tolvar {

namespace {
constexpr const char* kExtraPiezometer = "ExtraPiezometer";
constexpr const char* kMissing = "missing";
constexpr const char* kNegativesNotConverted = "Negative numbers and/or words not converted!";
constexpr const char* kOnlyNumbersConverted = "Only numbers converted!";

bool holdsHyphen(const std::string& text)
{
    return text.find('-') != std::string::npos;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}
}  // namespace

void PointEditor::open()
{
    state = PointEditState{};
}

void PointEditor::read(const std::filesystem::path& file, char chosenDelimiter, bool collapse)
{
    delimiter = chosenDelimiter;
    vulgridFile(file, delimiter, collapse, data);
    vulboxen();
}

void PointEditor::vulboxen()
{
    roleTexts.fill(std::string());
    listItems.clear();
    for (int c = 0; c < data.colCount(); ++c)
        listItems.push_back(data.cell(c, 0));
    for (int c = data.colCount() - 1; c >= 0; --c) {
        const std::string& title = data.cell(c, 0);
        const std::string t = toUpperAscii(title);
        if (contains(t, "MHW"))
            roleTexts[kMHW] = title;
        if (contains(t, "MSW"))
            roleTexts[kMSW] = title;
        if (contains(t, "MLW"))
            roleTexts[kMLW] = title;
        if (contains(t, "SDMHW"))
            roleTexts[kSDMHW] = title;
        if (contains(t, "SDMSW"))
            roleTexts[kSDMSW] = title;
        if (contains(t, "SDMLW"))
            roleTexts[kSDMLW] = title;
        if (contains(t, "GEBIED") || contains(t, "STRAT"))
            roleTexts[kSTRATA] = title;
        if (contains(t, "X"))
            roleTexts[kX] = title;
        if (contains(t, "Y"))
            roleTexts[kY] = title;
    }
}

void PointEditor::clearMarks()
{
    marks.commasReplaced = false;
    marks.saved = false;
}

void PointEditor::insertrow(int irow)
{
    data.insertRow(irow);
    data.cell(0, irow) = kExtraPiezometer;
    for (int c = 1; c < data.colCount(); ++c)
        data.cell(c, irow) = kMissing;
}

void PointEditor::addRecord()
{
    insertrow(1);
    clearMarks();
    state.RecordsAdded = true;
}

void PointEditor::deleteRecord(int row)
{
    if (row < 1 || row >= data.rowCount())
        return;  // the title row stays
    data.removeRow(row);
    clearMarks();
    state.RecordsDeleted = true;
}

void PointEditor::insertcol(int icol)
{
    data.insertColumn(icol);
    ++state.addedColumns;
    data.cell(icol, 0) = "data" + std::to_string(state.addedColumns);
    for (int r = 1; r < data.rowCount(); ++r)
        data.cell(icol, r) = kMissing;
}

void PointEditor::addColumn()
{
    insertcol(data.colCount());
    clearMarks();
    vulboxen();
    state.ColumnsAdded = true;
}

void PointEditor::deleteColumn(int col)
{
    if (col < 0 || col >= data.colCount() || data.colCount() <= 1)
        return;  // the table keeps at least one column
    data.removeColumn(col);
    clearMarks();
    vulboxen();
    state.ColumnsDeleted = true;
}

void PointEditor::replaceCommas()
{
    for (int r = 0; r < data.rowCount(); ++r)
        for (int c = 0; c < data.colCount(); ++c)
            for (char& ch : data.cell(c, r))
                if (ch == ',')
                    ch = '.';
    marks.commasReplaced = true;
    marks.saved = false;
}

void PointEditor::saveToFile(const WorkDir& dir, Feedback& feedback)
{
    const auto path = dir.path() / kSavedFileName;
    std::ofstream out = openForWriting(path);
    TextWriter w(out);
    const char sep = delimiter == kNoDelimiter ? ';' : delimiter;
    std::string line;
    for (int r = 0; r < data.rowCount(); ++r) {
        line.clear();
        for (int c = 0; c < data.colCount(); ++c) {
            line += data.cell(c, r);
            line += sep;
        }
        w.line(line);
    }
    out.flush();
    checkWritten(out, path);
    feedback.message(std::string("Current data set written to <") + kSavedFileName + ">");
    marks.saved = true;
}

void PointEditor::MaalMin1(int col)
{
    if (col < 0 || col >= data.colCount())
        return;
    for (int r = 0; r < data.rowCount(); ++r) {
        std::string& cell = data.cell(col, r);
        if (const auto value = parseReal(cell))
            cell = fixed(-*value, 10, 4);
    }
}

void PointEditor::multiplyColumnByMinusOne(int col)
{
    MaalMin1(col);
    marks.signFlipped = true;
    marks.saved = false;
}

int PointEditor::lastColumnTitled(const std::string& text) const
{
    int found = -1;
    for (int c = 0; c < data.colCount(); ++c)
        if (data.cell(c, 0) == text)
            found = c;
    return found;
}

void PointEditor::squareRootSd(Mxw m, Feedback& feedback)
{
    transformSd(m, true, feedback);
}

void PointEditor::squareSd(Mxw m, Feedback& feedback)
{
    transformSd(m, false, feedback);
}

void PointEditor::transformSd(Mxw m, bool squareRoot, Feedback& feedback)
{
    replaceCommas();
    const int col = lastColumnTitled(roleTexts[at(sdRole(m))]);
    // A root skips words and refuses negatives; a square refuses words.
    bool refused = false;
    if (col >= 0) {
        for (int r = 1; r < data.rowCount(); ++r) {
            std::string& cell = data.cell(col, r);
            const auto value = parseReal(cell);
            if (squareRoot) {
                if (!value)
                    continue;
                if (*value < 0)
                    refused = true;
                else
                    cell = fixed(std::sqrt(*value), 8, 3);
            } else if (value) {
                cell = fixed(*value * *value, 8, 3);
            } else {
                refused = true;
            }
        }
    }
    if (refused)
        feedback.message(squareRoot ? kNegativesNotConverted : kOnlyNumbersConverted);
    state.sqrtEnabled[m] = !squareRoot;
    state.squareEnabled[m] = squareRoot;
}

void PointEditor::applyMissingCode()
{
    for (int r = 1; r < data.rowCount(); ++r)
        for (int c = 0; c < data.colCount(); ++c)
            if (data.cell(c, r) == state.missingCode)
                data.cell(c, r) = kMissing;
    state.missingCode.clear();
}

bool PointEditor::missingCodePending() const
{
    if (state.missingCode.empty())
        return false;
    for (int r = 1; r < data.rowCount(); ++r)
        for (int c = 0; c < data.colCount(); ++c)
            if (data.cell(c, r) == state.missingCode)
                return true;
    return false;
}

void PointEditor::keyPressed()
{
    clearMarks();
    vulboxen();
}

std::vector<Mxw> PointEditor::CheckAdaptSign(const PointColumns& columns, Feedback& feedback)
{
    const auto limit = roundToInteger(data.rowCount() * 0.66);
    std::vector<Mxw> flagged;
    for (Mxw m : kAllMxw) {
        const int col = columns[mxwRole(m)];
        if (col < 0 || col >= data.colCount())
            continue;
        int count = 0;
        for (int r = 1; r < data.rowCount(); ++r)
            count += holdsHyphen(data.cell(col, r));
        if (count > limit)
            flagged.push_back(m);
    }
    if (flagged.empty())
        return flagged;
    std::string text;
    for (Mxw m : flagged)
        text += std::string("More than 2/3 of ") + mxwName(m) +
                " is less than 0\r\n";
    text += "Water table depths below surface must be positive values;\r\n"
            "therefore all abovementioned MxW will be multiplied by -1\r\n"
            "Consider recoding missing data (example: -9999 becomes +9999!).";
    feedback.message(text);
    for (Mxw m : flagged)
        MaalMin1(columns[mxwRole(m)]);
    return flagged;
}

std::vector<std::string> tempTxtLines(const PointColumns& columns, const PointDataSet& data)
{
    std::vector<std::string> lines;
    for (int role = 0; role < kPointRoleCount; ++role) {
        const int col = columns[role];
        if (col >= 0)
            lines.push_back(std::to_string(col) + " " + data.cell(col, 0));
        else
            lines.push_back(std::string("-1 no ") + kPointRoleNames[at(role)] + " found");
    }
    return lines;
}

PointColumns PointEditor::ready(const WorkDir& dir, Feedback& feedback)
{
    PointColumns columns;
    for (int role = 0; role < kPointRoleCount; ++role) {
        const std::string& text = roleTexts[at(role)];
        if (text.empty() && (role == kSTRATA || role == kX || role == kY))
            continue;
        for (int c = 0; c < data.colCount(); ++c)
            if (data.cell(c, 0) == text)
                columns[role] = c;
    }

    writeTextFile(dir.path() / "temp.txt", tempTxtLines(columns, data));

    CheckAdaptSign(columns, feedback);

    for (Mxw m : kAllMxw) {
        const int col = columns[sdRole(m)];
        if (col < 0)
            continue;
        for (int r = 0; r < data.rowCount(); ++r)
            if (holdsHyphen(data.cell(col, r)))
                data.cell(col, r) = kMissing;
    }
    writeSemicolonTable(dir.path() / "temp.csv", data);
    return columns;
}

bool ReCheck(const PerMxw<bool>& mxwChecked, const PerMxw<int>& sdColumns)
{
    bool any = false;
    for (Mxw m : kAllMxw) {
        if (!mxwChecked[m])
            continue;
        any = true;
        if (sdColumns[m] < 0)
            return false;
    }
    return any;
}

PointColumns readTempTxt(const WorkDir& dir)
{
    const auto path = dir.resolve("temp.txt");
    std::ifstream in = openForReading(path);
    PointColumns columns;
    std::string line;
    for (int role = 0; role < kPointRoleCount; ++role) {
        if (!readLine(in, line))
            throw IoError(path.string(), "fewer than nine column numbers");
        const auto value = leadingInteger(line);
        if (!value || *value < -1 || *value > 1'000'000)
            throw IoError(path.string(), "line " + std::to_string(role + 1) +
                                             " does not start with a column number");
        columns[role] = static_cast<int>(*value);
    }
    return columns;
}

}  // namespace tolvar
