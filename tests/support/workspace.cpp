#include "support/workspace.h"

#include <sstream>

namespace tolvar::test {

void writeGrid(const TempDir& dir, const std::string& name, int ncols, int nrows, double xll,
               double yll, double cellsize, const std::string& nodata,
               const std::function<std::string(int row, int col)>& value)
{
    std::ostringstream out;
    out << "ncols " << ncols << "\r\nnrows " << nrows << "\r\nxllcorner " << xll
        << "\r\nyllcorner " << yll << "\r\ncellsize " << cellsize << "\r\nNODATA_value " << nodata
        << "\r\n";
    for (int r = 1; r <= nrows; ++r) {
        for (int c = 1; c <= ncols; ++c)
            out << value(r, c) << ' ';
        out << "\r\n";
    }
    dir.write(name, out.str());
}

void writePointFiles(const TempDir& dir, const std::vector<TestPoint>& points)
{
    dir.write("temp.txt", "3 MHW\r\n4 sdMHW\r\n5 MSW\r\n6 sdMSW\r\n-1 no MLW found\r\n"
                          "-1 no SDMLW found\r\n-1 no STRATA found\r\n1 XCOORD\r\n2 YCOORD\r\n");
    std::ostringstream csv;
    csv << "ID;XCOORD;YCOORD;MHW;sdMHW;MSW;sdMSW;\r\n";
    for (const TestPoint& p : points)
        csv << p.id << ';' << p.x << ';' << p.y << ';' << p.mhw << ';' << p.sdmhw << ';' << p.msw
            << ';' << p.sdmsw << ";\r\n";
    dir.write("temp.csv", csv.str());
}

}  // namespace tolvar::test
