#include "app/run_settings.h"
#include "support/app_workspace.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The accepted point data offer the MxW that have a column; weighting is
// offered for checked MxW that all have their sd column.
TEST(AcceptImport, OffersTheMxwWithAColumnAndWeightingWithTheirSd)
{
    test::AppWorkspace w;
    AppState& state = w.state;
    PointColumns columns;
    columns[kMHW] = 3;
    columns[kSDMHW] = 4;
    columns[kMSW] = 5;
    columns[kX] = 1;
    columns[kY] = 2;
    EXPECT_EQ(acceptImport(state, "/data/points.csv", columns), (PerMxw<bool>{true, true, false}));
    EXPECT_EQ(state.pointDataSourceFile, "/data/points.csv");

    struct Case {
        PerMxw<bool> checked;
        bool offered;
    };
    for (const Case& c : {Case{{true, false, false}, true}, Case{{true, true, false}, false},
                          Case{{false, true, false}, false}, Case{{false, false, false}, false}})
        EXPECT_EQ(weightingOffered(state, c.checked), c.offered)
            << c.checked[0] << c.checked[1] << c.checked[2];

    // A new import replaces the sd columns of the last.
    columns[kSDMSW] = 6;
    acceptImport(state, "/data/points.csv", columns);
    EXPECT_TRUE(weightingOffered(state, {true, true, false}));
}

}  // namespace
}  // namespace tolvar
