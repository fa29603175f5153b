#include "grids/grid_checks.h"
#include "common/index.h"

#include "common/io_error.h"

#include <algorithm>
#include <filesystem>

namespace tolvar {

namespace {
constexpr const char* kCorrectAndCheckAgain = "Correct these errors and check again";
constexpr const char* kCannotSetProperties = "Cannot set grid properties. Better stop.";
constexpr const char* kCrLf = "\r\n";
constexpr const char* kNotFoundWithGridExists = ": grid file not found with GridExists;";
constexpr const char* kNoLayer = ": gridlaag niet gevonden met CellLyrExists;";
constexpr const char* kCannotOpenLayer = ": cannot open grid layer with CellLayerOpen;";
constexpr const char* kUnreadableBounds = ": gridfile unreadable with BndCellRead;";
constexpr const char* kNoWindowAccess = ": no access with AccessWindowSet;";
constexpr const char* kEmptyWindow = ": no cells in the window of WindowRows and WindowCols;";
constexpr const char* kNoMissingCode = ": no missing-data code with GetMissingFloat;";
constexpr const char* kCannotCloseLayer = ": cannot close grid layer with CellLyrClose;";

struct Difference {
    int prop;
    const char* text;
};
constexpr Difference kDifferences[] = {
    {kNcols, " has different number of columns than "},
    {kNrows, " has different number of rows than "},
    {kXll, " has other western boundary than "},
    {kYll, " has other southern boundary than "},
    {kCellsize, " has other cell size than "},
    {kNodata, " has other missing-data code than "},
};

}  // namespace

void InitGridProps(GridPropsTable& props)
{
    for (GridPropsRow& row : props)
        row.fill(-1.0);
}

GridHeader headerOf(const GridPropsRow& row)
{
    return GridHeader{static_cast<std::int64_t>(row[kNcols]), static_cast<std::int64_t>(row[kNrows]),
                      row[kXll], row[kYll], row[kCellsize], row[kNodata]};
}

void clearGroupMembership(GroupMembershipTable& membership)
{
    for (auto& row : membership)
        row.fill(-1);
}

std::string libraryPath(const WorkDir& dir, const std::string& name)
{
    const std::filesystem::path p(name);
    return p.is_absolute() ? name : dir.resolve(name).string();
}

namespace {
bool onDisk(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) || check5adfOK(path);
}
}  // namespace

bool Check_Fysiek_Aanwezig(const WorkDir& dir, const std::string& name, TGridFileType& kind,
                           std::string& foutmelding, bool& allGridsPresent,
                           const GridLibraryBinding* library)
{
    bool present = false;
    if (kind == TGridFileType::asciigrid) {
        present = dir.fileExists(name);
        if (!present)
            foutmelding += "<" + name + "> not found;" + kCrLf;
    } else {
        const std::string path = libraryPath(dir, name);
        present = onDisk(path);
        if (!present) {
            foutmelding += "<" + name + "> not found;" + kCrLf;
        } else if (library && library->usable() &&
                   library->fn.GridExists(gridName16(path).c_str()) != 1) {
            present = false;
            foutmelding += name + kNotFoundWithGridExists + kCrLf;
        }
    }
    if (allGridsPresent)
        allGridsPresent = present;
    return present;
}

namespace {
// The properties of a library grid in the call order of the library; the
// error lines of this grid alone go to `errors`.
bool readLibraryProps(const GridEntryPoints& f, const std::string& name, const std::string& path,
                      GridPropsRow& row, std::string& errors)
{
    const std::u16string n = gridName16(path);
    if (f.CellLyrExists(n.c_str()) != 1) {
        errors += name + kNoLayer + kCrLf;
        return false;
    }
    std::int32_t cellType = 0;
    double cellSize = 0;
    const std::int32_t layer = f.CellLayerOpen(n.c_str(), 1, 2, &cellType, &cellSize);
    if (layer < 0) {
        errors += name + kCannotOpenLayer + kCrLf;
        return false;
    }
    double box[4] = {0, 0, 0, 0};
    double window[4] = {0, 0, 0, 0};
    double ncols = -1, nrows = -1, nodata = -1;
    bool ok = false;
    if (f.BndCellRead(n.c_str(), box) != 1) {
        errors += name + kUnreadableBounds + kCrLf;
    } else {
        std::copy(box, box + 4, window);
        if (f.AccessWindowSet(box, cellSize, window) != 1) {
            errors += name + kNoWindowAccess + kCrLf;
        } else {
            nrows = f.WindowRows();
            ncols = f.WindowCols();
            f.AccessWindowClear();
            ok = true;
            if (nrows < 1 || ncols < 1) {
                errors += name + kEmptyWindow + kCrLf;
                ok = false;
            } else if (cellType == 1) {
                nodata = kAvgridioIntMissing;
            } else if (f.GetMissingFloat(&nodata) != 1) {
                errors += name + kNoMissingCode + kCrLf;
                ok = false;
            }
        }
    }
    if (f.CellLyrClose(layer) != 1) {
        errors += name + kCannotCloseLayer + kCrLf;
        ok = false;
    }
    if (ok)
        row = {0.0, ncols, nrows, box[0], box[1], cellSize, nodata};
    return ok;
}
}  // namespace

