#include "app/grid_choice.h"
#include "support/app_workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

using GridChoice = test::AppWorkspace;

// The folder the grid dialog starts in, for what the last choice (or the batch
// start file) left as the dialog's directory.
TEST(GridDialogStart, TheLastGridsFolderOrElseTheWorkingDirectory)
{
    GridChoice g;
    fs::create_directory(g.tmp / "grids");
    g.tmp.write("grids/elevation.asc", "");
    const std::string work = g.tmp.path().string();
    const std::string grids = (g.tmp / "grids").string();
    struct Case {
        const char* name;
        std::string directory;
        std::string start;
    };
    const Case cases[] = {
        {"none yet", "", work},
        {"a folder in the working directory", "grids", grids},
        {"a folder named absolutely", grids, grids},
        {"a file the batch start file named", "grids/elevation.asc", grids},
        // trimgridnaam leaves the first two characters of a bare file name
        {"a name that is neither", "el", work},
        {"a folder that is gone", (g.tmp / "gone").string(), work},
    };
    for (const Case& c : cases) {
        g.state.registry.dialog.directory = c.directory;
        EXPECT_EQ(gridDialogStart(g.state), c.start) << c.name;
    }
}

TEST(GridDialogStart, FileTypesByTheirPlaceInTheDialog)
{
    EXPECT_EQ(gridFileChoiceAt(0), GridFileChoice::AsciiGrid);
    EXPECT_EQ(gridFileChoiceAt(1), GridFileChoice::EsriGrid);
    EXPECT_EQ(gridFileChoiceAt(2), GridFileChoice::Raster);
    EXPECT_EQ(gridFileChoiceAt(3), GridFileChoice::AllFiles);
    // The dialog answers -1 when its filter is not one of its list.
    EXPECT_EQ(gridFileChoiceAt(-1), GridFileChoice::AllFiles);
    EXPECT_EQ(gridFileChoiceAt(4), GridFileChoice::AllFiles);
}

// A new strata grid forgets the strata of the last run; an auxiliary grid, or
// a strata grid that is refused, keeps them.
TEST(ChooseGrid, ANewStrataGridForgetsTheStrata)
{
    GridChoice g;
    g.state.registry.startUp();
    g.state.gridLibrary.offerManualAttach = false;
    g.state.gridLibrary.defaultAvgridio = (g.tmp / "libavgridio.so").string();
    g.tmp.write("soil.asc", "");
    const std::string soil = (g.tmp / "soil.asc").string();
    const std::vector<std::string> strata{"         1", "         2"};

    g.state.sampling.StrataCodes = strata;
    ASSERT_TRUE(chooseGrid(g.state, 1, soil, GridFileChoice::AsciiGrid));
    EXPECT_EQ(g.state.sampling.StrataCodes, strata);
    EXPECT_EQ(g.state.registry.HulpVarRecs[1].PFileName, soil);

    EXPECT_FALSE(chooseGrid(g.state, 0, (g.tmp / "soil.tif").string(), GridFileChoice::Raster));
    EXPECT_EQ(g.state.sampling.StrataCodes, strata);
    ASSERT_FALSE(g.fb.messages.empty());
    EXPECT_EQ(g.fb.messages.back(), kRasterRefused);

    ASSERT_TRUE(chooseGrid(g.state, 0, soil, GridFileChoice::AsciiGrid));
    EXPECT_TRUE(g.state.sampling.StrataCodes.empty());
    EXPECT_EQ(g.state.registry.HulpVarRecs[0].PFileName, soil);
}

}  // namespace
}  // namespace tolvar
