#include "selection/model_table.h"
#include "selection/prune.h"
#include "selection/select_best.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

// A result file with only the lines selection reads: p from the formula, N and s.
std::string resultText(int k, int n, const std::string& s)
{
    std::string formula = "Function   : y = b0 + b1.x1";
    for (int j = 2; j <= k; ++j)
        formula += " + b" + std::to_string(j) + ".x" + std::to_string(j);
    std::string nText = std::to_string(n);
    return formula + "\r\n" + "Number of observations            : n   = " +
           std::string(5 - nText.size(), ' ') + nText + "\r\n" +
           "Residual error                    : s   = " + s + "\r\n";
}

struct Pair {
    test::TempDir tmp;
    WorkDir dir{tmp.path()};
    test::RecordingFeedback fb;
    void add(const std::string& name, int k, int n, const std::string& s)
    {
        tmp.write(name, resultText(k, n, s));
    }
    bool exists(const std::string& name) const { return fs::exists(tmp / name); }
    std::string select(int groups, const std::string& stratum, const std::string& gxg,
                       std::string best = "unchanged", double* cpOut = nullptr)
    {
        double cp = -1;
        SelectBest(dir, groups, stratum, gxg, best, cp, fb);
        if (cpOut)
            *cpOut = cp;
        return best;
    }
};

// Models not yet on disk are judged with the files of the pair: a survivor is
// written, a rejected one is not, and a file of the same name gives way.
TEST(SelectBest, PendingModelsAreJudgedWithTheFilesOfThePair)
{
    Pair p;
    p.add("1-MHW-g01h01-g02h02-gew.out", 2, 19, "1.00000000");  // full model, on disk
    p.add("1-MHW-g02h02-gew.out", 1, 19, "9.00000000");          // replaced by a pending one
    const auto figures = [](int k, int n, const std::string& s) {
        std::vector<std::string> lines;
        std::istringstream text(resultText(k, n, s));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line.substr(0, line.size() - 1));  // without the CR
        return readResultFigures(lines);
    };
    const std::vector<SelectionModel> pending = {
        {"1-MHW-g01h01-gew.out", figures(1, 19, "1.02000000")},  // Cp 2.7: survives
        {"1-MHW-g02h02-gew.out", figures(1, 19, "1.10000000")},  // Cp 5.6: rejected
    };
    std::vector<std::string> written;
    std::string best;
    double cp = 0;
    ASSERT_TRUE(SelectBest(p.dir, 2, "1", "MHW", best, cp, p.fb, pending,
                           [&](const std::string& name) { written.push_back(name); }));
    EXPECT_EQ(best, "1-MHW-g01h01-gew.out");
    EXPECT_EQ(written, std::vector<std::string>{"1-MHW-g01h01-gew.out"});
    EXPECT_TRUE(p.exists("1-MHW-g01h01-g02h02-gew.out"));
    EXPECT_FALSE(p.exists("1-MHW-g02h02-gew.out")) << "the file of a rejected model goes";
    const std::string selectie = test::readFile(p.tmp / "Selectie.txt");
    EXPECT_EQ(std::count(selectie.begin(), selectie.end(), '\n'), 2) << selectie;
}

