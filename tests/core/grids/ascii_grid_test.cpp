#include "common/io_error.h"
#include "grids/ascii_grid.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tolvar {
namespace {

using Lines = std::array<std::string, 6>;

TEST(GridHeaderReading, KeysInAnyOrderAndEitherSpelling)
{
    Lines lines = {"NCOLS 100", "nrows 80", "XLLCORNER 155000", "yllcorner 463000", "cellsize 25",
                   "NODATA_VALUE -9999"};
    const GridHeader expected{100, 80, 155000.0, 463000.0, 25.0, -9999.0};
    std::sort(lines.begin(), lines.end());
    do {
        EXPECT_EQ(requireCompleteHeader(parseGridHeaderLines(lines), "g.asc"), expected);
    } while (std::next_permutation(lines.begin(), lines.end()));
}

TEST(GridHeaderReading, BlanksAreRemovedButTabsAreNot)
{
    const RawGridHeader raw = parseGridHeaderLines(
        {"   ncols     100", "nrows\t80", "xllcenter 155000", "Ncols 3", "cellsize 2 5",
         "NODATA_value -9999.5"});
    EXPECT_EQ(raw.ncols, 100);        // blanks before and between
    EXPECT_FALSE(raw.nrows);          // a tab makes the value unreadable
    EXPECT_FALSE(raw.xllcorner);      // the cell-centre key is not accepted
    EXPECT_FALSE(raw.yllcorner);      // absent
    EXPECT_EQ(raw.cellsize, 25.0);    // "2 5" loses its blank
    EXPECT_EQ(raw.nodata, -9999.5);   // real because of its point
}

TEST(GridHeaderReading, WrongLetterCasesAreNotRecognised)
{
    const RawGridHeader raw = parseGridHeaderLines(
        {"Ncols 10", "nRows 10", "XllCorner 1", "YLLcorner 1", "CellSize 1", "nodata_value 0"});
    EXPECT_FALSE(raw.ncols);
    EXPECT_FALSE(raw.nrows);
    EXPECT_FALSE(raw.xllcorner);
    EXPECT_FALSE(raw.yllcorner);
    EXPECT_FALSE(raw.cellsize);
    EXPECT_FALSE(raw.nodata);
}

TEST(GridHeaderReading, IntegerKeysRefuseFractions)
{
    const RawGridHeader raw = parseGridHeaderLines(
        {"ncols 10.5", "nrows 7", "xllcorner 0", "yllcorner 0", "cellsize 1", "NODATA_value -1e30"});
    EXPECT_FALSE(raw.ncols);
    EXPECT_EQ(raw.nrows, 7);
    EXPECT_FALSE(raw.nodata);  // no point, so read as an integer, which fails
}

TEST(GridHeaderReading, AnIncompleteHeaderNamesTheKeyAndTheFile)
{
    struct Case {
        Lines lines;
        const char* key;
    };
    const Case cases[] = {
        {{"nrows 2", "xllcorner 0", "yllcorner 0", "cellsize 1", "NODATA_value 0", "1 2"}, "ncols"},
        {{"ncols 2", "nrows 2", "xllcenter 0", "yllcorner 0", "cellsize 1", "NODATA_value 0"},
         "xllcorner"},
        {{"ncols 2", "nrows 2", "xllcorner 0", "yllcorner y", "cellsize 1", "NODATA_value 0"},
         "yllcorner"},
        {{"ncols 2", "nrows 2", "xllcorner 0", "yllcorner 0", "cellsize 0", "NODATA_value 0"},
         "cellsize"},
        {{"ncols 2", "nrows -2", "xllcorner 0", "yllcorner 0", "cellsize 1", "NODATA_value 0"},
         "nrows"},
        {{"ncols 2", "nrows 2", "xllcorner 0", "yllcorner 0", "cellsize 1", ""}, "NODATA_value"},
    };
    for (const Case& c : cases) {
        try {
            requireCompleteHeader(parseGridHeaderLines(c.lines), "dem.asc");
            ADD_FAILURE() << "accepted a header without " << c.key;
        } catch (const IoError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find("dem.asc"), std::string::npos) << text;
            EXPECT_NE(text.find(c.key), std::string::npos) << text;
        }
    }
}

TEST(GridHeaderReading, ShortFileReadsEmptyLines)
{
    std::istringstream in("ncols 2\r\nnrows 2\r\n");
    EXPECT_THROW(readGridHeader(in, "short.asc"), IoError);
}

TEST(GridCells, ValueTypeFromTheFirstValueLine)
{
    EXPECT_EQ(cellTypeFromLine("1 2 3"), 1);
    EXPECT_EQ(cellTypeFromLine("1.0 2 3"), 2);
    EXPECT_EQ(cellTypeFromLine("-9999 -9999 4."), 2);
}

