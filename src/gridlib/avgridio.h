#pragma once
// The grid-access library: the C entry points through which Tolvar reads ESRI
// binary grids and other single-band rasters. The program never links this
// library; it loads it at run time and binds these names one by one.
//
// Grid names are zero-terminated UTF-16. Every entry point returns 1 for
// success unless it says otherwise. Window rows and columns count from 0 at
// the north-west corner of the window.

#include <cstdint>

#if defined(_WIN32)
#define AVGRIDIO_API __declspec(dllexport)
#else
#define AVGRIDIO_API __attribute__((visibility("default")))
#endif

extern "C" {

// 1 when GDAL can open the name as a raster: an ESRI grid directory (or its
// hdr.adf) or a raster file.
AVGRIDIO_API std::int32_t GridExists(const char16_t* name);
// 1 when the name opens as a single-band raster with square, north-up cells.
AVGRIDIO_API std::int32_t CellLyrExists(const char16_t* name);
// Opens the layer; returns its handle (0 or above), or -1. cellType: 1 for an
// integer band (8, 16 or 32 bits), 2 otherwise. `mode` and `ioType` are kept
// and otherwise unused.
AVGRIDIO_API std::int32_t CellLayerOpen(const char16_t* name, std::int32_t mode, std::int32_t ioType,
                                        std::int32_t* cellType, double* cellSize);
AVGRIDIO_API std::int32_t CellLyrGetIO(std::int32_t layer);
AVGRIDIO_API std::int32_t CellLyrSetIO(std::int32_t layer, std::int32_t ioType);
// box: xll, yll, xur, yur of the grid's outer edges.
AVGRIDIO_API std::int32_t BndCellRead(const char16_t* name, double* box);
// Sets the one access window: the box snapped to whole cells of `cellSize`;
// the snapped box goes to windowBox.
AVGRIDIO_API std::int32_t AccessWindowSet(const double* box, double cellSize, double* windowBox);
AVGRIDIO_API std::int32_t WindowRows(void);
AVGRIDIO_API std::int32_t WindowCols(void);
AVGRIDIO_API std::int32_t AccessWindowClear(void);
// The value that marks missing cells of the floating-point layer opened last
// (-FLT_MAX when it declares none).
AVGRIDIO_API std::int32_t GetMissingFloat(double* value);
// The window column and row of a point; 0 when it lies outside the window.
AVGRIDIO_API std::int32_t XY2WindowColRow(double x, double y, std::int32_t* col, std::int32_t* row);
// A missing cell of an integer layer reads as -2147483647; one of a
// floating-point layer as GetMissingFloat's value.
AVGRIDIO_API std::int32_t GetWindowCellInt(std::int32_t layer, std::int32_t col, std::int32_t row,
                                           std::int32_t* value);
AVGRIDIO_API std::int32_t GetWindowCellFloat(std::int32_t layer, std::int32_t col, std::int32_t row,
                                             double* value);
AVGRIDIO_API std::int32_t CellLyrClose(std::int32_t layer);
AVGRIDIO_API std::int32_t GridIOSetup(void);
// Closes every layer still open.
AVGRIDIO_API std::int32_t GridIOExit(void);
AVGRIDIO_API std::int32_t DescribeGridDbl(const char16_t* name, double* cellSize, std::int32_t* cellType,
                                          double* box);
AVGRIDIO_API std::int32_t GetWindowCell(std::int32_t layer, std::int32_t col, std::int32_t row,
                                        double* value);
// A whole window row: `count` values (WindowCols of them), missing cells as
// for the single-cell reads. Our own addition for mapping row by row.
AVGRIDIO_API std::int32_t GetWindowRowFloat(std::int32_t layer, std::int32_t row, double* values,
                                            std::int32_t count);
}

// The missing value of integer layers.
inline constexpr std::int32_t kAvgridioIntMissing = -2147483647;
