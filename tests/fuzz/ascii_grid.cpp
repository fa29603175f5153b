// An ASCII grid: the header reader, the value reader, the sampler at points
// and the row source of the mapping.
#include "fuzz_support.h"

#include "grids/ascii_grid.h"
#include "grids/sampling.h"
#include "mapping/row_source.h"

#include <algorithm>
#include <sstream>

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(fuzz::asText(data, size));
    fuzz::expectOnlyIoError([&] {
        std::istringstream in(text);
        const GridHeader header = readGridHeader(in, "grid.asc");
        (void)formatHeaderLines(header);
        std::istringstream values(text);
        GridValueReader reader(values, "grid.asc");
        reader.skipHeader();
        std::string line;
        if (reader.readLine(line))
            (void)cellTypeFromLine(line);
        while (reader.readValue()) {
        }
    });

    const auto dir = fuzz::freshWorkDir();
    const auto file = fuzz::writeInput(dir, "grid.asc", text);
    fuzz::expectOnlyIoError([&] {
        const GridHeader header = readGridHeaderFile(file);
        // Points from the north-west corner to the south-east, in file order.
        AsciiGridSampler sampler(file, header);
        (void)sampler.cellType();
        const double cs = header.cellsize;
        const double top = header.yllcorner + cs * static_cast<double>(header.nrows);
        for (int i = 0; i < 8; ++i) {
            const double x = header.xllcorner + cs * (0.5 + i);
            const double y = top - cs * (0.5 + i);
            (void)isMissingSample(sampler.lookup(x, y), header.nodata);
        }
    });
    fuzz::expectOnlyIoError([&] {
        const GridHeader header = readGridHeaderFile(file);
        AsciiRowSource rows(file);
        const std::int64_t nrows = std::min<std::int64_t>(header.nrows, 64);
        const std::int64_t ncols = std::min<std::int64_t>(header.ncols, 64);
        for (std::int64_t r = 0; r < nrows; ++r) {
            for (std::int64_t c = 0; c < ncols; ++c)
                (void)rows.next();
            rows.nextRow();
        }
    });
    return 0;
}
