#include "common/io_error.h"
#include "regression/regression_run.h"
#include "regression/no_regression.h"
#include "selection/select_best.h"
#include "support/recording_feedback.h"
#include "support/workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;


// A 10 x 10 area: stratum 1 in the west half, 2 in the east; two auxiliary
// grids; points at the centres of many cells.
struct RunCase {
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};
    std::vector<test::TestPoint> points;

    RunCase()
    {
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = 11;
        t.tm_mday = 8;
        state.log.open(tmp.path(), t);
        test::writeGrid(tmp, "strata.asc", 10, 10, 0, 0, 10, "-9999",
                        [](int, int c) { return c <= 5 ? "1" : "2"; });
        test::writeGrid(tmp, "dem.asc", 10, 10, 0, 0, 10, "-9999", [](int r, int c) {
            return std::to_string(r * 1.5 + c) + (r == 1 && c == 1 ? "" : "");
        });
        test::writeGrid(tmp, "soil.asc", 10, 10, 0, 0, 10, "-9999",
                        [](int r, int c) { return std::to_string((r * c) % 7); });
        for (int r = 1; r <= 10; ++r)
            for (int c = 1; c <= 10; c += 2) {
                const double x = c * 10 - 5, y = 105 - r * 10;
                const double mhw = 20 + 2 * (r * 1.5 + c) + ((r * c) % 7) + ((r + c) % 3) * 0.7;
                points.push_back({"P" + std::to_string(r) + "_" + std::to_string(c), x, y,
                                  std::to_string(mhw), std::to_string(1 + (r % 3)),
                                  std::to_string(mhw + 30), "2"});
            }
        state.registry.startUp();
        state.registry.addVariable(fb);  // two variables in two groups
        state.registry.attachBatchGrid(0, "strata.asc");
        state.registry.attachBatchGrid(1, "dem.asc");
        state.registry.attachBatchGrid(2, "soil.asc");
        InitGridProps(state.GridProps);
    }

    RegressionSettings settings(bool mhw, bool msw, bool weighted)
    {
        RegressionSettings s;
        s.mxwChecked = {mhw, msw, false};
        s.weighted = weighted;
        s.usedFile = "/data/points.csv";
        s.roleTexts = {"MHW", "sdMHW", "MSW", "sdMSW", "", "", "", "XCOORD", "YCOORD"};
        s.dateTimeText = "08-12-2026 09:05:07";
        return s;
    }

    RegressionOutcome run(const RegressionSettings& s)
    {
        test::writePointFiles(tmp, points);
        return runRegression(state, s);
    }

    std::string log() { return test::readFile(tmp / state.log.fileName()); }
    int observationsOf(const std::string& name)
    {
        return readResultFigures(test::readLines(tmp / name)).N;
    }
};

