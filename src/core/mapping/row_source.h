#pragma once

#include "grids/ascii_grid.h"
#include "grids/grid_library.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tolvar {

// The cell values of one input grid of a mapping run, row by row in file
// order (north to south, west to east).
class CellRowSource {
public:
    virtual ~CellRowSource() = default;
    // The next value of the current row.
    virtual double next() = 0;
    // On to the start of the next row.
    virtual void nextRow() = 0;
};

// An ASCII grid file, past its header.
class AsciiRowSource : public CellRowSource {
public:
    explicit AsciiRowSource(const std::filesystem::path& path);
    // A grid that ends before its last cell raises IoError.
    double next() override;
    void nextRow() override;

private:
    std::ifstream file_;
    std::string name_;
    GridValueReader reader_;
};

// A grid read through the grid-access library, one whole window row at a
// time. The caller sets the access window (the strata grid's extent) before
// the first row and clears it after the last.
class LibraryRowSource : public CellRowSource {
public:
    // Opens the layer; IoError when it does not open.
    LibraryRowSource(const GridEntryPoints& fn, const std::string& name, const std::string& path,
                     int ncols);
    ~LibraryRowSource() override;
    LibraryRowSource(const LibraryRowSource&) = delete;
    LibraryRowSource& operator=(const LibraryRowSource&) = delete;

    double next() override;
    void nextRow() override;

private:
    const GridEntryPoints& fn_;
    std::string name_;
    std::int32_t layer_ = -1;
    std::int32_t row_ = 0;
    std::size_t col_ = 0;
    bool loaded_ = false;
    std::vector<double> values_;
};

}  // namespace tolvar
