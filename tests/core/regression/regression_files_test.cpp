#include "common/io_error.h"
#include "common/text_file.h"
#include "regression/regression_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const fs::path& path)
{
    std::istringstream in(test::readFile(path));
    return readAllLines(in);
}

TEST(RunRegressionFile, WeightedTwoRegressorResultMatchesTheCheckedFile)
{
    test::TempDir dir;
    const std::string name = "1-MHW-g01h01-g02h02-gew.dat";
    fs::copy_file(test::dataFile("regression_k2_weighted.dat"), dir / name);
    ASSERT_TRUE(RunRegressionFile(dir.path(), name, true));
    EXPECT_EQ(test::readFile(dir / "1-MHW-g01h01-g02h02-gew.out"),
              test::readFile(test::dataFile("result_k2_weighted.out")));
}

TEST(RunRegressionFile, OneRegressorLayout)
{
    test::TempDir dir;
    dir.write("3-MSW-g01h01-gew.dat",
              "from: dem to: MSW (area:3, weighted)\r\n2 variables\r\ndem\r\nMSW\r\n"
              "3 observations\r\n1.5 20 3 \r\n2.5 31 4 \r\n4 39 2 \r\n");
    ASSERT_TRUE(RunRegressionFile(dir.path(), "3-MSW-g01h01-gew.dat", true));
    const auto lines = linesOf(dir / "3-MSW-g01h01-gew.out");
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[1], "Data file  : 3-MSW-g01h01-gew.dat");
    EXPECT_EQ(lines[2], "Study name : from: dem to: MSW (area:3, weighted)");
    EXPECT_EQ(lines[3], "x1         : dem");
    EXPECT_EQ(lines[4], "y          : MSW");
    EXPECT_EQ(lines[5], "Function   : y = b0 + b1.x1");
    EXPECT_EQ(lines[9].substr(0, 5), "   b0");
    EXPECT_EQ(lines[10].substr(0, 5), "   b1");
    EXPECT_EQ(lines[11], std::string(73, '-'));
    EXPECT_EQ(lines[12], "Number of observations            : n   =     3");
    EXPECT_EQ(lines[18], "Variance-Covariance Matrix of estimated parameters");
    EXPECT_EQ(lines[19], "              b0              b1");
    EXPECT_EQ(lines[21].size(), 32u);  // two 16-character covariance cells
    EXPECT_EQ(lines[22].size(), 32u);
    EXPECT_EQ(lines[24], "  i        Y obs.       Y calc.      Residual      Std.dev.      Std.res.");
    EXPECT_EQ(lines[26].substr(0, 17), "  1       20.0000");
    EXPECT_EQ(lines[29], std::string(73, '='));
}

TEST(RunRegressionFile, StatisticsLabelsAreFortyTwoCharacters)
{
    test::TempDir dir;
    std::string text = "t\r\n2 variables\r\nx\r\nMHW\r\n25 observations\r\n";
    for (int i = 1; i <= 25; ++i)
        text += std::to_string(i) + " " + std::to_string(3 * i + (i % 4)) + " \r\n";
    dir.write("a.dat", text);
    ASSERT_TRUE(RunRegressionFile(dir.path(), "a.dat", false));
    const auto lines = linesOf(dir / "a.out");
    EXPECT_EQ(lines[12], "Number of observations            : n   =    25");
    for (int i = 12; i <= 16; ++i)
        EXPECT_EQ(lines[i].find('=') + 2, 42u) << lines[i];
    EXPECT_EQ(lines[13].substr(0, 42), "Residual error                    : s   = ");
}

TEST(RunRegressionFile, PerfectFitWritesReadableTextsOnly)
{
    test::TempDir dir;
    dir.write("p.dat", "exact\r\n2 variables\r\nx\r\nMHW\r\n5 observations\r\n"
                       "1 5 \r\n2 8 \r\n3 11 \r\n4 14 \r\n5 17 \r\n");
    ASSERT_TRUE(RunRegressionFile(dir.path(), "p.dat", false));
    const std::string text = test::readFile(dir / "p.out");
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    const auto lines = linesOf(dir / "p.out");
    // No spread: the coefficients have no test, so their lines are short.
    EXPECT_EQ(lines[9], "   b0       2.00000000");
    EXPECT_EQ(lines[10], "   b1       3.00000000");
    EXPECT_EQ(lines[16], "Variance ratio (explained/resid.) : F   = 1.7977E+308    Prob(>F) = 0.0000");
    EXPECT_EQ(lines[26], "  1        5.0000        5.0000        0.0000        0.0000       missing");
}

