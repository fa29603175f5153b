#include "common/io_error.h"
#include "grids/batch_start.h"
#include "common/text_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(Kikstart, TwoVariablesInTwoGroups)
{
    test::TempDir tmp;
    const auto file = tmp.write("WendBat.txt", "2\r\n2\r\nstrata.asc\r\n/data/grids/elevation.asc\r\n1\r\n"
                                               "b.asc\r\n2\r\n");
    Registry r;
    r.startUp();
    kikstart(WorkDir(tmp.path()).resolve("wendbat.txt"), r);
    EXPECT_EQ(r.AuxVarCount, 2);
    EXPECT_EQ(r.GroupCount, 2);
    EXPECT_EQ(r.radioItems, 2);
    EXPECT_EQ(r.groupOf(1), 1);
    EXPECT_EQ(r.groupOf(2), 2);
    EXPECT_EQ(r.HulpVarRecs[0].PFileName, "strata.asc");
    EXPECT_EQ(r.HulpVarRecs[1].PFileName, "/data/grids/elevation.asc");
    EXPECT_EQ(r.labelCaption(1), "/da.../elevation.asc");
    EXPECT_EQ(r.labelCaption(2), "b.asc");
    EXPECT_EQ(r.LastGridDir, "b.asc");
    EXPECT_TRUE(r.HulpVarRecs[2].labelVisible);
    EXPECT_TRUE(r.checks.checked[2][2]);
}

// What the writer writes the reader reads back, paths taken whole.
TEST(BatchStartFile, WrittenAndReadBackAlike)
{
    test::TempDir tmp;
    const BatchStart start{" grids/strata map.asc", 2, {{"dem.asc", 1}, {"esri dir", 2}, {"c.asc", 2}}};
    writeTextFile(tmp / "wendbat.txt", batchStartLines(start));
    EXPECT_EQ(test::readFile(tmp / "wendbat.txt"),
              "3\r\n2\r\n grids/strata map.asc\r\ndem.asc\r\n1\r\nesri dir\r\n2\r\nc.asc\r\n2\r\n");
    const BatchStart back = readBatchStart(tmp / "wendbat.txt");
    EXPECT_EQ(back.strataGrid, start.strataGrid);
    EXPECT_EQ(back.groupCount, 2);
    ASSERT_EQ(back.variables.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.variables[i].path, start.variables[i].path);
        EXPECT_EQ(back.variables[i].group, start.variables[i].group);
    }
}

TEST(Kikstart, ThreeVariablesInOneGroupAndEsriNames)
{
    test::TempDir tmp;
    const auto file = tmp.write("wendbat.txt", "3\r\n1\r\n  s.asc\r\na.asc\r\n 1 first\r\nesri_dir\r\n1\r\nc.asc\r\n1\r\n");
    Registry r;
    r.startUp();
    kikstart(file, r);
    EXPECT_EQ(r.AuxVarCount, 3);
    EXPECT_EQ(r.GroupCount, 1);
    EXPECT_EQ(r.radioItems, 1);
    EXPECT_EQ(r.HulpVarRecs[0].PFileName, "  s.asc");  // a path line is taken whole
    EXPECT_EQ(r.HulpVarRecs[2].PFileName, "esri_dir");
    for (int v = 1; v <= 3; ++v)
        EXPECT_EQ(r.groupOf(v), 1);
}

TEST(Kikstart, FilesOutsideTheLimitsAreRefusedWhole)
{
    const char* bad[] = {
        "16\r\n1\r\n",                                   // n above 15
        "0\r\n1\r\n",                                    // n below 1
        "2\r\n3\r\ns.asc\r\na.asc\r\n1\r\nb.asc\r\n1\r\n",  // G above n
        "2\r\n2\r\ns.asc\r\na.asc\r\n1\r\nb.asc\r\n3\r\n",  // group outside 1..G
        "2\r\n1\r\ns.asc\r\na.asc\r\n1\r\n",              // too few lines
        "x\r\n1\r\ns.asc\r\n",                             // not a number
        "",                                               // empty
    };
    for (const char* text : bad) {
        test::TempDir tmp;
        const auto file = tmp.write("wendbat.txt", text);
        Registry r;
        r.startUp();
        EXPECT_THROW(kikstart(file, r), IoError) << text;
        EXPECT_EQ(r.AuxVarCount, 1);
        EXPECT_EQ(r.GroupCount, 1);
        EXPECT_EQ(r.HulpVarRecs[0].PFileName, "grid strata");
    }
}

}  // namespace
}  // namespace tolvar

namespace tolvar {
namespace {

struct KindCase {
    const char* path;
    TGridFileType kind;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.path;
}

class BatchGridKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(BatchGridKind, FollowsTheEndingThenTheDot)
{
    test::TempDir tmp;
    const auto file = tmp.write("wendbat.txt", std::string("1\r\n1\r\nstrata.asc\r\n") + GetParam().path + "\r\n1\r\n");
    Registry r;
    r.startUp();
    kikstart(file, r);
    EXPECT_EQ(r.HulpVarRecs[1].kind, GetParam().kind);
    EXPECT_EQ(r.HulpVarRecs[0].kind, TGridFileType::asciigrid);
    EXPECT_EQ(r.anyLibraryGrid(), GetParam().kind == TGridFileType::avgrid);
}

INSTANTIATE_TEST_SUITE_P(Kikstart, BatchGridKind,
                         ::testing::Values(KindCase{"dem.tif", TGridFileType::avgrid},
                                           KindCase{"/data/DEM.TIFF", TGridFileType::avgrid},
                                           KindCase{"soil.Img", TGridFileType::avgrid},
                                           KindCase{"/data/grids/esri_dem", TGridFileType::avgrid},
                                           KindCase{"dem.asc", TGridFileType::asciigrid},
                                           KindCase{"dem.tif.asc", TGridFileType::asciigrid},
                                           KindCase{"dem.tiff2", TGridFileType::asciigrid}),
                         [](const auto& info) {
                             std::string name;
                             for (const char c : std::string(info.param.path))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

}  // namespace
}  // namespace tolvar
