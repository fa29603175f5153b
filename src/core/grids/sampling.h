#pragma once

#include "common/mxw.h"
#include "common/text_table.h"
#include "common/feedback.h"
#include "common/work_dir.h"
#include "grids/grid_checks.h"
#include "grids/registry.h"
#include "pointdata/point_columns.h"

#include <array>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr double MissingValueCode = -9999.0;

// The running lowest and highest observed MHW, MSW, MLW (for the map-status
// grey scale); they are only ever widened.
struct MxwRange {
    double lo = 999.0;
    double hi = -999.0;
};
using MxwRanges = PerMxw<MxwRange>;

// SORTXY: reads temp.txt and temp.csv (the run removes them once the grids
// are sampled, so a run stopped before can start again), snaps the points to
// the centres of the strata grid's cells, sorts them north to south and west
// to east, and fills `table` with Xnew, Ynew and the columns of temp.csv.
// Returns the number of points. PointColumns are shifted to the new columns.
int SORTXY(const WorkDir& dir, double xll, double yll, double cellSize, TextTable& table,
           PointColumns& columns);

// Looks up one ASCII grid at sorted points, reading the file forward once.
class AsciiGridSampler {
public:
    AsciiGridSampler(const std::filesystem::path& path, const GridHeader& header);
    ~AsciiGridSampler();
    AsciiGridSampler(const AsciiGridSampler&) = delete;
    AsciiGridSampler& operator=(const AsciiGridSampler&) = delete;

    // 1 integer values, 2 floating-point values (from the first value line).
    int cellType() const { return cellType_; }
    // Zoek_XY_grid for a cell centre: the value, or MissingValueCode for a
    // missing cell or one past the end of the file. Points must come in file order.
    double lookup(double x, double y);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    GridHeader header_;
    int cellType_ = 1;
    long long curRow_ = 1;
    long long curCol_ = 0;
    double z_ = MissingValueCode;
};

// Looks up one grid through the grid-access library: the layer is opened
// once for the grid and closed after its last point; every lookup sets and
// clears the access window around its cell.
class LibraryGridSampler {
public:
    LibraryGridSampler(const GridEntryPoints& fn, std::string name, const std::string& path);
    ~LibraryGridSampler();
    LibraryGridSampler(const LibraryGridSampler&) = delete;
    LibraryGridSampler& operator=(const LibraryGridSampler&) = delete;

    // CellLayerOpen and CellLyrGetIO; false (with its error line) when the
    // layer does not open.
    bool open(std::string& errors);
    int cellType() const { return cellType_; }
    // The cell at (x, y); false (with its error line) when a step fails.
    bool lookup(double x, double y, double& z, std::string& errors);
    // CellLyrClose; false when it does not report success.
    bool close();

private:
    const GridEntryPoints& fn_;
    std::string name_;
    std::u16string path16_;
    std::int32_t layer_ = -1;
    std::int32_t cellType_ = 2;
    double cellSize_ = 0;
};

// The text of a sampled value: right-aligned in 10, no decimals for an
// integer grid and 3 otherwise, or "missing".
std::string sampledText(double z, int cellType);

struct SamplingState {
    TextTable SampleTable;
    PointColumns columns;
    int NoXY = 0;
    int FirstSampledColumn = 0;
    std::vector<std::string> StrataCodes;
    MxwRanges ranges;
};

// The sampling step: appends one column per grid slot (strata first) with the
// value of every point; points outside the strata grid or without coordinates
// get "missing" everywhere. Fills StrataCodes and widens the MxW ranges.
// Library grids are read through `library`; their failed lookups are
// reported in one "read error" message per grid and sampled as missing.
void sampleGrids(const WorkDir& dir, const Registry& registry, const GridPropsTable& props,
                 SamplingState& state, Feedback& feedback, const GridLibraryBinding* library = nullptr);

// scatterdat.txt: the sampled table as the scatterplots read it.
void writeScatterdat(const std::filesystem::path& path, const TextTable& table, int noXY,
                     const Registry& registry);

}  // namespace tolvar