TEST(RunRegression, WholeRunLogsSettingsAndLeavesTheBestModels)
{
    RunCase run;
    run.state.SessionNumber = 3;
    RegressionSettings s = run.settings(true, true, true);
    s.edits.missingCode.clear();
    s.edits.ColumnsAdded = true;
    s.edits.sqrtEnabled[0] = false;  // the square root was applied to sdMHW
    const RegressionOutcome out = run.run(s);
    ASSERT_TRUE(out.completed);
    EXPECT_TRUE(out.orderCheckOffered);
    EXPECT_EQ(out.regressionsDone, 12);  // 2 strata x 2 MxW x 3 structures
    EXPECT_EQ(run.state.milestone, Mijlpaal::na_uitvoeren);
    EXPECT_EQ(run.state.structures,
              (std::vector<std::string>{"g01h01", "g01h01-g02h02", "g02h02"}));
    EXPECT_EQ(run.state.sampling.StrataCodes,
              (std::vector<std::string>{"         1", "         2"}));

    const std::string expectedLog =
        "Logfile of Tolvar at 08-12-2026 00h00m00s\r\n\r\n"
        "***************************\r\n"
        "****** NEW SESSION ******\r\n"
        "******** Session  3 ********\r\n"
        "*** 08-12-2026 09:05:07 ***\r\n"
        "***************************\r\n"
        "\r\n"
        "****** Session  3 READ DATA FROM PIEZOMETER REGRESSIONS ******\r\n"
        "Used file  : /data/points.csv\r\n"
        "                    Missing data were marked by user in this file.\r\n"
        "                    Collumns (variables) were addded to file by user!\r\n"
        "                    Title column MHW   : MHW\r\n"
        "                    Title column MSW   : MSW\r\n"
        "                    Title column sdMHW : sdMHW\r\n"
        "                    >> sdMHW replaced by its square root.\r\n"
        "                    Title column sdMSW : sdMSW\r\n"
        "                    No column with strata given.\r\n"
        "\r\n"
        "****** Session  3 SETTINGS REGRESSIONS WITH AUXILIARY DATA ******\r\n"
        "To predict    : MHW\r\n"
        "To predict    : MSW\r\n"
        "                    Regression with constant\r\n"
        "                    Type regression   : weighted regression\r\n"
        "\r\n"
        "Distribution aux.variables in groups: \r\n"
        "Aux.variable in dem.asc assigned to group 1\r\n"
        "Aux.variable in soil.asc assigned to group 2\r\n"
        "\r\n"
        "****** Session  3 RESULTS REGRESSIONS ******\r\n"
        "12 Regressions are done.\r\n"
        "Below an overview of regression that were NOT done:\r\n";
    EXPECT_EQ(run.log(), expectedLog);

    const WorkDir& dir = run.state.workDir;
    EXPECT_TRUE(dir.list("*.dat").empty());
    EXPECT_FALSE(dir.fileExists("XY.txt"));
    EXPECT_TRUE(dir.fileExists("data.csv"));
    EXPECT_TRUE(dir.fileExists("scatterdat.txt"));
    EXPECT_TRUE(dir.fileExists("hulpvargroups.txt"));
    EXPECT_TRUE(dir.fileExists("Selectie.txt"));
    for (const char* pair : {"1-MHW-", "1-MSW-", "2-MHW-", "2-MSW-"}) {
        int count = 0;
        for (const std::string& name : dir.list("*.out"))
            count += name.rfind(pair, 0) == 0;
        EXPECT_GE(count, 1) << pair;
    }
    // The data file's title, variables and coordinates reached the result file.
    const auto full = test::readLines(run.tmp / "1-MHW-g01h01-g02h02-gew.out");
    EXPECT_EQ(full[2], "Study name : from: dem.asc + soil.asc to: MHW (area:1, weighted)");
    EXPECT_EQ(full[3], "x1         : dem.asc");
    EXPECT_NE(full[27].find("Y calc."), std::string::npos);
    EXPECT_NE(full[27].find(" Xnew Ynew XCOORD YCOORD "), std::string::npos);
    EXPECT_EQ(out.outputNames[0].text, run.tmp.path().string() + "/MHW_R.asc");
    EXPECT_EQ(out.outputNames[4].text, "is not predicted");
    EXPECT_EQ(run.fb.progressCalls.back().txt, "Idle");
    EXPECT_EQ(run.fb.statusTexts.back().substr(0, 19), "searching the best ");
}

// A stratum fits whatever its number of records; the residual listing simply
// grows (the text data file once held at most 8190).
TEST(RunRegression, AStratumOfManyRecordsFitsLikeAnyOther)
{
    RunCase run;
    const std::vector<test::TestPoint> cells = run.points;
    run.points.clear();
    for (int i = 0; i < 9000; ++i) {
        test::TestPoint p = cells[static_cast<std::size_t>(i) % cells.size()];
        p.id = "Q" + std::to_string(i);
        p.mhw = std::to_string(std::stod(p.mhw) + (i % 13) * 0.37);
        run.points.push_back(p);
    }
    ASSERT_TRUE(run.run(run.settings(true, false, false)).completed);
    const auto lines = test::readLines(run.tmp / "1-MHW-g01h01-g02h02-ong.out");
    EXPECT_EQ(readResultFigures(lines).N, 5400);  // three fifths of the points lie in stratum 1
    EXPECT_EQ(lines.size(), 30u + 5400u);
    EXPECT_EQ(lines[lines.size() - 2].substr(0, 4), "5400");
}

