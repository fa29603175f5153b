#pragma once

#include "common/feedback.h"
#include "common/work_dir.h"
#include "grids/ascii_grid.h"
#include "grids/registry.h"

#include <array>
#include <string>

namespace tolvar {

enum class TGridFileType { avgrid, asciigrid };

// A grid name with a "." anywhere is an ASCII grid file, else an ESRI grid.
TGridFileType gridKindOf(const std::string& name);

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

// Check_Fysiek_Aanwezig: is the grid there? Appends "<name> not found;" to
// `foutmelding` when not; clears `allGridsPresent` for good on a missing grid.
bool Check_Fysiek_Aanwezig(const WorkDir& dir, const std::string& name, TGridFileType& kind,
                           std::string& foutmelding, bool& allGridsPresent);

// VulPropGrid: reads the header of one grid into its row. An ASCII header that
// lacks a key or a readable value raises IoError naming both; an ESRI grid
// cannot be read in this build and is reported, its row left as it was.
void VulPropGrid(const WorkDir& dir, const std::string& name, TGridFileType kind, int index,
                 GridPropsTable& props, Feedback& feedback);

// VulRegDim: every group must have a member; fills the membership table.
void VulRegDim(const Registry& registry, GroupMembershipTable& membership,
               std::string& foutmelding);

// The whole check sequence before sampling. False (after its message) when
// the run must end.
bool checkGrids(const WorkDir& dir, const Registry& registry, GridPropsTable& props,
                GroupMembershipTable& membership, Feedback& feedback);

}  // namespace tolvar
