#include "common/io_error.h"
#include "mapping/cell_streams.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(CellStreams, InputsDeliverCellsRowByRow)
{
    test::TempDir tmp;
    tmp.write("s.asc", "ncols 3\r\nnrows 2\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 1\r\nNODATA_value -9999\r\n"
                       "1  2\t3 99 98\r\n4 5 6\r\n");
    tmp.write("a.asc", "ncols 3\r\nnrows 2\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 1\r\nNODATA_value -9999\r\n"
                       "\t10 20   30\r\n40 50\t60\r\n");
    Registry registry;
    registry.startUp();
    registry.attachBatchGrid(0, "s.asc");
    registry.attachBatchGrid(1, "a.asc");
    GridPropsTable props;
    InitGridProps(props);
    props[0][kKind] = props[1][kKind] = 1;
    InputStreams in;
    in.openlees(WorkDir(tmp.path()), registry, props);
    std::vector<double> strata, aux;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            strata.push_back(in.leeswaarde(0));
            aux.push_back(in.leeswaarde(1));
        }
        in.leesregel(0);  // skips the surplus 99 98
        in.leesregel(1);
    }
    EXPECT_EQ(strata, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(aux, (std::vector<double>{10, 20, 30, 40, 50, 60}));
    EXPECT_THROW(in.leeswaarde(0), IoError);  // past the last cell
}

TEST(CellStreams, OutputsWriteByKeyOnlyForAsciiGrids)
{
    test::TempDir tmp;
    const GridHeader header{2, 1, 155000, 463000, 25, -9999};
    {
        OutputStreams out;
        out.openbestand(TGridFileType::asciigrid, tmp / "sd.asc", "SDMLW", header);
        out.openbestand(TGridFileType::asciigrid, tmp / "lower.asc", "mhw", header);
        out.openbestand(TGridFileType::avgrid, tmp / "esri", "MHW", header);
        out.schrijfwaarde(TGridFileType::asciigrid, "SDMLW", "12");
        out.schrijfwaarde(TGridFileType::asciigrid, "SDMLW", "-9999");
        out.schrijfwaarde(TGridFileType::asciigrid, "mhw", "1");
        out.schrijfregel("SDMLW");
        out.sluitbestand(TGridFileType::asciigrid, "SDMLW");
    }
    EXPECT_EQ(test::readFile(tmp / "sd.asc"),
              "ncols         2\r\nnrows         1\r\nxllcorner     155000.000\r\nyllcorner     463000.000\r\n"
              "cellsize          25.000\r\nNODATA_value       -9999\r\n12 -9999 \r\n");
    EXPECT_FALSE(std::filesystem::exists(tmp / "lower.asc"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "esri"));
    EXPECT_EQ(OutputStreams::keyIndex("SDMHW"), 3);
    EXPECT_EQ(OutputStreams::keyIndex("mhw"), -1);
}

}  // namespace
}  // namespace tolvar
