#pragma once

#include "common/feedback.h"
#include "common/work_dir.h"
#include "pointdata/point_columns.h"
#include "pointdata/point_data_set.h"

#include <array>
#include <string>
#include <vector>

namespace tolvar {

// What the editor records of the edits made since it opened; the regression
// run writes it to the session log.
struct PointEditState {
    bool RecordsAdded = false;
    bool RecordsDeleted = false;
    bool ColumnsAdded = false;
    bool ColumnsDeleted = false;
    // Per sd role (sdMHW, sdMSW, sdMLW): which transform button is enabled.
    PerMxw<bool> sqrtEnabled{true, true, true};
    PerMxw<bool> squareEnabled{true, true, true};
    // The text of the missing-data code field; empty once "apply" was used.
    std::string missingCode = "-9999";
    int addedColumns = 0;
};

// Check marks of three popup-menu items, indicators only.
struct PointMenuMarks {
    bool commasReplaced = false;
    bool saved = false;
    bool signFlipped = false;  // never cleared while the program runs
};

inline constexpr const char* kSavedFileName = "PointMxW Saved.csv";

// The point-data editor without its widgets: the table, the column proposal
// and every operation of the window.
class PointEditor {
public:
    PointDataSet data;
    PointEditState state;
    PointMenuMarks marks;
    // The texts of the nine role lists (MHW, SDMHW, ..., Y) and their items.
    std::array<std::string, kPointRoleCount> roleTexts{};
    std::vector<std::string> listItems;
    char delimiter = ';';
    std::string sourceFile;  // the file chosen last in the open dialog

    // Each time the window opens: edit record reset, table kept.
    void open();
    // Reads a file with the chosen delimiter and proposes the column roles.
    void read(const std::filesystem::path& file, char chosenDelimiter, bool collapse);

    // vulboxen: the lists get every title; the leftmost matching title wins a role.
    void vulboxen();

    void insertrow(int irow);
    void addRecord();
    void deleteRecord(int row);
    void insertcol(int icol);
    void addColumn();
    void deleteColumn(int col);
    void replaceCommas();
    void saveToFile(const WorkDir& dir, Feedback& feedback);
    void multiplyColumnByMinusOne(int col);
    // The square-root and square buttons of sd role m (0 sdMHW, 1 sdMSW, 2 sdMLW).
    void squareRootSd(Mxw m, Feedback& feedback);
    void squareSd(Mxw m, Feedback& feedback);
    // "apply": every record cell equal to the code becomes "missing".
    void applyMissingCode();
    // Whether the code in the field was typed but not applied: it is not empty
    // and some record cell still holds it (it would enter the regressions as data).
    bool missingCodePending() const;
    // Any key pressed in the table: marks cleared, proposal renewed.
    void keyPressed();

    // "Ready!": fixes the column roles, writes temp.txt, runs the sign check and
    // writes temp.csv. Throws IoError when a file cannot be written.
    PointColumns ready(const WorkDir& dir, Feedback& feedback);

    // MaalMin1: negates every cell of the column that is a number.
    void MaalMin1(int col);
    // The sign check of the MxW columns; returns the flagged MxW (0..2).
    std::vector<Mxw> CheckAdaptSign(const PointColumns& columns, Feedback& feedback);

private:
    // The square root (true) or the square of the sd column of MxW m.
    void transformSd(Mxw m, bool squareRoot, Feedback& feedback);
    void clearMarks();
    int lastColumnTitled(const std::string& text) const;
};

// The nine lines of temp.txt for these columns and titles.
std::vector<std::string> tempTxtLines(const PointColumns& columns, const PointDataSet& data);

// ReCheck: weighted regression is offered when at least one MxW is checked
// and every checked MxW has its sd column.
bool ReCheck(const PerMxw<bool>& mxwChecked, const PerMxw<int>& sdColumns);

// The nine column indices of temp.txt: the leading integer of each line.
PointColumns readTempTxt(const WorkDir& dir);

}  // namespace tolvar
