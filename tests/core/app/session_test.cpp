#include "app/session.h"
#include "support/faults.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

std::string resultText(int k, const std::string& s)
{
    std::string formula = "Function   : y = b0 + b1.x1";
    if (k == 2)
        formula += " + b2.x2";
    return formula + "\r\nNumber of observations            : n   =    19\r\n"
                     "Residual error                    : s   = " + s + "\r\n";
}

struct Session {
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};

    bool has(const std::string& path) const { return fs::exists(tmp / path); }
    std::vector<std::string> archived(const std::string& dir) const
    {
        return WorkDir(tmp / dir).list("*");
    }
};

TEST(StartUp, CleanDirectoryGivesOneVariableInOneGroup)
{
    Session s;
    startUp(s.state);
    EXPECT_EQ(s.state.SessionNumber, 1);
    EXPECT_FALSE(s.has("session0"));
    EXPECT_EQ(s.state.registry.AuxVarCount, 1);
    EXPECT_EQ(s.state.registry.GroupCount, 1);
    EXPECT_EQ(s.fb.progressCalls.back().txt, "Idle");
    EXPECT_EQ(s.fb.statusTexts.back(), "New session = session1.zip");
    EXPECT_EQ(s.fb.milestones.back(), Mijlpaal::na_start);
    const std::string log = test::readFile(s.tmp / s.state.log.fileName());
    EXPECT_EQ(log, "Logfile of " + s.state.log.fileName().substr(0, s.state.log.fileName().size() - 4) +
                       "\r\n\r\n");
    EXPECT_EQ(s.state.sampling.ranges[0].lo, 999.0);
}

TEST(StartUp, LeftoversGoToSessionZeroAndInputGridsStay)
{
    Session s;
    for (const char* name : {"1-MHW-g01h01-gew.out", "x.DAT", "1-MHW.wmf", "Tolvar at old.log",
                             "Session 1 normres.csv", "dem.asc", "MHW_R.asc", "SDMHW_R.asc",
                             "pred_mhw.asc", "temp.txt", "data.csv"})
        s.tmp.write(name, name);
    startUp(s.state);
    // The running log is copied too, as far as it has been written.
    std::vector<std::string> archived = s.archived("session0");
    const auto running = std::find(archived.begin(), archived.end(), s.state.log.fileName());
    ASSERT_NE(running, archived.end());
    archived.erase(running);
    EXPECT_EQ(archived,
              (std::vector<std::string>{"1-MHW-g01h01-gew.out", "1-MHW.wmf", "dem.asc", "MHW_R.asc",
                                        "pred_mhw.asc", "SDMHW_R.asc", "Session 1 normres.csv",
                                        "Tolvar at old.log", "x.DAT"}));
    for (const char* gone : {"1-MHW-g01h01-gew.out", "x.DAT", "1-MHW.wmf", "Tolvar at old.log",
                             "Session 1 normres.csv", "MHW_R.asc", "SDMHW_R.asc"})
        EXPECT_FALSE(s.has(gone)) << gone;
    // Input grids are copied and kept; the containment test is case-sensitive.
    for (const char* kept : {"dem.asc", "pred_mhw.asc", "temp.txt", "data.csv"})
        EXPECT_TRUE(s.has(kept)) << kept;
    EXPECT_TRUE(s.has(s.state.log.fileName()));  // the running log stays
    EXPECT_EQ(s.state.SessionNumber, 1);
    EXPECT_NE(std::find(s.fb.statusTexts.begin(), s.fb.statusTexts.end(),
                        "Please wait; old files found; storing ..."),
              s.fb.statusTexts.end());
}

