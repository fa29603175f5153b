#include "support/raster_fixtures.h"

#include "support/workspace.h"

#include <gdal.h>

#include <dlfcn.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace tolvar::test {

namespace {

class BigEndian {
public:
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v)
    {
        u8(static_cast<std::uint8_t>(v >> 8));
        u8(static_cast<std::uint8_t>(v));
    }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v >> 16));
        u16(static_cast<std::uint16_t>(v));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void f64(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u32(static_cast<std::uint32_t>(bits >> 32));
        u32(static_cast<std::uint32_t>(bits));
    }
    void padTo(std::size_t size) { bytes.resize(size, 0); }
    void putU32(std::size_t at, std::uint32_t v)
    {
        for (int k = 0; k < 4; ++k)
            bytes[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
    }
    void save(const fs::path& path) const
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path.string());
    }
    std::vector<std::uint8_t> bytes;
};

// The 100-byte header of the tile and index files; the file length (in
// 16-bit words) at byte 24 is filled in when the file is complete.
void tileHeader(BigEndian& f)
{
    for (std::uint8_t b : {0x00, 0x00, 0x27, 0x0A, 0xFF, 0xFF})
        f.u8(b);
    f.padTo(100);
}

void finishLength(BigEndian& f)
{
    f.putU32(24, static_cast<std::uint32_t>(f.bytes.size() / 2));
}
}  // namespace

void writeEsriGrid(const fs::path& directory, const RasterSpec& spec, bool integer)
{
    fs::create_directories(directory);
    const int n = spec.ncols * spec.nrows;

    BigEndian hdr;
    for (char c : std::string("GRID1.2"))
        hdr.u8(static_cast<std::uint8_t>(c));
    hdr.padTo(16);
    hdr.i32(integer ? 1 : 2);
    hdr.i32(0);  // compressed blocks (each with its own type byte)
    hdr.padTo(256);
    hdr.f64(spec.cellsize);
    hdr.f64(spec.cellsize);
    hdr.padTo(288);
    hdr.i32(1);  // blocks per tile row
    hdr.i32(1);  // blocks per tile column
    hdr.i32(spec.ncols);
    hdr.i32(0);
    hdr.i32(spec.nrows);
    hdr.save(directory / "hdr.adf");

    // One block: the word count, then the cells. An integer block is of type
    // 0x20 (raw 32-bit) with no minimum.
    BigEndian data;
    tileHeader(data);
    const std::size_t blockBytes = integer ? 2 + 4 * static_cast<std::size_t>(n) : 4 * static_cast<std::size_t>(n);
    data.u16(static_cast<std::uint16_t>(blockBytes / 2));
    if (integer) {
        data.u8(0x20);
        data.u8(0);
    }
    double lo = 0, hi = 0, sum = 0;
    int count = 0;
    for (int r = 1; r <= spec.nrows; ++r)
        for (int c = 1; c <= spec.ncols; ++c) {
            const double v = spec.value(r, c);
            const bool missing = v == spec.nodata;
            if (!missing) {
                lo = count == 0 ? v : std::min(lo, v);
                hi = count == 0 ? v : std::max(hi, v);
                sum += v;
                ++count;
            }
            if (integer)
                data.i32(missing ? -2147483647 : static_cast<std::int32_t>(v));
            else
                data.f32(missing ? -FLT_MAX : static_cast<float>(v));
        }
    finishLength(data);
    data.save(directory / "w001001.adf");

    BigEndian index;
    tileHeader(index);
    index.u32(50);  // the block starts at byte 100
    index.u32(static_cast<std::uint32_t>(blockBytes / 2));
    finishLength(index);
    index.save(directory / "w001001x.adf");

    BigEndian bounds;
    bounds.f64(spec.xll);
    bounds.f64(spec.yll);
    bounds.f64(spec.xll + spec.ncols * spec.cellsize);
    bounds.f64(spec.yll + spec.nrows * spec.cellsize);
    bounds.save(directory / "dblbnd.adf");

    BigEndian stats;
    stats.f64(lo);
    stats.f64(hi);
    stats.f64(count ? sum / count : 0);
    stats.f64(0);
    stats.save(directory / "sta.adf");
}

