// The grid-access library over GDAL: its AIG driver reads ESRI binary grids,
// its other drivers GeoTIFF and the rest. One access window at a time, as the
// callers expect; layers are handles into a table of open datasets.
#include "gridlib/avgridio.h"

#include <gdal.h>
#include <cpl_conv.h>
#include <cpl_error.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr double kFloatMissing = -FLT_MAX;

struct Geometry {
    int cols = 0;
    int rows = 0;
    double xll = 0, yll = 0, xur = 0, yur = 0;
    double cellSize = 0;
};

// A block larger than this is not read whole for a row.
constexpr double kLargeBlockBytes = 16.0 * 1024 * 1024;

struct Layer {
    GDALDatasetH dataset = nullptr;
    GDALRasterBandH band = nullptr;
    Geometry geo;
    int cellType = 2;
    int ioType = 0;
    bool hasNodata = false;
    double nodata = 0;     // in the band's own precision
    double missing = 0;    // what a missing cell reads as
    long cachedRow = -1;   // the layer row held in `row`
    std::vector<double> row;
    std::string name;

    ~Layer()
    {
        if (dataset)
            GDALClose(dataset);
    }
};

struct Window {
    bool set = false;
    Geometry geo;
};

std::vector<std::unique_ptr<Layer>> layers;  // index = handle
Window window;
double lastMissing = kFloatMissing;

#ifdef TOLVAR_GRIDIO_TEST_SWITCHES
std::set<std::string> failing;
bool fails(const char* entryPoint)
{
    return failing.count(entryPoint) > 0;
}
#else
constexpr bool fails(const char*)
{
    return false;
}
#endif

void setUp()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Failures are answered through the results; GDAL's own texts would
        // only clutter the terminal.
        CPLSetErrorHandler(CPLQuietErrorHandler);
        GDALAllRegister();
    });
}