TEST(StartUp, LaterRunsNeverReplaceEarlierArchives)
{
    Session s;
    fs::create_directory(s.tmp / "session0");
    s.tmp.write("session0/old.out", "first run");
    fs::create_directory(s.tmp / "session1");
    s.tmp.write("session2.zip", "marker");
    s.tmp.write("a.out", "second run");
    startUp(s.state);
    EXPECT_EQ(test::readFile(s.tmp / "session0" / "old.out"), "first run");
    EXPECT_TRUE(s.has("session0-1/a.out"));
    EXPECT_EQ(s.state.SessionNumber, 3);
    EXPECT_EQ(s.fb.statusTexts.back(), "New session = session3.zip");

    s.tmp.write("b.out", "third run");
    Session third;
    fs::remove_all(third.tmp.path());
    fs::copy(s.tmp.path(), third.tmp.path(), fs::copy_options::recursive);
    fs::remove(third.tmp / s.state.log.fileName());
    startUp(third.state);
    EXPECT_TRUE(third.has("session0-2/b.out"));
    EXPECT_TRUE(third.has("session0-1/a.out"));
}

TEST(Closure, OneStratumArchivesEverythingWithoutAsking)
{
    Session s;
    startUp(s.state);
    s.state.sampling.StrataCodes = {"         1"};
    s.state.pointDataSourceFile = (s.tmp / "source" / "points.csv").string();
    fs::create_directory(s.tmp / "source");
    s.tmp.write("source/points.csv", "ID;X;Y\r\n");
    for (const char* name : {"1-MHW-g01h01-gew.out", "data.csv", "XY.txt", "Selectie.txt",
                             "hulpvargroups.txt", "subsel.txt", "scatterdat.txt", "sorted.csv"})
        s.tmp.write(name, name);
    closeProgram(s.state);
    EXPECT_TRUE(s.fb.archiveQuestions.empty());
    EXPECT_TRUE(s.has("session1/1-MHW-g01h01-gew.out"));
    EXPECT_TRUE(s.has("session1/points.csv"));
    EXPECT_TRUE(s.has("session1/" + s.state.log.fileName()));
    for (const char* gone : {"data.csv", "XY.txt", "Selectie.txt", "hulpvargroups.txt",
                             "subsel.txt", "scatterdat.txt", "1-MHW-g01h01-gew.out"})
        EXPECT_FALSE(s.has(gone)) << gone;
    EXPECT_TRUE(s.has("sorted.csv"));
    EXPECT_TRUE(s.has(s.state.log.fileName()));
    EXPECT_FALSE(s.state.log.isOpen());
    EXPECT_EQ(s.state.SessionNumber, 2);
    EXPECT_EQ(s.fb.milestones.back(), Mijlpaal::bij_einde);
}

TEST(Closure, TwoStrataAskAndFollowTheChoice)
{
    struct Case {
        ArchiveChoice answer;
        std::vector<std::string> archivedOut;
        bool pictureArchived;
    };
    const Case cases[] = {
        {ArchiveChoice::AllFiles,
         {"1-MHW-g01h01-g02h02-gew.out", "1-MHW-g01h01-gew.out", "1-MHW-g02h02-gew.out",
          "2-MHW-g01h01-gew.out"},
         true},
        {ArchiveChoice::OnlyBest, {"1-MHW-g01h01-gew.out", "2-MHW-g01h01-gew.out"}, false},
        {ArchiveChoice::NoFile, {}, false},
    };
    for (const Case& c : cases) {
        Session s;
        startUp(s.state);
        s.state.registry.addVariable(s.fb);
        s.state.sampling.StrataCodes = {"         1", "         2"};
        s.state.mxwChecked = {true, false, false};
        s.tmp.write("1-MHW-g01h01-g02h02-gew.out", resultText(2, "1.00000000"));
        s.tmp.write("1-MHW-g01h01-gew.out", resultText(1, "1.01000000"));
        s.tmp.write("1-MHW-g02h02-gew.out", resultText(1, "1.02000000"));
        s.tmp.write("1-MHW-g02h02-gew.wmf", "picture");
        s.tmp.write("2-MHW-g01h01-gew.out", resultText(1, "1.00000000"));
        s.fb.archiveAnswers.push_back(c.answer);
        again(s.state);
        ASSERT_EQ(s.fb.archiveQuestions.size(), 1u);
        EXPECT_EQ(s.fb.archiveQuestions[0].first, "Storing results previous session");
        EXPECT_EQ(s.fb.archiveQuestions[0].second, ArchiveChoice::OnlyBest);
        EXPECT_EQ(WorkDir(s.tmp / "session1").list("*.out"), c.archivedOut);
        EXPECT_EQ(s.has("session1/1-MHW-g02h02-gew.wmf"), c.pictureArchived);
        EXPECT_TRUE(s.state.workDir.list("*.out").empty());
        EXPECT_EQ(s.state.SessionNumber, 2);
        EXPECT_EQ(s.state.milestone, Mijlpaal::na_start);
    }
}