void writeGeoTiff(const fs::path& file, const RasterSpec& spec, bool integer, bool float32)
{
    GDALAllRegister();
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (!driver)
        throw std::runtime_error("GDAL has no GTiff driver");
    GDALDatasetH ds = GDALCreate(driver, file.string().c_str(), spec.ncols, spec.nrows, 1,
                                 integer ? GDT_Int16 : float32 ? GDT_Float32 : GDT_Float64, nullptr);
    if (!ds)
        throw std::runtime_error("cannot create " + file.string());
    double gt[6] = {spec.xll, spec.cellsize, 0, spec.yll + spec.nrows * spec.cellsize, 0, -spec.cellsize};
    GDALSetGeoTransform(ds, gt);
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    GDALSetRasterNoDataValue(band, spec.nodata);
    std::vector<double> row(static_cast<std::size_t>(spec.ncols));
    CPLErr err = CE_None;
    for (int r = 1; r <= spec.nrows && err == CE_None; ++r) {
        for (int c = 1; c <= spec.ncols; ++c)
            row[static_cast<std::size_t>(c - 1)] = spec.value(r, c);
        err = GDALRasterIO(band, GF_Write, 0, r - 1, spec.ncols, 1, row.data(), spec.ncols, 1, GDT_Float64, 0, 0);
    }
    GDALClose(ds);
    if (err != CE_None)
        throw std::runtime_error("cannot write " + file.string());
}

void geoTiffFromAscii(const fs::path& ascii, const fs::path& tiff)
{
    GDALAllRegister();
    // Read as 64-bit reals, so the GeoTIFF holds the very numbers of the text.
    const char* options[] = {"DATATYPE=Float64", nullptr};
    GDALDatasetH in = GDALOpenEx(ascii.string().c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, options, nullptr);
    if (!in)
        throw std::runtime_error("cannot open " + ascii.string());
    GDALDatasetH out = GDALCreateCopy(GDALGetDriverByName("GTiff"), tiff.string().c_str(), in, FALSE, nullptr,
                                      nullptr, nullptr);
    GDALClose(in);
    if (!out)
        throw std::runtime_error("cannot write " + tiff.string());
    GDALClose(out);
}

namespace {
// Whole numbers without decimals, others exactly.
std::string numberText(double v)
{
    if (std::fabs(v) < 1e15 && v == std::floor(v))
        return std::to_string(static_cast<long long>(v));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}
}  // namespace

void writeAsciiTwin(const TempDir& dir, const std::string& name, const RasterSpec& spec, bool integer)
{
    writeGrid(dir, name, spec.ncols, spec.nrows, spec.xll, spec.yll, spec.cellsize, numberText(spec.nodata),
              [&](int r, int c) {
                  const double v = spec.value(r, c);
                  std::string t = numberText(v);
                  // A real grid shows its kind by a "." in its values.
                  if (!integer && v != spec.nodata && t.find_first_of(".e") == std::string::npos)
                      t += ".0";
                  return t;
              });
}

void writeLocationFile(const fs::path& workDir, const std::string& avgridio, const std::string& avbase,
                       const std::string& avfeat)
{
    std::ofstream out(workDir / "avgridio.txt", std::ios::binary);
    out << avgridio << "\r\n" << avbase << "\r\n" << avfeat << "\r\n";
}

namespace {
void* testSymbol(const GridLibraryBinding& binding, const char* name)
{
    void* handle = dlopen(binding.avgridio.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        throw std::runtime_error(binding.avgridio + " is not loaded");
    void* symbol = dlsym(handle, name);
    dlclose(handle);
    if (!symbol)
        throw std::runtime_error(binding.avgridio + " is not a test build");
    return symbol;
}
}  // namespace

void failEntryPoint(const GridLibraryBinding& binding, const char* name)
{
    reinterpret_cast<void (*)(const char*)>(testSymbol(binding, "TolvarGridioTestFail"))(name);
}

int openLayers(const GridLibraryBinding& binding)
{
    return reinterpret_cast<int (*)()>(testSymbol(binding, "TolvarGridioOpenLayers"))();
}

}  // namespace tolvar::test