TEST(SelectBest, FewestCoefficientsWithinTheCpLimitWin)
{
    Pair p;
    // Full model (2 variables): s = 1, N = 19, p = 3, Cp = 3.
    p.add("1-MHW-g01h01-g02h02-gew.out", 2, 19, "1.00000000");
    // p = 2: Cp = 17 (s^2 - 1) + 2.
    p.add("1-MHW-g01h01-gew.out", 1, 19, "1.04880884");  // Cp just below 3.7: candidate
    p.add("1-MHW-g02h02-gew.out", 1, 19, "1.04880900");  // Cp just above 3.7: deleted
    p.add("11-MHW-g01h01-gew.out", 1, 19, "9.00000000");  // stratum 11 is not stratum 1
    p.add("1-MSW-g01h01-gew.out", 1, 19, "9.00000000");   // another MxW
    double cp = 0;
    EXPECT_EQ(p.select(2, " 1", "MHW", "", &cp), "1-MHW-g01h01-gew.out");
    EXPECT_NEAR(cp, 3.7, 0.0005);
    EXPECT_FALSE(p.exists("1-MHW-g02h02-gew.out"));
    EXPECT_TRUE(p.exists("1-MHW-g01h01-g02h02-gew.out"));
    EXPECT_TRUE(p.exists("11-MHW-g01h01-gew.out"));
    EXPECT_TRUE(p.exists("1-MSW-g01h01-gew.out"));
    EXPECT_EQ(test::readFile(p.tmp / "Selectie.txt"),
              " 2      1.100      3.700    19       18.700  1-MHW-g01h01-gew.out\r\n"
              " 3      1.000      3.000    19       16.000  1-MHW-g01h01-g02h02-gew.out\r\n");
    EXPECT_EQ(test::readFile(p.tmp / "subsel.txt"),
              " 2      1.100      3.700    19       18.700 1-MHW-g01h01-gew.out\r\n");
    EXPECT_EQ(p.fb.statusTexts.back(), "searching the best regression model for stratum  1 en MHW");

    // A second call deletes nothing and chooses the same model.
    EXPECT_EQ(p.select(2, "1", "MHW", ""), "1-MHW-g01h01-gew.out");
    EXPECT_TRUE(p.exists("1-MHW-g01h01-g02h02-gew.out"));
}

TEST(SelectBest, TiesGoToTheLineThatSortsFirst)
{
    Pair p;
    p.add("2-MLW-g01h01-g02h03-ong.out", 2, 12, "2.00000000");
    p.add("2-MLW-g01h02-g02h03-ong.out", 2, 12, "2.00000010");  // same s^2 to 3 decimals
    EXPECT_EQ(p.select(2, "2", "MLW"), "2-MLW-g01h01-g02h03-ong.out");
}

TEST(SelectBest, NoFileLeavesTheNameAndWritesEmptyFiles)
{
    Pair p;
    double cp = 0;
    EXPECT_EQ(p.select(3, "7", "MHW", "unchanged", &cp), "unchanged");
    EXPECT_EQ(cp, -1);
    EXPECT_EQ(test::readFile(p.tmp / "Selectie.txt"), "");
    EXPECT_EQ(test::readFile(p.tmp / "subsel.txt"), "");
}

TEST(SelectBest, ExactFullModelKeepsOnlyExactFits)
{
    Pair p;
    p.add("1-MHW-g01h01-g02h02-gew.out", 2, 10, "0.00000000");
    p.add("1-MHW-g01h01-gew.out", 1, 10, "0.00000000");
    p.add("1-MHW-g02h02-gew.out", 1, 10, "0.50000000");
    double cp = 0;
    EXPECT_EQ(p.select(2, "1", "MHW", "", &cp), "1-MHW-g01h01-gew.out");
    EXPECT_EQ(cp, 2.0);
    EXPECT_FALSE(p.exists("1-MHW-g02h02-gew.out"));
    EXPECT_EQ(test::readFile(p.tmp / "Selectie.txt").find("nan"), std::string::npos);
}

TEST(SelectBest, FiguresAndHelpers)
{
    const auto lines = std::vector<std::string>{"Function   : y = b0 + b1.x1 + b2.x2 + b3.x3",
                                                "Number of observations            : n   =    25",
                                                "Residual error                    : s   = 2.50000000"};
    const ResultFigures f = readResultFigures(lines);
    EXPECT_EQ(f.p, 4);  // the constant counts
    EXPECT_EQ(f.N, 25);
    EXPECT_EQ(f.s, 2.5);
    const ResultFigures none = readResultFigures({});
    EXPECT_EQ(none.N, 0);
    EXPECT_EQ(none.s, 0.0);
    EXPECT_EQ(skip_until_line({"a", "bc"}, "x"), kNotFoundLine);
    EXPECT_EQ(variableCountOf("12-MHW-g01h01-g02h02-gew.out", "12"), 2);
    EXPECT_TRUE(belongsToPair("1-MHW-g01h01-gew.OUT", "1", "MHW"));
    EXPECT_FALSE(belongsToPair("11-MHW-g01h01-gew.out", "1", "MHW"));
    EXPECT_FALSE(belongsToPair("1-MHW-g01h01-gew.dat", "1", "MHW"));
}

