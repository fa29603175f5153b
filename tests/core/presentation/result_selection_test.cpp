#include "presentation/result_selection.h"
#include "support/app_workspace.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

struct Selection : test::AppWorkspace {
    ResultSelection selection;
    StructureChecks& checks = state.registry.checks;
};

// A click on a structure box: one variable per group, the registry's checks
// follow the boxes, and the best model is no longer on screen.
TEST(ResultSelection, AClickKeepsOneVariablePerGroupAndLeavesNothingToReject)
{
    Selection s;
    s.checks.checked[1][2] = s.checks.state[1][2] = true;
    s.checks.checked[4][1] = s.checks.state[4][1] = true;
    s.selection.ticked = s.checks.checked;
    s.selection.bestName = "1-MHW-g01h04-g02h01-gew.out";

    s.selection.ticked[3][2] = true;  // the user ticks variable 3 in group 2
    EXPECT_TRUE(clickStructure(s.selection, s.checks));
    EXPECT_FALSE(s.selection.ticked[1][2]);
    EXPECT_TRUE(s.selection.ticked[3][2]);
    EXPECT_TRUE(s.selection.ticked[4][1]);  // another group is left alone
    EXPECT_EQ(s.checks.checked, s.selection.ticked);
    EXPECT_EQ(s.checks.state, s.selection.ticked);
    EXPECT_FALSE(s.selection.rejectOffered());

    s.selection.bestName = "1-MHW-g01h04-g02h03-gew.out";
    EXPECT_FALSE(clickStructure(s.selection, s.checks));  // nothing changed
    EXPECT_TRUE(s.selection.rejectOffered());
}

// The best model shown names the pair and the structure; only a model found
// can be rejected.
TEST(ResultSelection, TheBestModelShownIsTheOneToReject)
{
    Selection s;
    s.checks.checked[2][1] = s.checks.state[2][1] = true;
    BestOutcome best;
    best.found = true;
    best.bestName = "2-MSW-g01h03-gew.out";
    best.choice.stratumText = "         2";
    best.choice.mxw = "MSW";
    best.choice.ticked[3][1] = true;
    showBestSelection(s.selection, s.checks, best);
    EXPECT_EQ(s.selection.stratumText, "         2");
    EXPECT_EQ(s.selection.mxw, "MSW");
    EXPECT_EQ(s.selection.bestName, best.bestName);
    EXPECT_EQ(s.checks.checked, best.choice.ticked);
    EXPECT_EQ(s.checks.state, best.choice.ticked);

    // What the selection names is the file shown.
    s.state.weighted = true;
    s.state.registry.AuxVarCount = 3;
    EXPECT_EQ(resultFileNameOf(resultChoice(s.selection, s.state)), best.bestName);

    best.found = false;
    best.choice.ticked = {};
    showBestSelection(s.selection, s.checks, best);
    EXPECT_FALSE(s.selection.rejectOffered());
    EXPECT_EQ(s.checks.checked, StructureTicks{});

    s.selection.bestName = best.bestName;
    blankSelection(s.selection);
    EXPECT_FALSE(s.selection.rejectOffered());
}

TEST(ResultSelection, TheStratumItemMatchesWithoutBlanks)
{
    const std::vector<std::string> items{"         1", "        12", "12"};
    EXPECT_EQ(stratumItem(items, "1"), 0);
    EXPECT_EQ(stratumItem(items, "12"), 2);  // the last such item
    EXPECT_EQ(stratumItem(items, "  12"), 2);
    EXPECT_EQ(stratumItem(items, "3"), -1);
    EXPECT_EQ(stratumItem({}, "1"), -1);
}

}  // namespace
}  // namespace tolvar
