#include "app/session.h"
#include "grids/grid_library.h"
#include "support/raster_fixtures.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

const std::string kAllNineteenMissing =
    " CellLyrExists cannot be attached;\r\n"
    " DescribeGridDbl cannot be attached;\r\n"
    " GridExists cannot be attached;\r\n"
    " GridIOSetup cannot be attached;\r\n"
    " GridIOExit cannot be attached;\r\n"
    " BndCellRead cannot be attached;\r\n"
    " CellLayerOpen cannot be attached;\r\n"
    " AccessWindowSet cannot be attached;\r\n"
    " WindowRows cannot be attached;\r\n"
    " WindowCols niet koppelbaar;\r\n"
    " AccessWindowClear cannot be attached;\r\n"
    " GetMissingFloat cannot be attached;\r\n"
    " CellLyrClose cannot be attached;\r\n"
    " GetWindowCellInt cannot be attached;\r\n"
    " GetWindowCellFloat cannot be attached;\r\n"
    " XY2WindowColRow cannot be attached;\r\n"
    " CellLyrSetIO cannot be attached;\r\n"
    " GetWindowCell cannot be attached;\r\n"
    " CellLyrGetIO cannot be attached;\r\n";

struct Binding {
    test::TempDir tmp;
    WorkDir dir{tmp.path()};
    test::RecordingFeedback fb;
    GridLibraryBinding lib;
    std::string location() const { return (tmp / "avgridio.txt").string(); }
};

TEST(GridLibraryBinding, LocationFileWithLoadableLibrariesBindsEveryEntryPointSilently)
{
    Binding b;
    test::writeLocationFile(b.tmp.path(), TOLVAR_TEST_GRIDIO);
    b.lib.TestLoadDLL(b.dir, b.fb);
    EXPECT_TRUE(b.fb.messages.empty());
    EXPECT_TRUE(b.lib.bound);
    EXPECT_TRUE(b.lib.usable());
    EXPECT_TRUE(b.lib.rowsReadable());
    EXPECT_NE(b.lib.fn.GridIOSetup, nullptr);
    EXPECT_NE(b.lib.fn.DescribeGridDbl, nullptr);
    EXPECT_NE(b.lib.fn.GetWindowCell, nullptr);
    EXPECT_NE(b.lib.fn.CellLyrSetIO, nullptr);
    EXPECT_EQ(b.lib.avgridio, TOLVAR_TEST_GRIDIO);
    EXPECT_EQ(b.lib.avbase, TOLVAR_TEST_GDAL);
    EXPECT_EQ(b.lib.avfeat, TOLVAR_TEST_PROJ);
}

TEST(GridLibraryBinding, NoLocationFileAndNoLibrariesAsksForTheManualAttach)
{
    Binding b;
    b.lib.defaultAvgridio = (b.tmp / "libavgridio.so").string();
    b.lib.defaultAvbase = (b.tmp / "libgdal.so.32").string();
    b.lib.defaultAvfeat = (b.tmp / "libproj.so.25").string();
    b.lib.TestLoadDLL(b.dir, b.fb);
    ASSERT_EQ(b.fb.messages.size(), 2u);
    EXPECT_EQ(b.fb.messages[0], b.location() + " not found;");
    EXPECT_EQ(b.fb.messages[1], "Location file not found" + b.lib.defaultAvbase + " cannot be loaded.\r\n" +
                                    b.lib.defaultAvfeat + " cannot be loaded.\r\n" + b.lib.defaultAvgridio +
                                    " kan niet worden geladen.\r\n\r\nManual attach of 3 DLL\xB4s is needed.");
    EXPECT_FALSE(b.lib.bound);
    EXPECT_EQ(b.lib.fn.CellLyrExists, nullptr);
}

TEST(GridLibraryBinding, WithoutLocationFileEvenLoadableDefaultsAreNotBound)
{
    Binding b;
    b.lib.defaultAvgridio = TOLVAR_TEST_GRIDIO;
    b.lib.TestLoadDLL(b.dir, b.fb);
    ASSERT_EQ(b.fb.messages.size(), 2u);
    EXPECT_EQ(b.fb.messages[1], "Location file not found\r\n\r\nManual attach of 3 DLL\xB4s is needed.");
    EXPECT_FALSE(b.lib.bound);
    EXPECT_FALSE(b.lib.usable());
}

