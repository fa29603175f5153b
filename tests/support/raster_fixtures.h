#pragma once

#include "grids/grid_library.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tolvar::test {

// The geometry and cells of a small raster fixture; value(row, col) with
// rows from the north and both from 1. A missing cell is given as `nodata`.
struct RasterSpec {
    int ncols = 0, nrows = 0;
    double xll = 0, yll = 0, cellsize = 1;
    double nodata = -9999;
    std::function<double(int row, int col)> value;
};

// An ESRI binary grid directory (hdr.adf, w001001.adf, w001001x.adf,
// dblbnd.adf, sta.adf) written by the published layout: one tile of one
// block, cells raw 32-bit big-endian. Integer grids mark missing cells with
// -2147483647, floating-point ones with -FLT_MAX: cells equal to
// spec.nodata are written as those.
void writeEsriGrid(const std::filesystem::path& directory, const RasterSpec& spec, bool integer);

// A GeoTIFF written through GDAL: Int16 when `integer`, else Float64 (or
// Float32 with `float32`), with spec.nodata as its nodata value.
void writeGeoTiff(const std::filesystem::path& file, const RasterSpec& spec, bool integer, bool float32 = false);

// A Float64 GeoTIFF holding exactly the cells and NODATA_value of an ASCII grid.
void geoTiffFromAscii(const std::filesystem::path& ascii, const std::filesystem::path& tiff);

// The ASCII twin of a spec: the same cells with spec.nodata as NODATA_value,
// integers written without decimals and reals with at least one.
void writeAsciiTwin(const TempDir& dir, const std::string& name, const RasterSpec& spec, bool integer);

// A location file naming these three libraries.
void writeLocationFile(const std::filesystem::path& workDir, const std::string& avgridio,
                       const std::string& avbase = TOLVAR_TEST_GDAL,
                       const std::string& avfeat = TOLVAR_TEST_PROJ);

// The test build of the grid-access library: its switches, reached by name.
void failEntryPoint(const GridLibraryBinding& binding, const char* name);  // nullptr: none fails
int openLayers(const GridLibraryBinding& binding);

}  // namespace tolvar::test