TEST(RunRegressionFile, BadDataFilesRaiseIoErrorAndWriteNothing)
{
    struct Case {
        const char* name;
        const char* text;
        bool weighted;
    };
    std::string tooMany = "t\r\n2 variables\r\nx\r\nMHW\r\n8191 observations\r\n";
    std::string tooManyNames = "t\r\n502 variables\r\n";
    const Case cases[] = {
        {"one variable", "t\r\n1 variables\r\nMHW\r\n2 observations\r\n1 \r\n2 \r\n", false},
        {"no count", "t\r\nmany variables\r\n", false},
        {"non-number", "t\r\n2 variables\r\nx\r\nMHW\r\n3 observations\r\n1 2 \r\n2 x \r\n3 4 \r\n",
         false},
        {"missing word", "t\r\n2 variables\r\nx\r\nMHW\r\n3 observations\r\n1 2 \r\n2 missing \r\n3 4 \r\n",
         false},
        {"short line", "t\r\n2 variables\r\nx\r\nMHW\r\n3 observations\r\n1 2 \r\n2 3 \r\n3 4 \r\n",
         true},
        {"too few lines", "t\r\n2 variables\r\nx\r\nMHW\r\n4 observations\r\n1 2 \r\n2 3 \r\n", false},
        {"truncated header", "t\r\n3 variables\r\nx\r\n", false},
        {"fewer observations than coefficients",
         "t\r\n3 variables\r\na\r\nb\r\nMHW\r\n2 observations\r\n1 2 3 \r\n2 3 4 \r\n", false},
        {"too many observations", tooMany.c_str(), false},
        {"too many names", tooManyNames.c_str(), false},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        dir.write("bad.dat", c.text);
        EXPECT_THROW(RunRegressionFile(dir.path(), "bad.dat", c.weighted), IoError) << c.name;
        EXPECT_FALSE(fs::exists(dir / "bad.out")) << c.name;
    }
    test::TempDir empty;
    EXPECT_THROW(RunRegressionFile(empty.path(), "absent.dat", false), IoError);
}

TEST(ResultFileName, ReplacesTheExtension)
{
    EXPECT_EQ(resultFileName("3-MHW-g01h03-g02h07-gew.dat"), "3-MHW-g01h03-g02h07-gew.out");
    EXPECT_EQ(resultFileName("noext"), "noext.out");
}

const char* kSmallResult =
    "====\r\nheader\r\n  i        Y obs.       Y calc.\r\n----\r\n  1  1.0\r\n  2  2.0\r\n====\r\n";

TEST(AddXY2OUTFILE, AppendsCoordinatesToTheListing)
{
    test::TempDir dir;
    dir.write("r.out", kSmallResult);
    dir.write("XY.txt", "XCOORD YCOORD \r\n155000 463000 \r\n155025 463050 \r\n");
    AddXY2OUTFILE(dir.path(), "r.dat");
    EXPECT_EQ(test::readFile(dir / "r.out"),
              "====\r\nheader\r\n  i        Y obs.       Y calc. XCOORD YCOORD \r\n----\r\n"
              "  1  1.0 155000 463000 \r\n  2  2.0 155025 463050 \r\n==== \r\n");
    EXPECT_FALSE(fs::exists(dir / "XY.txt"));
    EXPECT_FALSE(fs::exists(dir / "AddXY.txt"));
}

TEST(AddXY2OUTFILE, WithoutCoordinateColumnsEveryTouchedLineGetsOneBlank)
{
    test::TempDir dir;
    dir.write("r.out", kSmallResult);
    dir.write("XY.txt", "\r\n\r\n\r\n");
    AddXY2OUTFILE(dir.path(), "r.dat");
    EXPECT_EQ(test::readFile(dir / "r.out"),
              "====\r\nheader\r\n  i        Y obs.       Y calc. \r\n----\r\n  1  1.0 \r\n  2  2.0 \r\n==== \r\n");
}

