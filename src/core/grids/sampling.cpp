#include "grids/sampling.h"
#include "common/index.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "common/fields.h"
#include "pointdata/point_editor.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
constexpr const char* kSearching = "Searching aux.info for point-GxG";
constexpr const char* kReadError = "read error\r\n";
constexpr const char* kCannotOpenLayer = ": cannot open grid layer with CellLayerOpen;\r\n";
constexpr const char* kCannotReadBounds = ": cannot read grid file with BndCellRead;\r\n";
constexpr const char* kNoWindowAccess = ": no access with AccessWindowSet;\r\n";
constexpr const char* kNoPointAccess = ": no access with XY2WindowColRow;\r\n";
constexpr const char* kNoIntCell = ": no access with GetWindowCellInt;\r\n";
constexpr const char* kNoFloatCell = ": no access with GetWindowCellFloat;\r\n";

std::string joinedLine(const std::vector<std::string>& cells, std::size_t from = 0)
{
    std::string line;
    for (std::size_t c = from; c < cells.size(); ++c) {
        line += cells[c];
        line += ';';
    }
    return line;
}
}  // namespace

// --- SORTXY -------------------------------------------------------------------

int SORTXY(const WorkDir& dir, double xll, double yll, double cellSize, TextTable& table,
           PointColumns& columns)
{
    columns = readTempTxt(dir);
    const fs::path tempCsv = dir.resolve("temp.csv");
    readSemicolonTable(tempCsv, 3, table);

    // Snap every point to its cell centre; the sort key is the cell, north to
    // south and west to east, then the rest of the line.
    struct Entry {
        bool located = false;
        long long iy = 0, ix = 0;
        std::string rest;
        std::vector<std::string> cells;
    };
    std::vector<Entry> entries;
    const int xCol = columns[kX] >= 0 ? columns[kX] + 3 : -1;
    const int yCol = columns[kY] >= 0 ? columns[kY] + 3 : -1;
    for (int p = 0; p < table.rowCount(); ++p) {
        Entry e;
        if (xCol >= 0 && yCol >= 0 && xCol < table.colCount() && yCol < table.colCount()) {
            const auto x = parseReal(table.cell(xCol, p));
            const auto y = parseReal(table.cell(yCol, p));
            if (x && y) {
                const double ix = std::trunc((*x - xll) / cellSize);
                const double iy = std::trunc((*y - yll) / cellSize);
                const double xnew = xll + cellSize * ix + cellSize / 2;
                const double ynew = yll + cellSize * iy + cellSize / 2;
                table.cell(1, p) = fixed(xnew, 9, 2);
                table.cell(2, p) = fixed(ynew, 9, 2);
                table.cell(0, p) = fixed(700000.0 - ynew, 10, 2);
                e.located = true;
                // Far outside any grid a cell number is only a sort key.
                e.ix = roundToInteger(ix);
                e.iy = roundToInteger(iy);
            }
        }
        if (p > 0) {
            e.cells = table.rows[at(p)];
            e.rest = joinedLine(e.cells, 1);
            entries.push_back(std::move(e));
        }
    }
    table.cell(0, 0) = "Ydum";
    table.cell(1, 0) = "Xnew";
    table.cell(2, 0) = "Ynew";

    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.located != b.located)
            return a.located;
        if (a.located) {
            if (a.iy != b.iy)
                return a.iy > b.iy;
            if (a.ix != b.ix)
                return a.ix < b.ix;
        }
        return a.rest < b.rest;
    });

    // The sorted lines, Ydum dropped, go through Sorted.csv as the table's
    // new content.
    const fs::path sorted = dir.path() / "Sorted.csv";
    std::error_code ec;
    try {
        {
            std::ofstream out = openForWriting(sorted);
            TextWriter w(out);
            w.line(joinedLine(table.rows[0], 1));
            for (const Entry& e : entries)
                w.line(e.rest);
            out.flush();
            checkWritten(out, sorted);
        }
        readSemicolonTable(sorted, 0, table);
    } catch (const IoError&) {
        fs::remove(sorted, ec);  // a scratch file: no part of it is left
        throw;
    }
    fs::remove(sorted, ec);

    for (int role = 0; role < kPointRoleCount; ++role)
        if (columns[role] >= 0)
            columns[role] += 2;
    columns[kX] = 0;
    columns[kY] = 1;
    return table.rowCount() - 1;
}

// --- one grid at sorted points --------------------------------------------------

struct AsciiGridSampler::Impl {
    std::ifstream in;
    std::unique_ptr<GridValueReader> reader;
};

AsciiGridSampler::AsciiGridSampler(const fs::path& path, const GridHeader& header)
    : impl_(std::make_unique<Impl>()), header_(header)
{
    impl_->in = openForReading(path);
    {
        GridValueReader first(impl_->in, path.string());
        first.skipHeader();
        std::string line;
        first.readLine(line);
        cellType_ = cellTypeFromLine(line);
    }
    impl_->in.clear();
    impl_->in.seekg(0);
    impl_->reader = std::make_unique<GridValueReader>(impl_->in, path.string());
    impl_->reader->skipHeader();
}

