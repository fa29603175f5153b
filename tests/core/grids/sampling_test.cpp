#include "grids/sampling.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

const char* kTempTxt = "3\r\n4\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n1\r\n2\r\n";

// Points listed south to north, two sharing a cell, one on cell boundaries,
// one east of the grid, one less than a cell west of it, one without X.
const char* kTempCsv =
    "ID;XCOORD;YCOORD;MHW;sdMHW;\r\n"
    "A;1005;2005;40;2;\r\n"
    "E;1040;2010;70;2;\r\n"
    "F;abc;2010;75;1;\r\n"
    "D;1010;2015;60;2;\r\n"
    "C;1012;2028;55;1;\r\n"
    "B;1015;2025;50;3;\r\n"
    "G;995;2005;45;2;\r\n";

const char* kStrata =
    "ncols 4\r\nnrows 3\r\nxllcorner 1000\r\nyllcorner 2000\r\ncellsize 10\r\nNODATA_value -9999\r\n"
    "1 1 2 2\r\n1 -9999 2 2\r\n3 3 3 3\r\n";
const char* kAux =
    "ncols 4\r\nnrows 3\r\nxllcorner 1000\r\nyllcorner 2000\r\ncellsize 10\r\nNODATA_value -9999\r\n"
    "1.5 2.5 3.5 4.5\r\n5.5 -9999 7.5 8.5\r\n9.5 10.5 11.5 12.5\r\n";

TEST(Sampling, SortsSamplesAndWritesDataAndScatterFiles)
{
    test::TempDir tmp;
    const WorkDir dir(tmp.path());
    tmp.write("temp.txt", kTempTxt);
    tmp.write("temp.csv", kTempCsv);
    tmp.write("strata.asc", kStrata);
    tmp.write("aux1.asc", kAux);

    Registry registry;
    registry.startUp();
    registry.attachBatchGrid(0, "strata.asc");
    registry.attachBatchGrid(1, "aux1.asc");
    GridPropsTable props;
    InitGridProps(props);
    test::RecordingFeedback fb;
    GroupMembershipTable membership;
    ASSERT_TRUE(checkGrids(dir, registry, props, membership, fb));

    SamplingState state;
    state.NoXY = SORTXY(dir, 1000, 2000, 10, state.SampleTable, state.columns);
    EXPECT_EQ(state.NoXY, 7);
    EXPECT_EQ(state.columns[kX], 0);
    EXPECT_EQ(state.columns[kY], 1);
    EXPECT_EQ(state.columns[kMHW], 5);
    EXPECT_EQ(state.columns[kSDMHW], 6);
    EXPECT_EQ(state.columns[kMSW], -1);
    EXPECT_TRUE(fs::exists(tmp / "temp.csv"));  // removed by the run once sampled
    EXPECT_TRUE(fs::exists(tmp / "temp.txt"));
    EXPECT_FALSE(fs::exists(tmp / "Sorted.csv"));

    sampleGrids(dir, registry, props, state, fb);
    EXPECT_EQ(state.FirstSampledColumn, 7);
    EXPECT_EQ(test::readFile(tmp / "data.csv"),
              "Xnew;Ynew;ID;XCOORD;YCOORD;MHW;sdMHW;strata.asc;aux1.asc;\r\n"
              "  1015.00;  2025.00;B;1015;2025;50;3;         1;     2.500;\r\n"
              "  1015.00;  2025.00;C;1012;2028;55;1;         1;     2.500;\r\n"
              "  1015.00;  2015.00;D;1010;2015;60;2;missing;missing;\r\n"
              "  1045.00;  2015.00;E;1040;2010;70;2;missing;missing;\r\n"
              "  1005.00;  2005.00;A;1005;2005;40;2;         3;     9.500;\r\n"
              "  1005.00;  2005.00;G;995;2005;45;2;         3;     9.500;\r\n"
              ";;F;abc;2010;75;1;missing;missing;\r\n");
    EXPECT_EQ(test::readFile(tmp / "scatterdat.txt"),
              "1\r\naux1.asc\r\n     2.500 \r\n     2.500 \r\n -999 \r\n -999 \r\n     9.500 \r\n"
              "     9.500 \r\n -999 \r\n");
    EXPECT_EQ(state.StrataCodes,
              (std::vector<std::string>{"         1", "         1", "         3", "         3"}));
    EXPECT_EQ(state.ranges[0].lo, 40.0);
    EXPECT_EQ(state.ranges[0].hi, 75.0);
    EXPECT_EQ(state.ranges[1].lo, 999.0);  // MSW has no column
    ASSERT_FALSE(fb.progressCalls.empty());
    EXPECT_EQ(fb.progressCalls.back().txt, "Searching aux.info for point-GxG");
}

std::string rowNumberedGrid(int ncols, int nrows, const char* nodata)
{
    std::string text = "ncols " + std::to_string(ncols) + "\r\nnrows " + std::to_string(nrows) +
                       "\r\nxllcorner 155000\r\nyllcorner 463000\r\ncellsize 25\r\nNODATA_value " +
                       nodata + "\r\n";
    for (int r = 1; r <= nrows; ++r) {
        for (int c = 1; c <= ncols; ++c)
            text += std::to_string(r * 100 + c) + " ";
        text += "\r\n";
    }
    return text;
}

TEST(Sampling, WorkedExampleReadsColumnTwoOfRowFortyOne)
{
    test::TempDir tmp;
    const WorkDir dir(tmp.path());
    tmp.write("temp.txt", "-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n1\r\n");
    tmp.write("temp.csv", "XCOORD;YCOORD;\r\n155030;463990;\r\n");
    tmp.write("g.asc", rowNumberedGrid(4, 80, "-9999"));
    TextTable table;
    PointColumns columns;
    ASSERT_EQ(SORTXY(dir, 155000, 463000, 25, table, columns), 1);
    EXPECT_EQ(table.cell(0, 1), "155037.50");
    EXPECT_EQ(table.cell(1, 1), "463987.50");
    AsciiGridSampler sampler(tmp / "g.asc", GridHeader{4, 80, 155000, 463000, 25, -9999});
    EXPECT_EQ(sampler.cellType(), 1);
    EXPECT_EQ(sampler.lookup(155037.5, 463987.5), 4102.0);
    EXPECT_EQ(sampler.lookup(155037.5, 463987.5), 4102.0);  // same cell: nothing read
    EXPECT_EQ(sampler.lookup(155087.5, 463012.5), 8004.0);
    EXPECT_EQ(sampler.lookup(155087.5, 462987.5), MissingValueCode);  // past the last row
}

TEST(Sampling, NodataZeroMarksNothingMissing)
{
    test::TempDir tmp;
    tmp.write("z.asc", "ncols 2\r\nnrows 1\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 1\r\n"
                       "NODATA_value 0\r\n0 -9995\r\n");
    AsciiGridSampler sampler(tmp / "z.asc", GridHeader{2, 1, 0, 0, 1, 0});
    const double z = sampler.lookup(0.5, 0.5);
    EXPECT_EQ(z, 0.0);
    EXPECT_EQ(sampledText(z, sampler.cellType()), "         0");
    EXPECT_EQ(sampler.lookup(1.5, 0.5), -9995.0);
    EXPECT_EQ(sampledText(1.5, 2), "     1.500");
    EXPECT_EQ(sampledText(MissingValueCode, 2), "missing");
}

}  // namespace
}  // namespace tolvar
