// temp.txt, the column roles "Ready!" wrote, read back by the sampling beside
// a temp.csv of three records.
#include "fuzz_support.h"

#include "common/work_dir.h"
#include "grids/sampling.h"
#include "pointdata/point_editor.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto dir = fuzz::freshWorkDir();
    fuzz::writeInput(dir, "temp.txt", fuzz::asText(data, size));
    fuzz::writeInput(dir, "temp.csv",
                     "ID;XCOORD;YCOORD;MHW;sdMHW;Stratum;\r\n"
                     "a;155012.5;463987.5;40;3;1;\r\n"
                     "b;155112.5;463012.5;missing;4;2;\r\n"
                     "c;155012.5;463987.5;55;missing;1;\r\n");
    const WorkDir work(dir);
    fuzz::expectOnlyIoError([&] { (void)readTempTxt(work); });
    fuzz::expectOnlyIoError([&] {
        TextTable table;
        PointColumns columns;
        SORTXY(work, 155000.0, 463000.0, 25.0, table, columns);
    });
    return 0;
}