AsciiGridSampler::~AsciiGridSampler() = default;

double AsciiGridSampler::lookup(double x, double y)
{
    const double cs = header_.cellsize;
    const long long col = roundToInteger((x - header_.xllcorner + cs / 2) / cs);
    const long long row = roundToInteger((cs / 2 + header_.yllcorner - y) / cs + static_cast<double>(header_.nrows));
    GridValueReader& r = *impl_->reader;
    bool skipped = false;
    while (curRow_ < row) {
        if (r.atEnd())
            return z_ = MissingValueCode;
        r.skipLine();
        ++curRow_;
        skipped = true;
    }
    if (skipped)
        curCol_ = 0;
    while (curCol_ < col) {
        if (curCol_ + 1 < col) {
            if (!r.skipValue())
                return z_ = MissingValueCode;
        } else {
            const auto value = r.readValue();
            if (!value)
                return z_ = MissingValueCode;
            z_ = *value;
        }
        ++curCol_;
    }
    if (isMissingSample(z_, header_.nodata))
        z_ = MissingValueCode;
    return z_;
}

LibraryGridSampler::LibraryGridSampler(const GridEntryPoints& fn, std::string name, const std::string& path)
    : fn_(fn), name_(std::move(name)), path16_(gridName16(path))
{
}

LibraryGridSampler::~LibraryGridSampler()
{
    close();
}

bool LibraryGridSampler::open(std::string& errors)
{
    layer_ = fn_.CellLayerOpen(path16_.c_str(), 2, 2, &cellType_, &cellSize_);
    if (layer_ < 0) {
        errors += name_ + kCannotOpenLayer;
        return false;
    }
    fn_.CellLyrGetIO(layer_);
    return true;
}

bool LibraryGridSampler::lookup(double x, double y, double& z, std::string& errors)
{
    double box[4] = {0, 0, 0, 0};
    double window[4] = {0, 0, 0, 0};
    if (fn_.BndCellRead(path16_.c_str(), box) != 1) {
        errors += name_ + kCannotReadBounds;
        return false;
    }
    if (fn_.AccessWindowSet(box, cellSize_, window) != 1) {
        errors += name_ + kNoWindowAccess;
        return false;
    }
    bool ok = false;
    std::int32_t a = 0, b = 0;
    if (fn_.XY2WindowColRow(x, y, &a, &b) != 1) {
        errors += name_ + kNoPointAccess;
    } else if (cellType_ == 1) {
        std::int32_t value = 0;
        ok = fn_.GetWindowCellInt(layer_, a, b, &value) == 1;
        if (ok)
            z = value;
        else
            errors += name_ + kNoIntCell;
    } else {
        double value = 0;
        ok = fn_.GetWindowCellFloat(layer_, a, b, &value) == 1 && std::isfinite(value);
        if (ok)
            z = value;
        else
            errors += name_ + kNoFloatCell;
    }
    fn_.AccessWindowClear();
    return ok;
}

bool LibraryGridSampler::close()
{
    if (layer_ < 0)
        return true;
    const std::int32_t layer = layer_;
    layer_ = -1;
    return fn_.CellLyrClose(layer) == 1;
}

std::string sampledText(double z, int cellType)
{
    if (z == MissingValueCode)
        return "missing";
    return fixed(z, 10, cellType == 1 ? 0 : 3);
}

// --- the sampling step ------------------------------------------------------------

namespace {
// One library grid at every point. A failed lookup leaves the point missing
// (not the value of the point before); the failures of the grid come in one
// message, each distinct line once.
void sampleLibraryGrid(const WorkDir& dir, const std::string& name, double nodata,
                       const GridLibraryBinding* library, SamplingState& state,
                       const std::vector<char>& onGrid, const std::vector<double>& xs,
                       const std::vector<double>& ys, int column, bool strata, Feedback& feedback)
{
    TextTable& table = state.SampleTable;
    std::string errors;
    std::vector<double> z(at(state.NoXY + 1), MissingValueCode);
    int cellType = 2;
    bool closed = true;
    if (!library || !library->usable()) {
        errors = name + kLibraryUnavailable + "\r\n";
    } else {
        LibraryGridSampler sampler(library->fn, name, libraryPath(dir, name));
        if (sampler.open(errors)) {
            cellType = sampler.cellType();
            std::vector<std::string> seen;
            for (int p = 1; p <= state.NoXY; ++p) {
                if (!onGrid[at(p)])
                    continue;
                std::string line;
                double value = MissingValueCode;
                if (sampler.lookup(xs[at(p)], ys[at(p)], value, line)) {
                    z[at(p)] = isMissingSample(value, nodata) ? MissingValueCode : value;
                } else if (std::find(seen.begin(), seen.end(), line) == seen.end()) {
                    seen.push_back(line);
                    errors += line;
                }
            }
            closed = sampler.close();
        }
    }
    for (int p = 1; p <= state.NoXY; ++p) {
        const std::string text = sampledText(z[at(p)], cellType);
        table.cell(column, p) = text;
        if (strata && z[at(p)] != MissingValueCode)
            state.StrataCodes.push_back(text);
    }
    if (!errors.empty())
        feedback.message(kReadError + errors);
    if (!closed)
        feedback.message("Closure of grid " + name + " with CellLyrClose failed.");
}
}  // namespace

