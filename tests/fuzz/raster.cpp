// A raster read through the grid-access library (GDAL), as strata grid and
// auxiliary grid at once: the presence and property checks, the sampler at
// points inside and outside the grid, and the mapping's row streams.
#include "fuzz_support.h"

#include "common/number_format.h"
#include "grids/grid_checks.h"
#include "grids/registry.h"
#include "grids/sampling.h"
#include "mapping/cell_streams.h"

#include <gdal.h>

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace tolvar;

namespace {
// The points: the grid's first cell centres along its diagonal, one west of
// it and one far away.
void writePoints(const std::filesystem::path& dir, const GridPropsRow& grid)
{
    std::ofstream(dir / "temp.txt", std::ios::binary) << "1\r\n2\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n1\r\n";
    std::ofstream csv(dir / "temp.csv", std::ios::binary);
    csv << "XCOORD;YCOORD;MHW;\r\n";
    const double cs = grid[kCellsize];
    const double top = grid[kYll] + cs * grid[kNrows];
    for (int i = 0; i < 4; ++i)
        csv << fixed(grid[kXll] + cs * (0.5 + i), 1, 6) << ';' << fixed(top - cs * (0.5 + i), 1, 6) << ";1;\r\n";
    csv << fixed(grid[kXll] - cs, 1, 6) << ';' << fixed(top, 1, 6) << ";1;\r\n";
    csv << "1e300;-1e300;1;\r\n";
}

// GDAL reads a block whole. The library reads a large uncompressed block
// straight from the file, but a large compressed or sub-byte block needs its
// full size in memory: that is GDAL's by design, and such inputs are left out
// so that memory stays a measure of our own code.
bool needsAWholeLargeBlock(const std::filesystem::path& file)
{
    static const bool registered = (GDALAllRegister(), true);
    (void)registered;
    GDALDatasetH ds = GDALOpenEx(file.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (!ds)
        return false;
    bool large = false;
    if (GDALGetRasterCount(ds) >= 1) {
        GDALRasterBandH band = GDALGetRasterBand(ds, 1);
        int cols = 0, rows = 0;
        GDALGetBlockSize(band, &cols, &rows);
        const double bytes =
            static_cast<double>(cols) * rows * GDALGetDataTypeSizeBytes(GDALGetRasterDataType(band));
        const char* compression = GDALGetMetadataItem(ds, "COMPRESSION", "IMAGE_STRUCTURE");
        const char* nbits = GDALGetMetadataItem(band, "NBITS", "IMAGE_STRUCTURE");
        const bool direct = std::strcmp(GDALGetDriverShortName(GDALGetDatasetDriver(ds)), "GTiff") == 0 &&
                            !compression && !nbits;
        large = bytes > 64.0 * 1024 * 1024 && !direct;
    }
    GDALClose(ds);
    return large;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Bound once, at the first need, like the program's own binding.
    static GridLibraryBinding library;
    const auto dir = fuzz::freshWorkDir();
    std::ofstream(dir / GridLibraryBinding::locationFile(WorkDir(dir)), std::ios::binary)
        << TOLVAR_FUZZ_GRIDIO << "\r\n" << TOLVAR_FUZZ_GDAL << "\r\n" << TOLVAR_FUZZ_PROJ << "\r\n";
    const auto file = fuzz::writeInput(dir, "grid.tif", fuzz::asText(data, size));
    if (needsAWholeLargeBlock(file))
        return 0;
    const WorkDir work(dir);
    SilentFeedback fb;
    library.offerManualAttach = false;

    Registry registry;
    registry.startUp();
    registry.attachBatchGrid(0, "grid.tif");
    registry.attachBatchGrid(1, "grid.tif");
    GridPropsTable props;
    InitGridProps(props);
    GroupMembershipTable membership;
    clearGroupMembership(membership);
    bool checked = false;
    fuzz::expectOnlyIoError([&] {
        checked = checkGrids(work, registry, props, membership, fb, &library);
        if (!checked)
            return;
        writePoints(dir, props[0]);
        SamplingState state;
        state.NoXY = SORTXY(work, props[0][kXll], props[0][kYll], props[0][kCellsize], state.SampleTable,
                            state.columns);
        sampleGrids(work, registry, props, state, fb, &library);
    });
    fuzz::expectOnlyIoError([&] {
        if (!checked || !InputStreams::refusal(registry, props, library).empty())
            return;
        InputStreams streams;
        streams.openlees(work, registry, props, &library);
        const double rows = std::min(props[0][kNrows], 16.0);
        const double cols = std::min(props[0][kNcols], 16.0);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c)
                for (int slot = 0; slot <= 1; ++slot)
                    (void)streams.leeswaarde(slot);
            for (int slot = 0; slot <= 1; ++slot)
                streams.leesregel(slot);
        }
        streams.close();
    });
    return 0;
}
