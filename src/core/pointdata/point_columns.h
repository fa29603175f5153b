#pragma once

#include "common/mxw.h"

#include <array>
#include <string>

namespace tolvar {

// The roles a point-data column can have, in the order of temp.txt.
enum PointRole { kMHW = 0, kSDMHW, kMSW, kSDMSW, kMLW, kSDMLW, kSTRATA, kX, kY };
inline constexpr int kPointRoleCount = 9;

// The name of every role, as the point editor reports it and the command line names it.
inline constexpr std::array<const char*, kPointRoleCount> kPointRoleNames = {
    "MHW", "SDMHW", "MSW", "SDMSW", "MLW", "SDMLW", "STRATA", "X", "Y"};

// The column index of every role, -1 when the role has no column.
struct PointColumns {
    std::array<int, kPointRoleCount> index{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    int& operator[](int role) { return index[at(role)]; }
    int operator[](int role) const { return index[at(role)]; }
};

// The role of MxW m and of its standard deviation.
// The first six roles are the output slots, in the same order.
inline constexpr int mxwRole(Mxw m) { return valueSlot(m); }
inline constexpr int sdRole(Mxw m) { return sdSlot(m); }

}  // namespace tolvar