// "Again" that cannot archive keeps the session: a new one would write over
// the files that stayed. Tried again once the directory is writable, it ends.
TEST(Closure, AgainThatCannotArchiveKeepsTheSession)
{
    Session s;
    startUp(s.state);
    s.state.sampling.StrataCodes = {"         1"};
    s.tmp.write("1-MHW-g01h01-gew.out", resultText(1, "1.00000000"));
    s.state.setMilestone(Mijlpaal::na_voorspellen);
    {
        test::ReadOnlyDirectory readOnly(s.tmp.path());
        if (!readOnly.holds())
            GTEST_SKIP() << "this process cannot make a directory read-only for itself";
        EXPECT_FALSE(again(s.state));
    }
    ASSERT_FALSE(s.fb.messages.empty());
    EXPECT_EQ(s.fb.messages.back().rfind("The archive directory session1 could not be made; these files "
                                         "stay where they are:",
                                         0),
              0u)
        << s.fb.messages.back();
    EXPECT_TRUE(s.has("1-MHW-g01h01-gew.out"));
    EXPECT_EQ(s.state.SessionNumber, 1);
    EXPECT_EQ(s.state.milestone, Mijlpaal::na_voorspellen);

    EXPECT_TRUE(again(s.state));
    EXPECT_TRUE(s.has("session1/1-MHW-g01h01-gew.out"));
    EXPECT_FALSE(s.has("1-MHW-g01h01-gew.out"));
    EXPECT_EQ(s.state.SessionNumber, 2);
    EXPECT_EQ(s.state.milestone, Mijlpaal::na_start);
}

TEST(Closure, DeleteAllRegRemovesEveryResultWithItsFiles)
{
    Session s;
    for (const char* name : {"a-MHW.out", "a-MHW.dat", "a-MHW.wmf", "B.OUT", "b.dat", "keep.dat"})
        s.tmp.write(name, "x");
    DeleteAllReg(s.state);
    EXPECT_EQ(s.state.workDir.list("*"), (std::vector<std::string>{"keep.dat"}));
    EXPECT_EQ(s.fb.statusTexts.back(), "deleting regression models ");
}

}  // namespace
}  // namespace tolvar

namespace tolvar {
namespace {

// The batch start file is the first need of the grid-access library when it
// names a raster; a start file of ASCII grids binds nothing.
TEST(StartUp, ABatchStartFileWithARasterBindsTheLibrary)
{
    for (const bool raster : {true, false}) {
        SCOPED_TRACE(raster);
        test::TempDir tmp;
        test::RecordingFeedback fb;
        AppState state{WorkDir(tmp.path()), fb};
        tmp.write("WendBat.txt", std::string("1\r\n1\r\nstrata.asc\r\n") + (raster ? "dem.tif" : "dem.asc") + "\r\n1\r\n");
        std::ofstream(tmp / "avgridio.txt", std::ios::binary)
            << TOLVAR_TEST_GRIDIO << "\r\n" << TOLVAR_TEST_GDAL << "\r\n" << TOLVAR_TEST_PROJ << "\r\n";
        startUp(state);
        EXPECT_EQ(state.gridLibrary.attempted(), raster);
        EXPECT_EQ(state.gridLibrary.usable(), raster);
        EXPECT_TRUE(fb.messages.empty());
        closeProgram(state);
    }
}

}  // namespace
}  // namespace tolvar