std::string fullResult(const std::string& estimateB1)
{
    return "=====\r\n"
           "Function   : y = b0 + b1.x1 + b2.x2\r\n"
           "   b0       1.50000000       0.10000000            15.00           0.0000\r\n"
           "   b1" + estimateB1 + "       0.20000000             1.00           0.3000\r\n"
           "   b2      -0.25000000       0.05000000            -5.00           0.0010\r\n"
           "Number of observations            : n   =    30\r\n"
           "Residual error                    : s   = 2.00000000\r\n"
           "Variance-Covariance Matrix of estimated parameters\r\n"
           "              b0              b1              b2\r\n"
           "-----\r\n"
           "       0.0100000       0.0010000       0.0020000\r\n"
           "       0.0010000       0.0400000       0.0030000\r\n"
           "       0.0020000       0.0030000       0.0025000\r\n"
           "-----\r\n";
}

TEST(ModelTables, AddStructureReadsTheResultFile)
{
    test::TempDir tmp;
    const WorkDir dir(tmp.path());
    test::RecordingFeedback fb;
    tmp.write("12-MSW-g01h03-g04h07-gew.out", fullResult("       0.20000000"));
    ModelTables tables;
    tables.add_structure(dir, "12-MSW-g01h03-g04h07-gew.out", "12", "MSW", fb);
    const Tmodel* m = tables.lookup(Mxw::MSW, "12");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->P, 3);
    EXPECT_EQ(m->N, 30);
    EXPECT_EQ(m->MSRes, 4.0);
    EXPECT_EQ(m->Coef[0], 1.5);
    EXPECT_EQ(m->Coef[1], 0.2);
    EXPECT_EQ(m->Coef[2], -0.25);
    EXPECT_EQ(m->Coef[3], 0.0);
    EXPECT_EQ(m->VarCov[1][1], 0.01);
    EXPECT_EQ(m->VarCov[2][3], 0.003);
    EXPECT_EQ(m->VarCov[3][3], 0.0025);
    EXPECT_EQ(m->VarCov[0][0], 0.0);
    EXPECT_EQ(m->WelkeAhnplus[1], 3);
    EXPECT_EQ(m->WelkeAhnplus[4], 7);
    EXPECT_EQ(m->WelkeAhnplus[2], -1);
    EXPECT_EQ(tables.lookup(Mxw::MHW, "12"), nullptr);  // another MxW
    EXPECT_EQ(tables.lookup(Mxw::MSW, "1"), nullptr);

    // An estimate that fills its whole field is read whole, sign included.
    tmp.write("3-MHW-g01h01-g02h02-gew.out", fullResult("-1234567.12345678"));
    tables.add_structure(dir, "3-MHW-g01h01-g02h02-gew.out", "3", "MHW", fb);
    EXPECT_EQ(tables.lookup(Mxw::MHW, "3")->Coef[1], -1234567.12345678);
    EXPECT_EQ(tables.lookup(Mxw::MHW, "3")->Coef[2], -0.25);
}

TEST(ModelTables, FiveHundredModelsPerTableAndLastMatchWins)
{
    test::RecordingFeedback fb;
    ModelTables tables;
    for (int i = 0; i < 500; ++i)
        tables.addNoModel(std::to_string(i), "MLW", fb);
    EXPECT_TRUE(fb.messages.empty());
    tables.addNoModel("extra", "MLW", fb);
    EXPECT_EQ(fb.messages, (std::vector<std::string>{"Number of strata too large; new are ignored"}));
    EXPECT_EQ(tables.table(Mxw::MLW).size(), 500u);
    EXPECT_EQ(tables.lookup(Mxw::MLW, "extra"), nullptr);
    ASSERT_NE(tables.lookup(Mxw::MLW, "499"), nullptr);
    EXPECT_FALSE(tables.lookup(Mxw::MLW, "499")->hasModel);
    tables.clear();
    EXPECT_TRUE(tables.table(Mxw::MLW).empty());
}