// A run that fits no model says why, in a message and the log, and leaves
// the results tab and the mapping closed.
TEST(RunRegression, NoModelAtAllEndsWithTheReason)
{
    struct Case {
        const char* name;
        void (*spoil)(std::vector<test::TestPoint>&);
        std::string expected;
        bool weighted = false;
    };
    const Case cases[] = {
        {"decimal commas",
         [](std::vector<test::TestPoint>& points) {
             for (auto& p : points)
                 std::replace(p.mhw.begin(), p.mhw.end(), '.', ',');
         },
         std::string(kNoRegressionDone) + kNoNumericMxw + "MHW. " + kDecimalCommaAdvice},
        {"off the strata grid",
         [](std::vector<test::TestPoint>& points) {
             for (auto& p : points)
                 p.x += 1000;
         },
         std::string(kNoRegressionDone) + kNoPointOnStrata + kDecimalCommaAdvice},
        {"too few records", [](std::vector<test::TestPoint>& points) { points.resize(2); },
         std::string(kNoRegressionDone) + kTooFewEverywhere},
        // One cell would stop the run in its data file, so none is started.
        {"one decimal comma", [](std::vector<test::TestPoint>& points) { points[0].mhw = "24,5"; },
         std::string(kNoRegressionDone) + "the MHW column holds \"24,5\"" + kNotANumber +
             kDecimalCommaAdvice},
        {"weights read", [](std::vector<test::TestPoint>& points) { points[0].sdmhw = "1,5"; },
         std::string(kNoRegressionDone) + "the sdMHW column holds \"1,5\"" + kNotANumber +
             kDecimalCommaAdvice,
         true},
    };
    for (const Case& c : cases) {
        RunCase run;
        c.spoil(run.points);
        const RegressionOutcome out = run.run(run.settings(true, false, c.weighted));
        EXPECT_FALSE(out.completed) << c.name;
        ASSERT_EQ(run.fb.messages.size(), 1u) << c.name;
        EXPECT_EQ(run.fb.messages[0], c.expected) << c.name;
        EXPECT_NE(run.log().find(c.expected + "\r\n"), std::string::npos) << c.name;
        EXPECT_NE(run.state.milestone, Mijlpaal::na_uitvoeren) << c.name;
        EXPECT_EQ(run.fb.progressCalls.back().txt, "Idle") << c.name;
    }
}

// Weights that are never read do not stop an unweighted run; a point off the
// strata grid does not stop it either.
TEST(RunRegression, UnreadCellsDoNotStopTheRun)
{
    RunCase run;
    run.points[0].sdmhw = "1,5";
    run.points[1].mhw = "24,5";
    run.points[1].x += 1000;
    EXPECT_TRUE(run.run(run.settings(true, false, false)).completed);
    EXPECT_TRUE(run.fb.messages.empty());
}

TEST(RunRegression, TooFewRecordsAreLoggedInListOrder)
{
    RunCase run;
    run.points.resize(2);  // two records, both in stratum 1
    run.run(run.settings(true, true, false));
    const std::string log = run.log();
    const std::string expected =
        "Below an overview of regression that were NOT done:\r\n"
        "No regression on 1-MHW-g01h01-ong.dat (too few datapoints).\r\n"
        "No regression on 1-MHW-g01h01-g02h02-ong.dat (too few datapoints).\r\n"
        "No regression on 1-MHW-g02h02-ong.dat (too few datapoints).\r\n"
        "No regression on 1-MSW-g01h01-ong.dat (too few data points).\r\n";
    EXPECT_NE(log.find(expected), std::string::npos) << log;
    EXPECT_TRUE(run.state.workDir.list("*.out").empty());
    EXPECT_TRUE(run.state.workDir.list("*.dat").empty());
}

TEST(RunRegression, MissingValuesLeaveRecordsOutOnlyWhereUsed)
{
    RunCase run;
    // dem is missing at the first point's cell (row 1, column 1).
    test::writeGrid(run.tmp, "dem.asc", 10, 10, 0, 0, 10, "-9999", [](int r, int c) {
        return r == 1 && c == 1 ? std::string("-9999") : std::to_string(r * 1.5 + c);
    });
    run.points[1].sdmhw = "missing";  // a stratum-1 point without its sd
    run.run(run.settings(true, false, true));
    const int n = 30;  // points of stratum 1
    // Survivors of selection may vary; the full model always survives.
    EXPECT_EQ(run.observationsOf("1-MHW-g01h01-g02h02-gew.out"), n - 2);

    RunCase unweighted;
    unweighted.points[1].sdmhw = "missing";
    unweighted.run(unweighted.settings(true, false, false));
    EXPECT_EQ(unweighted.observationsOf("1-MHW-g01h01-g02h02-ong.out"), n);
}

