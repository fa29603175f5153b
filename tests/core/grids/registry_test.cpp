#include "grids/registry.h"
#include "support/recording_feedback.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

Registry startedRegistry()
{
    Registry r;
    r.startUp();
    return r;
}

TEST(Registry, StartsWithOneVariableInOneGroup)
{
    const Registry r = startedRegistry();
    EXPECT_EQ(r.AuxVarCount, 1);
    EXPECT_EQ(r.GroupCount, 1);
    EXPECT_EQ(r.radioItems, 1);
    EXPECT_EQ(r.groupOf(1), 1);
    EXPECT_EQ(r.HulpVarRecs[0].PFileName, "grid strata");
    EXPECT_EQ(r.HulpVarRecs[3].PFileName, "grid aux.variabele3");
    EXPECT_EQ(r.labelCaption(0), "grid strata");
    EXPECT_EQ(r.labelCaption(1), "grid variabele1");
    EXPECT_EQ(r.labelCaption(2), "onbekende hulpvar2");
    EXPECT_TRUE(r.HulpVarRecs[1].labelVisible);
    EXPECT_FALSE(r.HulpVarRecs[2].labelVisible);
    EXPECT_TRUE(r.groupLabelVisible[1]);
    EXPECT_FALSE(r.groupLabelVisible[2]);
    EXPECT_TRUE(r.checks.checked[1][1]);
}

TEST(Registry, LimitsShowTheirMessagesAndChangeNothing)
{
    test::RecordingFeedback fb;
    Registry r = startedRegistry();
    r.removeVariable(fb);
    r.removeGroup(fb);
    r.addGroup(fb);
    EXPECT_EQ(fb.messages, (std::vector<std::string>{
                               "Number of groups may not exceed number of aux.variables",
                               "Cannot delete more groups!",
                               "Number of groups may not exceed number of ancillary variables"}));
    EXPECT_EQ(r.AuxVarCount, 1);
    EXPECT_EQ(r.GroupCount, 1);

    for (int i = 0; i < 14; ++i)
        r.addVariable(fb);
    EXPECT_EQ(r.AuxVarCount, 15);
    EXPECT_EQ(r.GroupCount, 15);
    fb.messages.clear();
    r.addGroup(fb);
    r.addVariable(fb);
    EXPECT_EQ(fb.messages,
              (std::vector<std::string>{"Number of groups may not exceed number of ancillary variables",
                                        "Cannot add more aux.info!"}));
    for (int v = 1; v <= 15; ++v)
        EXPECT_EQ(r.groupOf(v), v);
    EXPECT_TRUE(r.tabLabels.tensDigitVisible[15]);
}

TEST(Registry, RemovingAGroupMovesItsVariablesIntoTheLastGroup)
{
    test::RecordingFeedback fb;
    Registry r = startedRegistry();
    r.addVariable(fb);
    r.addVariable(fb);
    ASSERT_EQ(r.AuxVarCount, 3);
    ASSERT_EQ(r.GroupCount, 3);
    EXPECT_EQ(r.labelCaption(3), "grid aux.variabele3");

    r.removeGroup(fb);
    EXPECT_EQ(r.GroupCount, 2);
    EXPECT_EQ(r.radioItems, 2);
    EXPECT_EQ(r.groupOf(1), 1);
    EXPECT_EQ(r.groupOf(2), 2);
    EXPECT_EQ(r.groupOf(3), 2);
    EXPECT_FALSE(r.groupLabelVisible[3]);
    EXPECT_TRUE(r.checks.checked[3][2]);
    EXPECT_FALSE(r.checks.visible[3][3]);

    r.addVariable(fb);
    EXPECT_EQ(r.AuxVarCount, 4);
    EXPECT_EQ(r.GroupCount, 3);
    EXPECT_EQ(r.groupOf(4), 3);
    EXPECT_EQ(r.labelCaption(4), "grid aux.variabele4");
    EXPECT_TRUE(fb.messages.empty());

    // Removing the variable relabels its slot; the file name is kept.
    r.HulpVarRecs[4].PFileName = "dem.asc";
    r.removeGroup(fb);
    r.removeVariable(fb);
    EXPECT_EQ(r.AuxVarCount, 3);
    EXPECT_EQ(r.HulpVarRecs[4].PFileName, "dem.asc");
    EXPECT_FALSE(r.HulpVarRecs[4].labelVisible);
    EXPECT_FALSE(r.checks.visible[4][1]);
}

TEST(Registry, ChosenGridsAreShownShortenedInLowerCase)
{
    Registry r = startedRegistry();
    r.attachChosenGrid(1, "C:\\data\\grids\\elevation.asc");
    EXPECT_EQ(r.labelCaption(1), "c:\\...\\elevation.asc");
    EXPECT_EQ(r.HulpVarRecs[1].PFileName, "C:\\data\\grids\\elevation.asc");
    EXPECT_EQ(r.LastGridDir, "C:\\data\\grids");
    r.attachChosenGrid(0, "/home/u/Strat.asc");  // 17 characters: whole
    EXPECT_EQ(r.labelCaption(0), "/home/u/strat.asc");
    EXPECT_EQ(displayPath("12345678901234567"), "12345678901234567");
    EXPECT_EQ(displayPath("/data/grids/Elevation.asc"), "/da.../Elevation.asc");
    r.attachBatchGrid(1, "/data/grids/Elevation.asc");
    EXPECT_EQ(r.labelCaption(1), "/da.../Elevation.asc");
    EXPECT_EQ(r.LastGridDir, "/data/grids/Elevation.asc");
}

TEST(Registry, DirectoryPartAndOutputNames)
{
    EXPECT_EQ(trimgridnaam("C:\\data\\grids\\dem.asc"), "C:\\data\\grids");
    EXPECT_EQ(trimgridnaam("/data/dem.asc"), "/data");
    EXPECT_EQ(trimgridnaam("dem.asc"), "de");

    const auto names = defaultOutputNames("/data/grids", {true, false, true});
    EXPECT_EQ(names[0].text, "/data/grids/MHW_R.asc");
    EXPECT_EQ(names[1].text, "/data/grids/SDMHW_R.asc");
    EXPECT_TRUE(names[0].enabled);
    EXPECT_EQ(names[2].text, "is not predicted");
    EXPECT_FALSE(names[3].enabled);
    EXPECT_EQ(names[5].text, "/data/grids/SDMLW_R.asc");
    EXPECT_EQ(defaultOutputNames("/work", {true, false, false})[0].text, "/work/MHW_R.asc");
}

}  // namespace
}  // namespace tolvar