void sampleGrids(const WorkDir& dir, const Registry& registry, const GridPropsTable& props,
                 SamplingState& state, Feedback& feedback, const GridLibraryBinding* library)
{
    TextTable& table = state.SampleTable;
    state.FirstSampledColumn = table.colCount();
    feedback.statusText(kSearching);

    for (int p = 1; p <= state.NoXY; ++p)
        for (Mxw m : kAllMxw) {
            const int col = state.columns[mxwRole(m)];
            if (col < 0 || col >= table.colCount())
                continue;
            const double value = parseReal(table.cell(col, p)).value_or(0.0);
            MxwRange& range = state.ranges[m];
            if (value > range.hi)
                range.hi = value;
            if (value < range.lo)
                range.lo = value;
        }

    // Where every point lies on the strata grid; points off the grid, or
    // without coordinates, are sampled as missing.
    const GridHeader strata = headerOf(props[0]);
    std::vector<char> onGrid(at(state.NoXY + 1), 0);
    std::vector<double> xs(at(state.NoXY + 1)), ys(at(state.NoXY + 1));
    for (int p = 1; p <= state.NoXY; ++p) {
        const auto x = parseReal(table.cell(0, p));
        const auto y = parseReal(table.cell(1, p));
        if (!x || !y)
            continue;
        const double cs = strata.cellsize;
        const double col = roundHalfEven((*x - strata.xllcorner + cs / 2) / cs);
        const double row = roundHalfEven((cs / 2 + strata.yllcorner - *y) / cs +
                                         static_cast<double>(strata.nrows));
        onGrid[at(p)] = col >= 1 && col <= static_cast<double>(strata.ncols) && row >= 1 &&
                        row <= static_cast<double>(strata.nrows);
        xs[at(p)] = *x;
        ys[at(p)] = *y;
    }

    for (int r = 0; r <= registry.AuxVarCount; ++r) {
        feedback.progress(r, registry.AuxVarCount, Stage::titled(kSearching));
        table.appendColumn(registry.labelCaption(r));
        const int column = table.colCount() - 1;
        const std::string& name = registry.HulpVarRecs[at(r)].PFileName;
        if (props[at(r)][kKind] == 0.0) {
            sampleLibraryGrid(dir, name, props[at(r)][kNodata], library, state, onGrid, xs, ys, column,
                              r == 0, feedback);
            continue;
        }
        std::unique_ptr<AsciiGridSampler> sampler =
            std::make_unique<AsciiGridSampler>(dir.resolve(name), headerOf(props[at(r)]));
        for (int p = 1; p <= state.NoXY; ++p) {
            double z = MissingValueCode;
            if (sampler && onGrid[at(p)])
                z = sampler->lookup(xs[at(p)], ys[at(p)]);
            const std::string text = sampledText(z, sampler ? sampler->cellType() : 2);
            table.cell(column, p) = text;
            if (r == 0 && z != MissingValueCode)
                state.StrataCodes.push_back(text);
        }
    }
    std::sort(state.StrataCodes.begin(), state.StrataCodes.end());

    writeSemicolonTable(dir.path() / "data.csv", table);
    writeScatterdat(dir.path() / "scatterdat.txt", table, state.NoXY, registry);
}

void writeScatterdat(const fs::path& path, const TextTable& table, int noXY,
                     const Registry& registry)
{
    std::ofstream out = openForWriting(path);
    TextWriter w(out);
    w.line(std::to_string(registry.AuxVarCount));
    std::vector<int> marked;
    for (int c = 0; c < table.colCount(); ++c) {
        bool mark = false;
        for (int r = 1; r <= registry.AuxVarCount; ++r)
            if (table.cell(c, 0) == registry.labelCaption(r)) {
                mark = true;
                w.line(registry.labelCaption(r));
            }
        if (mark)
            marked.push_back(c);
    }
    std::string line;
    for (int p = 1; p <= noXY; ++p) {
        line.clear();
        for (int c : marked) {
            const std::string& cell = table.cell(c, p);
            if (parseReal(cell)) {
                line += cell;
                line += ' ';
            } else {
                line += " -999 ";
            }
        }
        w.line(line);
    }
    out.flush();
    checkWritten(out, path);
}

}  // namespace tolvar
