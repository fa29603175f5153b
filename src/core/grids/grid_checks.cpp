#include "grids/grid_checks.h"

#include "common/io_error.h"

#include <filesystem>

namespace tolvar {

namespace {
constexpr const char* kCorrectAndCheckAgain = "Correct these errors and check again";
constexpr const char* kCannotSetProperties = "Cannot set grid properties. Better stop.";
constexpr const char* kCrLf = "\r\n";

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

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}
}  // namespace

TGridFileType gridKindOf(const std::string& name)
{
    return name.find('.') != std::string::npos ? TGridFileType::asciigrid : TGridFileType::avgrid;
}

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

bool Check_Fysiek_Aanwezig(const WorkDir& dir, const std::string& name, TGridFileType& kind,
                           std::string& foutmelding, bool& allGridsPresent)
{
    kind = gridKindOf(name);
    bool present = false;
    if (kind == TGridFileType::asciigrid) {
        present = dir.fileExists(name);
    } else {
        // No grid-access library is bound, so the five files are the test.
        present = check5adfOK((dir.path() / name).string());
    }
    if (!present)
        foutmelding += "<" + name + "> not found;" + kCrLf;
    if (allGridsPresent)
        allGridsPresent = present;
    return present;
}

void VulPropGrid(const WorkDir& dir, const std::string& name, TGridFileType kind, int index,
                 GridPropsTable& props, Feedback& feedback)
{
    if (kind == TGridFileType::asciigrid) {
        const GridHeader h = readGridHeaderFile(dir.resolve(name));
        props[at(index)] = {1.0,         static_cast<double>(h.ncols), static_cast<double>(h.nrows),
                            h.xllcorner, h.yllcorner,                  h.cellsize,
                            h.nodata};
        return;
    }
    feedback.message(std::string("Fout:\r\n\r\n") + name +
                     ": the ESRI grid-access library is not available;" + kCrLf + kCrLf +
                     kCannotSetProperties);
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
                GroupMembershipTable& membership, Feedback& feedback)
{
    bool allGridsPresent = true;
    std::string errors;
    for (int r = 0; r <= registry.AuxVarCount; ++r) {
        TGridFileType kind;
        const std::string& name = registry.HulpVarRecs[at(r)].PFileName;
        if (Check_Fysiek_Aanwezig(dir, name, kind, errors, allGridsPresent))
            VulPropGrid(dir, name, kind, r, props, feedback);
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
