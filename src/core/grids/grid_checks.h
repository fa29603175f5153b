#pragma once

#include "common/feedback.h"
#include "common/work_dir.h"
#include "grids/ascii_grid.h"
#include "grids/grid_library.h"
#include "grids/registry.h"

#include <array>
#include <string>

namespace tolvar {

// GridProps: per slot (kind, ncols, nrows, xllcorner, yllcorner, cellsize,
// NODATA_value); kind 1 = ASCII grid, 0 = ESRI grid.
enum GridProp { kKind = 0, kNcols, kNrows, kXll, kYll, kCellsize, kNodata };
using GridPropsRow = std::array<double, 7>;
using GridPropsTable = std::array<GridPropsRow, 16>;

void InitGridProps(GridPropsTable& props);
// The geometry of one row as a header.
GridHeader headerOf(const GridPropsRow& row);

// [group][variable]; [g][0] is the number of members of group g.
using GroupMembershipTable = std::array<std::array<int, 16>, 16>;
void clearGroupMembership(GroupMembershipTable& membership);

// The path the grid-access library opens for a grid name of the registry.
std::string libraryPath(const WorkDir& dir, const std::string& name);

// Check_Fysiek_Aanwezig: is the grid of kind `kind` there? An ASCII grid is
// its file; a library grid is a raster file or an ESRI grid directory with
// its five files, and while the library is usable also what GridExists
// accepts. Appends the error line when absent; clears `allGridsPresent` for
// good on a missing grid.
bool Check_Fysiek_Aanwezig(const WorkDir& dir, const std::string& name, TGridFileType& kind,
                           std::string& foutmelding, bool& allGridsPresent,
                           const GridLibraryBinding* library = nullptr);

// VulPropGrid: reads the properties of one grid into its row. An ASCII header
// that lacks a key or a readable value raises IoError naming both. A library
// grid is read through the bound entry points; when it cannot be read (or the
// library is not usable) its "Fout:" message is shown, the row is left as it
// was and the result is false.
bool VulPropGrid(const WorkDir& dir, const std::string& name, TGridFileType kind, int index,
                 GridPropsTable& props, Feedback& feedback, const GridLibraryBinding* library = nullptr);

// VulRegDim: every group must have a member; fills the membership table.
void VulRegDim(const Registry& registry, GroupMembershipTable& membership,
               std::string& foutmelding);

// The whole check sequence before sampling. False (after its message) when
// the run must end; an unreadable library grid ends it at once. The first
// library grid found on disk binds the library when that has not been tried.
bool checkGrids(const WorkDir& dir, const Registry& registry, GridPropsTable& props,
                GroupMembershipTable& membership, Feedback& feedback,
                GridLibraryBinding* library = nullptr);

}  // namespace tolvar