// The result text made in one pass with its coordinates equals the result
// lines with the coordinates appended afterwards, also when a name before the
// listing holds "Y obs." (the coordinate heads then go after that line).
TEST(ResultText, OnePassEqualsAppendingTheCoordinatesAfterwards)
{
    ResultContent r;
    r.studyName = "from: dem to: MHW (area:1, weighted)";
    r.yName = "MHW";
    r.k = 1;
    r.N = 3;
    r.B = {1.5, -0.25};
    r.SB = {0.1, 0.0};
    r.T = {15.0, 0.0};
    r.ProbT = {0.0001, 1.0};
    r.V = {0.01, 0.0, 0.0, 0.0};
    r.test = {2.25, 0.9, 0.8, 12.0, 0.03};
    r.Y = {10.0, 12.5, 9.0};
    r.Ycalc = {10.5, 12.0, 9.0};
    r.S = {1.5, 1.5, 0.0};
    const std::vector<std::vector<std::string>> coordinates = {{"X Y ", "1 2 ", "3 4 ", "5 6 "}, {}};
    for (const char* name : {"dem.asc", "Y obs.asc"})
        for (const auto& xy : coordinates) {
            r.names = {name};
            std::string expected;
            for (const std::string& line : appendCoordinates(resultLines("a.dat", r), xy))
                expected += line + "\r\n";
            EXPECT_EQ(resultTextWithCoordinates("a.dat", r, xy), expected) << name << xy.size();
        }
}

// Everything the program reads back from a written result: the figures, each
// coefficient's line and estimate, the covariance and the listing.
TEST(ReadResultFile, ReadsBackWhatTheWriterWrote)
{
    const ResultFile r = readResultFile(test::dataFile("result_k2_weighted.out"), 4);
    EXPECT_EQ(r.function, "Function   : y = b0 + b1.x1 + b2.x2");
    EXPECT_EQ(r.p, 3);
    EXPECT_EQ(r.N, 6);
    EXPECT_DOUBLE_EQ(r.s, 2.94993982);
    EXPECT_EQ(r.r2aLine, "Adjusted coeff. of determination  : r2a = 0.97970380");
    EXPECT_DOUBLE_EQ(r.estimates[0], 22.75431509);
    EXPECT_DOUBLE_EQ(r.estimates[2], 0.87630489);
    ASSERT_TRUE(r.parameterLines[1]);
    EXPECT_EQ(r.parameterLines[1]->substr(0, 21), "   b1      10.3228445");
    EXPECT_FALSE(r.parameterLines[3]);
    EXPECT_DOUBLE_EQ(r.varCov[1][1], 87.1401996);
    EXPECT_DOUBLE_EQ(r.varCov[2][3], 0.2253088);
    EXPECT_DOUBLE_EQ(r.varCov[3][1], -7.3023879);
    EXPECT_EQ(r.varCov[4][4], 0.0);
    ASSERT_EQ(r.observations.size(), 4u);  // as many as asked for
    EXPECT_EQ(r.observations[3].index, 4.0);
    EXPECT_EQ(r.observations[3].observed, 70.0);
    EXPECT_EQ(r.observations[3].predicted, 71.1438);
    EXPECT_EQ(readResultFile(test::dataFile("result_k2_weighted.out")).observations.size(), 0u);
}

// A cut-off or foreign file gives the not-found line and zeros, never more
// than it holds.
TEST(ReadResultFile, AFileWithoutItsSectionsGivesTheNotFoundLine)
{
    const std::vector<std::vector<std::string>> files = {
        {},
        {"Function   : y = b0 + b1.x1", "   b0", "Variance-Covariance Matrix of estimated parameters",
         "              b0              b1", "Std.res."},
        {"Number of observations            : n   = 12345678", "Residual error                    : s   = abc"},
    };
    for (const auto& lines : files) {
        const ResultFile r = readResultFile(lines, 100);
        EXPECT_TRUE(r.observations.empty());
        EXPECT_EQ(r.varCov[1][1], 0.0);
        EXPECT_EQ(r.estimates[0], 0.0);
        EXPECT_FALSE(r.parameterLines[0]);  // a bare name is no parameter line
        EXPECT_EQ(r.s, 0.0);
        EXPECT_EQ(r.r2Line, kNotFoundLine);
    }
    // The observations are the five characters the writer gives them.
    EXPECT_EQ(readResultFile(files[2]).N, 12345);
}

TEST(AddXY2OUTFILE, MissingResultDoesNothing)
{
    test::TempDir dir;
    dir.write("XY.txt", "X Y \r\n");
    AddXY2OUTFILE(dir.path(), "none.dat");
    EXPECT_TRUE(fs::exists(dir / "XY.txt"));
    EXPECT_FALSE(fs::exists(dir / "none.out"));
}

}  // namespace
}  // namespace tolvar