// Which of the three libraries does not load, and the message it gives.
struct LoadCase {
    const char* name;
    int broken;  // 0 avgridio, 1 avbase, 2 avfeat
    const char* before;
    const char* after;
};

void PrintTo(const LoadCase& c, std::ostream* os)
{
    *os << c.name;
}

class LibraryThatDoesNotLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LibraryThatDoesNotLoad, IsNamedAndNothingIsBound)
{
    const LoadCase& c = GetParam();
    Binding b;
    const std::string junk = b.tmp.write("junk.so", "not a shared library").string();
    std::string paths[3] = {TOLVAR_TEST_GRIDIO, TOLVAR_TEST_GDAL, TOLVAR_TEST_PROJ};
    paths[c.broken] = junk;
    test::writeLocationFile(b.tmp.path(), paths[0], paths[1], paths[2]);
    b.lib.TestLoadDLL(b.dir, b.fb);
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0],
              c.before + junk + c.after + "\r\n\r\nManual attach of 3 DLL\xB4s is needed.");
    EXPECT_FALSE(b.lib.bound);
    EXPECT_FALSE(b.lib.usable());
}

INSTANTIATE_TEST_SUITE_P(GridLibraryBinding, LibraryThatDoesNotLoad,
                         ::testing::Values(LoadCase{"GridAccess", 0, "\r\n", " kan niet worden geladen."},
                                           LoadCase{"Gdal", 1, "", " cannot be loaded."},
                                           LoadCase{"Proj", 2, "\r\n", " cannot be loaded."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridLibraryBinding, LocationFilePathsThatDoNotExistAreListedAndStillTried)
{
    Binding b;
    const std::string gone = (b.tmp / "gone" / "libavgridio.so").string();
    test::writeLocationFile(b.tmp.path(), gone);
    b.lib.TestLoadDLL(b.dir, b.fb);
    ASSERT_EQ(b.fb.messages.size(), 2u);
    EXPECT_EQ(b.fb.messages[0], gone + " not found; \r\n");
    EXPECT_EQ(b.fb.messages[1], "\r\n" + gone + " kan niet worden geladen.\r\n\r\nManual attach of 3 DLL\xB4s is needed.");
}

TEST(GridLibraryBinding, LibraryWithoutEntryPointsListsEachInOrderAndStaysBound)
{
    Binding b;
    test::writeLocationFile(b.tmp.path(), TOLVAR_TEST_GRIDIO_NONE);
    b.lib.TestLoadDLL(b.dir, b.fb);
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0], kAllNineteenMissing);
    EXPECT_TRUE(b.lib.bound);
    EXPECT_FALSE(b.lib.usable());
}

TEST(GridLibraryBinding, MissingEntryPointsLeaveTheOthersBound)
{
    Binding b;
    test::writeLocationFile(b.tmp.path(), TOLVAR_TEST_GRIDIO_PARTIAL);
    b.lib.TestLoadDLL(b.dir, b.fb);
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0], " WindowCols niet koppelbaar;\r\n");
    EXPECT_TRUE(b.lib.bound);
    EXPECT_NE(b.lib.fn.WindowRows, nullptr);
    EXPECT_EQ(b.lib.fn.WindowCols, nullptr);
    EXPECT_EQ(b.lib.fn.GetWindowRowFloat, nullptr);
    EXPECT_FALSE(b.lib.usable());  // the checks call WindowCols
}