TEST(GridCells, MissingTestUsesAnOpenBandAroundNodata)
{
    EXPECT_TRUE(isMissingSample(-9999, -9999));
    EXPECT_TRUE(isMissingSample(-9995, -9999));
    EXPECT_FALSE(isMissingSample(-9989, -9999));  // just outside 0.999 x NODATA
    EXPECT_FALSE(isMissingSample(-9988.9, -9999));
    EXPECT_FALSE(isMissingSample(0, 0));  // NODATA_value 0 marks nothing missing
    EXPECT_TRUE(isMissingSample(9999, 9999));
    EXPECT_TRUE(between(2, 3, 1));
    EXPECT_FALSE(between(3, 3, 1));
    EXPECT_FALSE(between(1, 3, 1));
}

TEST(GridValueReader, ReadsRowsAndSkipsTheRestOfALine)
{
    std::istringstream in(
        "ncols 3\r\nnrows 2\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 1\r\nNODATA_value -9999\r\n"
        " 1\t2  3 99\r\n4.5 -9999 6\n");
    GridValueReader reader(in, "g.asc");
    reader.skipHeader();
    EXPECT_EQ(reader.readValue(), 1.0);
    EXPECT_EQ(reader.readValue(), 2.0);
    EXPECT_EQ(reader.readValue(), 3.0);
    reader.skipLine();  // leaves the extra 99 behind
    EXPECT_EQ(reader.readValue(), 4.5);
    EXPECT_EQ(reader.readValue(), -9999.0);
    EXPECT_EQ(reader.readValue(), 6.0);
    EXPECT_FALSE(reader.readValue());
    EXPECT_TRUE(reader.atEnd());
}

TEST(GridValueReader, NonNumberIsInvalidNumericFormat)
{
    std::istringstream in("1 2 x3\r\n");
    GridValueReader reader(in, "bad.asc");
    EXPECT_EQ(reader.readValue(), 1.0);
    EXPECT_EQ(reader.readValue(), 2.0);
    try {
        reader.readValue();
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(e.reason(), "Invalid numeric format");
        EXPECT_EQ(e.fileName(), "bad.asc");
    }
}

TEST(GridValueReader, ValuesAcrossBufferBoundaries)
{
    // More than one read buffer of values, so tokens straddle refills.
    std::string text;
    const int count = 300000;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + (i % 17 == 16 ? "\r\n" : " ");
    std::istringstream in(text);
    GridValueReader reader(in, "big.asc");
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(reader.readValue(), static_cast<double>(i));
    EXPECT_FALSE(reader.readValue());
}

TEST(GridWriting, HeaderTakesTheFixedForm)
{
    const GridHeader header{100, 80, 155000.0, 463000.0, 25.0, -9999.0};
    std::ostringstream out;
    GridWriter writer(out);
    writer.writeHeader(header);
    writer.writeValue("12");
    writer.writeValue("-9999");
    writer.endRow();
    writer.writeValue("7");
    writer.endRow();
    EXPECT_EQ(out.str(),
              "ncols         100\r\n"
              "nrows         80\r\n"
              "xllcorner     155000.000\r\n"
              "yllcorner     463000.000\r\n"
              "cellsize          25.000\r\n"
              "NODATA_value       -9999\r\n"
              "12 -9999 \r\n"
              "7 \r\n");
}

TEST(GridWriting, LongValuesAreWrittenInFull)
{
    const auto lines = formatHeaderLines(GridHeader{1, 1, 1234567.5, 0.0, 0.5, -3.6});
    EXPECT_EQ(lines[2], "xllcorner     1234567.500");
    EXPECT_EQ(lines[3], "yllcorner          0.000");
    EXPECT_EQ(lines[4], "cellsize           0.500");
    EXPECT_EQ(lines[5], "NODATA_value          -4");
}

TEST(GridWriting, WrittenGridReadsBack)
{
    const GridHeader header{3, 2, 155000.125, 463000.0, 25.0, -9999.0};
    std::ostringstream out;
    GridWriter(out).writeHeader(header);
    std::istringstream in(out.str());
    const GridHeader back = readGridHeader(in, "back.asc");
    EXPECT_EQ(back.ncols, 3);
    EXPECT_EQ(back.nrows, 2);
    EXPECT_DOUBLE_EQ(back.xllcorner, 155000.125);
    EXPECT_EQ(back.nodata, -9999.0);
}

TEST(GridHeaderFile, MissingFileRaisesIoError)
{
    test::TempDir dir;
    EXPECT_THROW(readGridHeaderFile(dir / "none.asc"), IoError);
    dir.write("ok.asc", "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n5\n");
    EXPECT_EQ(readGridHeaderFile(dir / "ok.asc").ncols, 1);
}

}  // namespace
}  // namespace tolvar