std::string utf8(const char16_t* name)
{
    std::string out;
    if (!name)
        return out;
    for (const char16_t* p = name; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

GDALDatasetH openRaster(const std::string& name)
{
    if (name.empty())
        return nullptr;
    setUp();
    return GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
}

bool isIntegerType(GDALDataType t)
{
    return t == GDT_Byte || t == GDT_UInt16 || t == GDT_Int16 || t == GDT_Int32;
}

// Square, north-up cells of one band; false for anything else.
bool geometryOf(GDALDatasetH ds, Geometry& geo)
{
    if (GDALGetRasterCount(ds) != 1)
        return false;
    double gt[6];
    if (GDALGetGeoTransform(ds, gt) != CE_None)
        return false;
    if (gt[2] != 0.0 || gt[4] != 0.0 || gt[1] <= 0.0 || gt[1] != -gt[5])
        return false;
    geo.cols = GDALGetRasterXSize(ds);
    geo.rows = GDALGetRasterYSize(ds);
    geo.cellSize = gt[1];
    geo.xll = gt[0];
    geo.yur = gt[3];
    geo.xur = gt[0] + geo.cols * gt[1];
    geo.yll = gt[3] + geo.rows * gt[5];
    return geo.cols > 0 && geo.rows > 0;
}

Layer* layerOf(std::int32_t handle)
{
    if (handle < 0 || static_cast<std::size_t>(handle) >= layers.size())
        return nullptr;
    return layers[static_cast<std::size_t>(handle)].get();
}

const Layer* openLayerNamed(const std::string& name)
{
    for (const auto& layer : layers)
        if (layer && layer->name == name)
            return layer.get();
    return nullptr;
}

// The value of window cell (col, row) of a layer, missing cells normalised.
bool windowCell(Layer& layer, std::int32_t col, std::int32_t row, double& value)
{
    if (!window.set || col < 0 || row < 0 || col >= window.geo.cols || row >= window.geo.rows)
        return false;
    const double cs = window.geo.cellSize;
    const double x = window.geo.xll + (col + 0.5) * cs;
    const double y = window.geo.yur - (row + 0.5) * cs;
    const Geometry& g = layer.geo;
    const double lc = std::floor((x - g.xll) / g.cellSize);
    const double lr = std::floor((g.yur - y) / g.cellSize);
    if (lc < 0 || lr < 0 || lc >= g.cols || lr >= g.rows) {
        value = layer.missing;
        return true;
    }
    if (layer.cachedRow != static_cast<long>(lr)) {
        layer.row.resize(static_cast<std::size_t>(g.cols));
        if (GDALRasterIO(layer.band, GF_Read, 0, static_cast<int>(lr), g.cols, 1, layer.row.data(), g.cols,
                         1, GDT_Float64, 0, 0) != CE_None) {
            layer.cachedRow = -1;
            return false;
        }
        layer.cachedRow = static_cast<long>(lr);
    }
    const double v = layer.row[static_cast<std::size_t>(lc)];
    value = (std::isnan(v) || (layer.hasNodata && v == layer.nodata)) ? layer.missing : v;
    return true;
}

}  // namespace

extern "C" {

std::int32_t GridExists(const char16_t* name)
{
    if (fails("GridExists"))
        return 0;
    GDALDatasetH ds = openRaster(utf8(name));
    if (!ds)
        return 0;
    GDALClose(ds);
    return 1;
}

std::int32_t CellLyrExists(const char16_t* name)
{
    if (fails("CellLyrExists"))
        return 0;
    GDALDatasetH ds = openRaster(utf8(name));
    if (!ds)
        return 0;
    Geometry geo;
    const bool ok = geometryOf(ds, geo);
    GDALClose(ds);
    return ok ? 1 : 0;
}

std::int32_t CellLayerOpen(const char16_t* name, std::int32_t, std::int32_t ioType, std::int32_t* cellType,
                           double* cellSize)
{
    if (fails("CellLayerOpen"))
        return -1;
    auto layer = std::make_unique<Layer>();
    layer->name = utf8(name);
    layer->dataset = openRaster(layer->name);
    if (!layer->dataset || !geometryOf(layer->dataset, layer->geo))
        return -1;
    layer->band = GDALGetRasterBand(layer->dataset, 1);
    const GDALDataType type = GDALGetRasterDataType(layer->band);
    if (GDALDataTypeIsComplex(type))
        return -1;
    // Rows are read one at a time, and GDAL reads a whole block for each. A
    // block of many rows (a TIFF of tall strips, or of huge tiles) is read
    // straight from the file instead; smaller blocks keep the block cache,
    // which is much faster for them. A setting of the user's own holds.
    int blockCols = 0, blockRows = 0;
    GDALGetBlockSize(layer->band, &blockCols, &blockRows);
    const double blockBytes = static_cast<double>(blockCols) * blockRows * GDALGetDataTypeSizeBytes(type);
    if (blockBytes > kLargeBlockBytes && !CPLGetConfigOption("GTIFF_DIRECT_IO", nullptr)) {
        GDALClose(layer->dataset);
        CPLSetThreadLocalConfigOption("GTIFF_DIRECT_IO", "YES");
        layer->dataset = openRaster(layer->name);
        CPLSetThreadLocalConfigOption("GTIFF_DIRECT_IO", nullptr);
        if (!layer->dataset || !geometryOf(layer->dataset, layer->geo))
            return -1;
        layer->band = GDALGetRasterBand(layer->dataset, 1);
    }
    layer->cellType = isIntegerType(type) ? 1 : 2;
    layer->ioType = ioType;
    int has = 0;
    const double nodata = GDALGetRasterNoDataValue(layer->band, &has);
    layer->hasNodata = has != 0 && !std::isnan(nodata);
    layer->nodata = type == GDT_Float32 ? static_cast<double>(static_cast<float>(nodata)) : nodata;
    if (layer->cellType == 1)
        layer->missing = kAvgridioIntMissing;
    else
        layer->missing = layer->hasNodata ? layer->nodata : kFloatMissing;
    lastMissing = layer->missing;
    if (cellType)
        *cellType = layer->cellType;
    if (cellSize)
        *cellSize = layer->geo.cellSize;
    std::size_t handle = 0;
    while (handle < layers.size() && layers[handle])
        ++handle;
    if (handle == layers.size())
        layers.push_back(nullptr);
    layers[handle] = std::move(layer);
    return static_cast<std::int32_t>(handle);
}

std::int32_t CellLyrGetIO(std::int32_t handle)
{
    if (fails("CellLyrGetIO"))
        return 0;
    const Layer* layer = layerOf(handle);
    return layer ? layer->ioType : 0;
}

std::int32_t CellLyrSetIO(std::int32_t handle, std::int32_t ioType)
{
    if (fails("CellLyrSetIO"))
        return 0;
    Layer* layer = layerOf(handle);
    if (!layer)
        return 0;
    layer->ioType = ioType;
    return 1;
}

std::int32_t BndCellRead(const char16_t* name, double* box)
{
    if (fails("BndCellRead") || !box)
        return 0;
    const std::string file = utf8(name);
    Geometry geo;
    if (const Layer* open = openLayerNamed(file)) {
        geo = open->geo;
    } else {
        GDALDatasetH ds = openRaster(file);
        if (!ds)
            return 0;
        const bool ok = geometryOf(ds, geo);
        GDALClose(ds);
        if (!ok)
            return 0;
    }
    box[0] = geo.xll;
    box[1] = geo.yll;
    box[2] = geo.xur;
    box[3] = geo.yur;
    return 1;
}

std::int32_t AccessWindowSet(const double* box, double cellSize, double* windowBox)
{
    if (fails("AccessWindowSet") || !box || !(cellSize > 0))
        return 0;
    const double cols = std::nearbyint((box[2] - box[0]) / cellSize);
    const double rows = std::nearbyint((box[3] - box[1]) / cellSize);
    if (!(cols >= 1 && rows >= 1 && cols < 2147483647.0 && rows < 2147483647.0))
        return 0;
    Geometry& g = window.geo;
    g.cols = static_cast<int>(cols);
    g.rows = static_cast<int>(rows);
    g.cellSize = cellSize;
    g.xll = box[0];
    g.yll = box[1];
    g.xur = box[0] + cols * cellSize;
    g.yur = box[1] + rows * cellSize;
    window.set = true;
    if (windowBox) {
        windowBox[0] = g.xll;
        windowBox[1] = g.yll;
        windowBox[2] = g.xur;
        windowBox[3] = g.yur;
    }
    return 1;
}

std::int32_t WindowRows(void)
{
    if (fails("WindowRows"))
        return 0;
    return window.set ? window.geo.rows : 0;
}

std::int32_t WindowCols(void)
{
    if (fails("WindowCols"))
        return 0;
    return window.set ? window.geo.cols : 0;
}

std::int32_t AccessWindowClear(void)
{
    if (fails("AccessWindowClear"))
        return 0;
    window = Window{};
    return 1;
}

std::int32_t GetMissingFloat(double* value)
{
    if (fails("GetMissingFloat") || !value)
        return 0;
    *value = lastMissing;
    return 1;
}

std::int32_t XY2WindowColRow(double x, double y, std::int32_t* col, std::int32_t* row)
{
    if (fails("XY2WindowColRow") || !window.set || !col || !row)
        return 0;
    const Geometry& g = window.geo;
    const double c = std::floor((x - g.xll) / g.cellSize);
    const double r = std::floor((g.yur - y) / g.cellSize);
    if (!(c >= 0 && r >= 0 && c < g.cols && r < g.rows))
        return 0;
    *col = static_cast<std::int32_t>(c);
    *row = static_cast<std::int32_t>(r);
    return 1;
}

std::int32_t GetWindowCellInt(std::int32_t handle, std::int32_t col, std::int32_t row, std::int32_t* value)
{
    Layer* layer = layerOf(handle);
    double v = 0;
    if (fails("GetWindowCellInt") || !layer || !value || !windowCell(*layer, col, row, v))
        return 0;
    if (v == layer->missing || !(v >= -2147483647.0 && v <= 2147483647.0))
        *value = kAvgridioIntMissing;
    else
        *value = static_cast<std::int32_t>(v);
    return 1;
}

std::int32_t GetWindowCellFloat(std::int32_t handle, std::int32_t col, std::int32_t row, double* value)
{
    Layer* layer = layerOf(handle);
    if (fails("GetWindowCellFloat") || !layer || !value)
        return 0;
    return windowCell(*layer, col, row, *value) ? 1 : 0;
}

std::int32_t GetWindowCell(std::int32_t handle, std::int32_t col, std::int32_t row, double* value)
{
    Layer* layer = layerOf(handle);
    if (fails("GetWindowCell") || !layer || !value)
        return 0;
    return windowCell(*layer, col, row, *value) ? 1 : 0;
}

std::int32_t GetWindowRowFloat(std::int32_t handle, std::int32_t row, double* values, std::int32_t count)
{
    Layer* layer = layerOf(handle);
    if (fails("GetWindowRowFloat") || !layer || !values || !window.set || count != window.geo.cols)
        return 0;
    for (std::int32_t c = 0; c < count; ++c)
        if (!windowCell(*layer, c, row, values[c]))
            return 0;
    return 1;
}

std::int32_t CellLyrClose(std::int32_t handle)
{
    if (!layerOf(handle))
        return 0;
    // The layer is closed even when the test switch reports a failure, so a
    // failing close never leaves a dataset open.
    layers[static_cast<std::size_t>(handle)].reset();
    return fails("CellLyrClose") ? 0 : 1;
}

std::int32_t GridIOSetup(void)
{
    if (fails("GridIOSetup"))
        return 0;
    setUp();
    return 1;
}

std::int32_t GridIOExit(void)
{
    if (fails("GridIOExit"))
        return 0;
    layers.clear();
    window = Window{};
    return 1;
}

std::int32_t DescribeGridDbl(const char16_t* name, double* cellSize, std::int32_t* cellType, double* box)
{
    if (fails("DescribeGridDbl"))
        return 0;
    std::int32_t type = 0;
    double size = 0;
    const std::int32_t handle = CellLayerOpen(name, 1, 2, &type, &size);
    if (handle < 0)
        return 0;
    const Geometry geo = layers[static_cast<std::size_t>(handle)]->geo;
    layers[static_cast<std::size_t>(handle)].reset();
    if (cellSize)
        *cellSize = size;
    if (cellType)
        *cellType = type;
    if (box) {
        box[0] = geo.xll;
        box[1] = geo.yll;
        box[2] = geo.xur;
        box[3] = geo.yur;
    }
    return 1;
}

#ifdef TOLVAR_GRIDIO_TEST_SWITCHES
// Test builds only: the named entry point reports failure from now on; a null
// name lets every entry point work again.
AVGRIDIO_API void TolvarGridioTestFail(const char* entryPoint)
{
    if (entryPoint)
        failing.insert(entryPoint);
    else
        failing.clear();
}
// Test builds only: the number of layers still open.
AVGRIDIO_API int TolvarGridioOpenLayers(void)
{
    int n = 0;
    for (const auto& layer : layers)
        n += layer != nullptr;
    return n;
}
#endif
}
