#pragma once

#include "support/temp_dir.h"

#include <functional>
#include <string>
#include <vector>

namespace tolvar::test {

// Writes an ASCII grid of ncols x nrows cells of `cellsize` with its lower-left
// corner at (xll, yll); value(row, col) gives each cell's text (rows from the
// north, both from 1).
void writeGrid(const TempDir& dir, const std::string& name, int ncols, int nrows, double xll,
               double yll, double cellsize, const std::string& nodata,
               const std::function<std::string(int row, int col)>& value);

// One observation point of the working point files.
struct TestPoint {
    std::string id;
    double x, y;
    std::string mhw, sdmhw, msw, sdmsw;
};

// Writes temp.txt and temp.csv as "Ready!" does, for the columns
// ID;XCOORD;YCOORD;MHW;sdMHW;MSW;sdMSW.
void writePointFiles(const TempDir& dir, const std::vector<TestPoint>& points);

}  // namespace tolvar::test