TEST(RunRegression, RefusesToStartWithoutItsColumns)
{
    struct Case {
        const char* name;
        PerMxw<bool> mxw;
        const char* tempTxt;
        const char* start;
    };
    const Case cases[] = {
        {"no X", {true, false, false},
         "3\r\n4\r\n5\r\n6\r\n-1\r\n-1\r\n-1\r\n-1\r\n2\r\n", "The point data have no X column"},
        {"no Y", {true, false, false},
         "3\r\n4\r\n5\r\n6\r\n-1\r\n-1\r\n-1\r\n1\r\n-1\r\n", "The point data have no Y column"},
        {"no MxW checked", {false, false, false},
         "3\r\n4\r\n5\r\n6\r\n-1\r\n-1\r\n-1\r\n1\r\n2\r\n", "No MxW is checked"},
        {"no MLW column", {true, false, true},
         "3\r\n4\r\n5\r\n6\r\n-1\r\n-1\r\n-1\r\n1\r\n2\r\n", "The point data have no MLW column"},
    };
    for (const Case& c : cases) {
        RunCase run;
        test::writePointFiles(run.tmp, run.points);
        run.tmp.write("temp.txt", c.tempTxt);
        RegressionSettings s = run.settings(c.mxw[0], c.mxw[1], false);
        s.mxwChecked = c.mxw;
        const RegressionOutcome out = runRegression(run.state, s);
        EXPECT_FALSE(out.completed) << c.name;
        ASSERT_EQ(run.fb.messages.size(), 1u) << c.name;
        EXPECT_EQ(run.fb.messages[0].rfind(c.start, 0), 0u) << run.fb.messages[0];
        const std::string log = run.log();
        EXPECT_EQ(log.substr(log.size() - 31), "***************************\r\n\r\n") << c.name;
        EXPECT_TRUE(run.state.workDir.fileExists("temp.csv")) << c.name;
    }
}

TEST(RunRegression, MoreThanFiveHundredStrataWarnOnce)
{
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state(WorkDir(tmp.path()), fb);
    std::tm t{};
    state.log.open(tmp.path(), t);
    test::writeGrid(tmp, "strata.asc", 501, 1, 0, 0, 1, "-9999",
                    [](int, int c) { return std::to_string(c); });
    test::writeGrid(tmp, "a.asc", 501, 1, 0, 0, 1, "-9999", [](int, int c) { return std::to_string(c % 5); });
    std::vector<test::TestPoint> points;
    for (int c = 1; c <= 501; ++c)
        points.push_back({"p", c - 0.5, 0.5, "50", "1", "60", "1"});
    test::writePointFiles(tmp, points);
    state.registry.startUp();
    state.registry.attachBatchGrid(0, "strata.asc");
    state.registry.attachBatchGrid(1, "a.asc");
    RegressionSettings s;
    s.mxwChecked = {true, false, false};
    const RegressionOutcome out = runRegression(state, s);
    // One point per stratum fits no model: the run goes through every stratum
    // and then says so.
    EXPECT_FALSE(out.completed);
    EXPECT_EQ(fb.messages, (std::vector<std::string>{"Too many strata to make predictions",
                                                     std::string(kNoRegressionDone) + kTooFewEverywhere}));
    const std::string log = test::readFile(tmp / state.log.fileName());
    EXPECT_NE(log.find("Warning: Too many strata to make predictions\r\n501 Regressions are done."),
              std::string::npos);
    EXPECT_NE(log.find("No regression on 501-MHW-g01h01-ong.dat"), std::string::npos);
}

TEST(RunRegression, NamesAndTexts)
{
    EXPECT_EQ(regressionFileName("         3", "MHW", "g01h03-g02h07", true), "3-MHW-g01h03-g02h07-gew.dat");
    EXPECT_EQ(regressionFileName("5", "MSW", "g01h01", false), "5-MSW-g01h01-ong.dat");
    EXPECT_EQ(sessionText(3), "Session  3");
    EXPECT_EQ(sessionText(12), "Session 12");
    EXPECT_EQ(variableName("c:\\...\\elevation.asc"), "elevation.asc");
    EXPECT_EQ(variableName("dem.asc"), "dem.asc");
}

}  // namespace
}  // namespace tolvar