bool VulPropGrid(const WorkDir& dir, const std::string& name, TGridFileType kind, int index,
                 GridPropsTable& props, Feedback& feedback, const GridLibraryBinding* library)
{
    if (kind == TGridFileType::asciigrid) {
        const GridHeader h = readGridHeaderFile(dir.resolve(name));
        props[at(index)] = {1.0,         static_cast<double>(h.ncols), static_cast<double>(h.nrows),
                            h.xllcorner, h.yllcorner,                  h.cellsize,
                            h.nodata};
        return true;
    }
    std::string errors;
    GridPropsRow row = props[at(index)];
    bool ok = false;
    if (library && library->usable())
        ok = readLibraryProps(library->fn, name, libraryPath(dir, name), row, errors);
    else
        errors = name + kLibraryUnavailable + kCrLf;
    if (ok) {
        props[at(index)] = row;
        return true;
    }
    feedback.message(std::string("Fout:\r\n\r\n") + errors + kCrLf + kCannotSetProperties);
    return false;
}

void VulRegDim(const Registry& registry, GroupMembershipTable& membership, std::string& foutmelding)
{
    foutmelding.clear();
    const int n = registry.AuxVarCount;
    for (int g = 1; g <= registry.GroupCount; ++g) {
        bool any = false;
        for (int v = 1; v <= n; ++v) {
            const bool member = registry.groupOf(v) == g;
            membership[at(g)][at(v)] = member ? 1 : 0;
            any = any || member;
        }
        if (!any) {
            for (int v = 1; v <= n; ++v)
                membership[at(g)][at(v)] = -1;
            foutmelding += "Group " + std::to_string(g) + " is not selected." + kCrLf;
        }
    }
    if (!foutmelding.empty())
        return;
    for (int g = 1; g <= registry.GroupCount; ++g) {
        int count = 0;
        for (int v = 1; v <= n; ++v)
            count += membership[at(g)][at(v)] == 1;
        membership[at(g)][0] = count;
    }
}

bool checkGrids(const WorkDir& dir, const Registry& registry, GridPropsTable& props,
                GroupMembershipTable& membership, Feedback& feedback, GridLibraryBinding* library)
{
    bool allGridsPresent = true;
    std::string errors;
    for (int r = 0; r <= registry.AuxVarCount; ++r) {
        TGridFileType kind = registry.HulpVarRecs[at(r)].kind;
        const std::string& name = registry.HulpVarRecs[at(r)].PFileName;
        // A library grid that is there needs the library for every later step.
        if (library && kind == TGridFileType::avgrid && onDisk(libraryPath(dir, name)))
            library->need(dir, feedback);
        if (Check_Fysiek_Aanwezig(dir, name, kind, errors, allGridsPresent, library) &&
            !VulPropGrid(dir, name, kind, r, props, feedback, library))
            return false;
    }
    if (!allGridsPresent || !errors.empty()) {
        feedback.message("Errors:\r\n\r\n" + errors + kCrLf + kCorrectAndCheckAgain);
        return false;
    }

    errors.clear();
    for (int r = 1; r <= registry.AuxVarCount; ++r)
        for (const Difference& d : kDifferences)
            if (props[at(r)][at(d.prop)] != props[0][at(d.prop)])
                errors += registry.labelCaption(r) + d.text + registry.labelCaption(0) + kCrLf;
    if (!errors.empty()) {
        feedback.message("Fouten:\r\n\r\n" + errors + kCrLf + kCorrectAndCheckAgain);
        return false;
    }

    VulRegDim(registry, membership, errors);
    if (!errors.empty()) {
        feedback.message("Errors:\r\n\r\n" + errors + kCrLf + kCorrectAndCheckAgain);
        return false;
    }
    return true;
}

}  // namespace tolvar
