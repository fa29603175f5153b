#include "common/io_error.h"
#include "grids/grid_checks.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

std::string header(int ncols, int nrows, const std::string& xll, const std::string& nodata)
{
    return "ncols " + std::to_string(ncols) + "\r\nnrows " + std::to_string(nrows) +
           "\r\nxllcorner " + xll + "\r\nyllcorner 463000\r\ncellsize 25\r\nNODATA_value " + nodata +
           "\r\n1\r\n";
}

struct Fixture {
    test::TempDir tmp;
    WorkDir dir{tmp.path()};
    Registry registry;
    GridPropsTable props;
    GroupMembershipTable membership;
    test::RecordingFeedback fb;

    Fixture()
    {
        registry.startUp();
        InitGridProps(props);
        clearGroupMembership(membership);
    }
    void variables(int n)
    {
        for (int i = 1; i < n; ++i)
            registry.addVariable(fb);
    }
    bool check() { return checkGrids(dir, registry, props, membership, fb); }
};

TEST(GridChecks, ReportsOnlyTheGridThatDiffers)
{
    Fixture f;
    f.variables(3);
    f.tmp.write("strata.asc", header(100, 80, "155000", "-9999"));
    f.tmp.write("a.asc", header(100, 80, "155000", "-9999.0"));  // -9999 with a decimal: equal
    f.tmp.write("b.asc", header(100, 81, "155000.00001", "-9999"));
    f.tmp.write("c.asc", header(100, 80, "155000", "-9999"));
    f.registry.attachBatchGrid(0, "strata.asc");
    f.registry.attachBatchGrid(1, "a.asc");
    f.registry.attachBatchGrid(2, "b.asc");
    f.registry.attachBatchGrid(3, "c.asc");
    EXPECT_FALSE(f.check());
    ASSERT_EQ(f.fb.messages.size(), 1u);
    EXPECT_EQ(f.fb.messages[0],
              "Fouten:\r\n\r\n"
              "b.asc has different number of rows than strata.asc\r\n"
              "b.asc has other western boundary than strata.asc\r\n"
              "\r\nCorrect these errors and check again");
    EXPECT_EQ(f.props[2][kNrows], 81.0);
    EXPECT_EQ(f.props[1][kKind], 1.0);
}

TEST(GridChecks, MissingGridsAreAllListed)
{
    Fixture f;
    f.variables(2);
    f.tmp.write("strata.asc", header(10, 10, "0", "-9999"));
    f.registry.attachBatchGrid(0, "STRATA.ASC");  // found without regard to letter case
    f.registry.attachBatchGrid(1, "gone.asc");
    EXPECT_FALSE(f.check());
    EXPECT_EQ(f.fb.messages.at(0), "Errors:\r\n\r\n<gone.asc> not found;\r\n"
                                   "<grid aux.variabele2> not found;\r\n"
                                   "\r\nCorrect these errors and check again");
}

TEST(GridChecks, EmptyGroupsAreReportedAndCountsLeftAlone)
{
    Fixture f;
    f.variables(3);
    for (const char* name : {"s.asc", "a.asc", "b.asc", "c.asc"})
        f.tmp.write(name, header(10, 10, "0", "-9999"));
    f.registry.attachBatchGrid(0, "s.asc");
    f.registry.attachBatchGrid(1, "a.asc");
    f.registry.attachBatchGrid(2, "b.asc");
    f.registry.attachBatchGrid(3, "c.asc");
    test::RecordingFeedback quiet;
    f.registry.removeGroup(quiet);  // 3 variables, 2 groups
    for (int v = 1; v <= 3; ++v)
        f.registry.selectGroup(v, 1);
    EXPECT_FALSE(f.check());
    EXPECT_EQ(f.fb.messages.at(0),
              "Errors:\r\n\r\nGroup 2 is not selected.\r\n\r\nCorrect these errors and check again");
    EXPECT_EQ(f.membership[2][1], -1);
    EXPECT_EQ(f.membership[1][0], -1);  // no counts written

    f.fb.messages.clear();
    f.registry.selectGroup(3, 2);
    EXPECT_TRUE(f.check());
    EXPECT_TRUE(f.fb.messages.empty());
    EXPECT_EQ(f.membership[1][0], 2);
    EXPECT_EQ(f.membership[2][0], 1);
    EXPECT_EQ(f.membership[2][3], 1);
    EXPECT_EQ(f.membership[2][1], 0);
}

TEST(GridChecks, UnreadableHeaderNamesKeyAndFile)
{
    Fixture f;
    f.tmp.write("s.asc", header(10, 10, "0", "-9999"));
    f.tmp.write("a.asc", "ncols 10\r\nnrows 10\r\nxllcenter 0\r\nyllcorner 0\r\ncellsize 1\r\n"
                         "NODATA_value 0\r\n");
    f.registry.attachBatchGrid(0, "s.asc");
    f.registry.attachBatchGrid(1, "a.asc");
    try {
        f.check();
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("a.asc"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("xllcorner"), std::string::npos);
    }
}

// Without a bound library an ESRI grid cannot be read: the check ends at once
// with that grid's message rather than comparing its placeholder row.
TEST(GridChecks, EsriGridWithoutLibraryEndsTheCheck)
{
    Fixture f;
    f.tmp.write("s.asc", header(10, 10, "0", "-9999"));
    std::filesystem::create_directory(f.tmp / "esri");
    for (const char* name : {"w001001x.adf", "w001001.adf", "sta.adf", "hdr.adf", "dblbnd.adf"})
        f.tmp.write(std::string("esri/") + name, "");
    f.registry.attachBatchGrid(0, "s.asc");
    f.registry.attachBatchGrid(1, "esri");
    EXPECT_FALSE(f.check());
    ASSERT_EQ(f.fb.messages.size(), 1u);
    EXPECT_EQ(f.fb.messages[0], "Fout:\r\n\r\nesri: the grid-access library is not available;\r\n\r\n"
                                "Cannot set grid properties. Better stop.");
    EXPECT_EQ(f.props[1][kNcols], -1.0);
}

}  // namespace
}  // namespace tolvar