TEST(Prune, RejectAndDeleteNonBestLeaveOneFilePerPair)
{
    Pair p;
    test::TempDir logDir;
    SessionLog log;
    std::tm t{};
    t.tm_year = 126;
    t.tm_mday = 1;
    log.open(logDir.path(), t);
    EXPECT_FALSE(rejectBest(p.dir, "", log));  // nothing shown: nothing deleted

    p.add("1-MHW-g01h01-g02h02-gew.out", 2, 19, "1.00000000");
    p.add("1-MHW-g01h01-gew.out", 1, 19, "1.01000000");
    p.add("1-MHW-g02h02-gew.out", 1, 19, "1.02000000");
    p.add("2-MHW-g01h01-gew.out", 1, 19, "1.02000000");
    p.add("2-MHW-g01h01-g02h02-gew.out", 2, 19, "1.00000000");
    p.tmp.write("1-MHW-g01h01-gew.wmf", "picture");
    p.tmp.write("1-MHW.wmf", "best picture");
    const std::string best = p.select(2, "1", "MHW", "");
    ASSERT_EQ(best, "1-MHW-g01h01-gew.out");
    EXPECT_TRUE(rejectBest(p.dir, best, log));
    EXPECT_FALSE(p.exists("1-MHW-g01h01-gew.out"));
    EXPECT_FALSE(p.exists("1-MHW-g01h01-gew.wmf"));
    EXPECT_FALSE(p.exists("1-MHW.wmf"));
    EXPECT_NE(test::readFile(logDir / log.fileName()).find("1-MHW-g01h01-gew.out best regression rejected by user.\r\n"),
              std::string::npos);
    EXPECT_EQ(p.select(2, "1", "MHW", ""), "1-MHW-g02h02-gew.out");

    DeleteNonBest(p.dir, 2, {"         1", "         2"}, {true, false, false}, p.fb);
    EXPECT_EQ(p.dir.list("*.out"), (std::vector<std::string>{"1-MHW-g02h02-gew.out", "2-MHW-g01h01-gew.out"}));
    EXPECT_EQ(p.fb.progressCalls.back().txt, "% strata best model");
    EXPECT_EQ(p.fb.progressCalls.back().actueel, 2);
}

// A negative stratum code: reject removes the pictures of that pair only,
// and pruning keeps the best of each pair.
TEST(Prune, NegativeStratumKeepsItsPictureNames)
{
    Pair p;
    test::TempDir logDir;
    SessionLog log;
    std::tm t{};
    log.open(logDir.path(), t);
    p.add("-3-MSW-g01h01-gew.out", 1, 19, "1.00000000");
    p.add("-3-MSW-g02h02-gew.out", 1, 19, "1.01000000");
    p.add("-3-MSW-g01h01-g02h02-gew.out", 2, 19, "1.02000000");
    p.add("3-MSW-g01h01-gew.out", 1, 19, "1.00000000");
    for (const char* picture : {"-3-MSW-g01h01-gew.wmf", "-3-MSW.wmf", "3-MSW.wmf"})
        p.tmp.write(picture, "picture");
    const std::string best = p.select(2, "-3", "MSW", "");
    ASSERT_EQ(best, "-3-MSW-g01h01-gew.out");
    EXPECT_TRUE(rejectBest(p.dir, best, log));
    EXPECT_FALSE(p.exists("-3-MSW-g01h01-gew.wmf"));
    EXPECT_FALSE(p.exists("-3-MSW.wmf"));
    EXPECT_TRUE(p.exists("3-MSW.wmf"));

    p.tmp.write("-3-MSW-g01h01-g02h02-gew.wmf", "picture");
    DeleteNonBest(p.dir, 2, {"-3", "3"}, {false, true, false}, p.fb);
    EXPECT_EQ(p.dir.list("*.out"), (std::vector<std::string>{"-3-MSW-g02h02-gew.out", "3-MSW-g01h01-gew.out"}));
    EXPECT_FALSE(p.exists("-3-MSW-g01h01-g02h02-gew.wmf"));
}

}  // namespace
}  // namespace tolvar