TEST(GridLibraryBinding, ManualAttachWritesTheLocationFile)
{
    Binding b;
    b.fb.fileAnswers = {std::string("/opt/x/libavgridio.so"), std::string("/usr/lib/libgdal.so.32"),
                        std::string("/usr/lib/libproj.so.25")};
    EXPECT_TRUE(b.lib.KoppelDLL(b.dir, b.fb));
    ASSERT_EQ(b.fb.fileQuestions.size(), 3u);
    EXPECT_EQ(b.fb.fileQuestions[0].first, "1#3: Find and select <libavgridio.so>");
    EXPECT_EQ(b.fb.fileQuestions[0].second, "libavgridio.so");
    EXPECT_EQ(b.fb.fileQuestions[1].first, std::string("2#3: Find and select <") + TOLVAR_GDAL_SONAME + ">");
    EXPECT_EQ(b.fb.fileQuestions[2].first, std::string("3#3: Find and select <") + TOLVAR_PROJ_SONAME + ">");
    EXPECT_EQ(test::readFile(b.location()),
              "/opt/x/libavgridio.so\r\n/usr/lib/libgdal.so.32\r\n/usr/lib/libproj.so.25\r\n");
    EXPECT_TRUE(b.lib.bound);
    EXPECT_EQ(b.lib.fn.CellLayerOpen, nullptr);  // the attach loads nothing
    EXPECT_TRUE(b.fb.messages.empty());
}

TEST(GridLibraryBinding, ManualAttachShowsAllThreeDialogsAndRefusesAWrongName)
{
    Binding b;
    // The first is cancelled, the second names the library in upper case.
    b.fb.fileAnswers = {std::nullopt, std::string("/usr/lib/LIBGDAL.SO.32"), std::string("/usr/lib/libproj.so.25")};
    EXPECT_FALSE(b.lib.KoppelDLL(b.dir, b.fb));
    EXPECT_EQ(b.fb.fileQuestions.size(), 3u);
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0], kAttachAbandoned);
    EXPECT_FALSE(b.lib.bound);
    EXPECT_FALSE(std::filesystem::exists(b.location()));
}

TEST(GridLibraryBinding, FirstNeedAttachesByHandAndLoadsFromTheNewLocationFile)
{
    Binding b;
    b.fb.fileAnswers = {std::string(TOLVAR_TEST_GRIDIO), std::string(TOLVAR_TEST_GDAL),
                        std::string(TOLVAR_TEST_PROJ)};
    EXPECT_TRUE(b.lib.need(b.dir, b.fb));
    EXPECT_TRUE(b.lib.usable());
    EXPECT_EQ(b.fb.fileQuestions.size(), 3u);
    // A later need asks nothing again.
    EXPECT_TRUE(b.lib.need(b.dir, b.fb));
    EXPECT_EQ(b.fb.fileQuestions.size(), 3u);
}

TEST(GridLibraryBinding, AbandonedAttachRefusesOnceAndAsksNoMore)
{
    Binding b;
    b.lib.defaultAvgridio = (b.tmp / "libavgridio.so").string();
    EXPECT_FALSE(b.lib.need(b.dir, b.fb));
    EXPECT_EQ(b.fb.messages.back(), kAttachAbandoned);
    const std::size_t messages = b.fb.messages.size();
    EXPECT_FALSE(b.lib.need(b.dir, b.fb));
    EXPECT_EQ(b.fb.messages.size(), messages);
    EXPECT_EQ(b.fb.fileQuestions.size(), 3u);
}

TEST(GridLibraryBinding, TheBatchOffersNoManualAttach)
{
    Binding b;
    b.lib.offerManualAttach = false;
    b.lib.defaultAvgridio = (b.tmp / "libavgridio.so").string();
    EXPECT_FALSE(b.lib.need(b.dir, b.fb));
    EXPECT_TRUE(b.fb.fileQuestions.empty());
}

TEST(GridLibraryBinding, ClosingTheProgramReleasesTheLibraries)
{
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state(WorkDir(tmp.path()), fb);
    startUp(state);
    test::writeLocationFile(tmp.path(), TOLVAR_TEST_GRIDIO);
    ASSERT_TRUE(state.gridLibrary.need(state.workDir, fb));
    closeProgram(state);
    EXPECT_FALSE(state.gridLibrary.bound);
    EXPECT_EQ(state.gridLibrary.fn.CellLayerOpen, nullptr);
    EXPECT_FALSE(state.gridLibrary.usable());
}

TEST(GridLibraryBinding, GridNamesReachTheLibraryAsUtf16)
{
    EXPECT_EQ(gridName16("/data/gr\xC3\xB8nn/dem"), u"/data/gr\u00F8nn/dem");  // UTF-8
    EXPECT_EQ(gridName16("/data/gr\xF8nn/dem"), u"/data/gr\u00F8nn/dem");      // Latin-1
}

}  // namespace
}  // namespace tolvar
