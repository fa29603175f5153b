#pragma once

#include "common/work_dir.h"
#include "grids/ascii_grid.h"
#include "grids/grid_checks.h"
#include "grids/registry.h"
#include "mapping/row_source.h"

#include <array>
#include <fstream>
#include <memory>
#include <string>

namespace tolvar {

// The input streams of a mapping run, one per grid slot, delivering cell
// values in file order. They close when the object goes.
class InputStreams {
public:
    ~InputStreams();
    // openlees: opens slots 0..AuxVarCount: ASCII grids past their headers,
    // library grids through `library` over the strata grid's window.
    void openlees(const WorkDir& dir, const Registry& registry, const GridPropsTable& props,
                  const GridLibraryBinding* library = nullptr);
    // Why slots 0..AuxVarCount cannot be streamed (a library grid without a
    // library that reads whole rows); empty when they can.
    static std::string refusal(const Registry& registry, const GridPropsTable& props,
                               const GridLibraryBinding& library);
    // leeswaarde: the next value of slot `ahnplus`. A grid that ends before its
    // last cell raises IoError.
    double leeswaarde(int ahnplus);
    // leesregel: on to the start of the next row.
    void leesregel(int ahnplus);
    void close();

private:
    std::array<std::unique_ptr<CellRowSource>, 16> streams_;
    const GridLibraryBinding* windowOwner_ = nullptr;  // set while a window is open
};

// The six output streams, addressed by their case-sensitive keys "MHW", "MSW",
// "MLW", "SDMHW", "SDMSW", "SDMLW". Other keys address nothing; an output
// type other than ASCII grid writes nothing.
class OutputStreams {
public:
    ~OutputStreams();
    void openbestand(TGridFileType type, const std::filesystem::path& filename,
                     const std::string& gxg, const GridHeader& header);
    void schrijfwaarde(TGridFileType type, const std::string& gxg, std::string_view predstr);
    // The same by key index (keyIndex), for the cell loop.
    void schrijfwaarde(TGridFileType type, int key, std::string_view predstr);
    void schrijfregel(const std::string& gxg);
    void sluitbestand(TGridFileType type, const std::string& gxg);
    // Index of a key, -1 for any other text.
    static int keyIndex(const std::string& gxg);

private:
    struct Stream {
        std::ofstream file;
        std::filesystem::path path;
        std::string pending;  // the row being written
    };
    void flushRow(Stream& s);
    std::array<std::unique_ptr<Stream>, 6> streams_;
};

}  // namespace tolvar
