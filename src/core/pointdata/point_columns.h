#pragma once

#include <array>
#include <string>

namespace tolvar {

// The roles a point-data column can have, in the order of temp.txt.
enum PointRole { kMHW = 0, kSDMHW, kMSW, kSDMSW, kMLW, kSDMLW, kSTRATA, kX, kY };
inline constexpr int kPointRoleCount = 9;

// The column index of every role, -1 when the role has no column.
struct PointColumns {
    std::array<int, kPointRoleCount> index{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    int& operator[](int role) { return index[static_cast<std::size_t>(role)]; }
    int operator[](int role) const { return index[static_cast<std::size_t>(role)]; }
};

// MxW kinds in their fixed order.
inline constexpr std::array<const char*, 3> kMxwNames{"MHW", "MSW", "MLW"};
// The role of MxW m (0..2) and of its standard deviation.
inline constexpr int mxwRole(int m) { return 2 * m; }
inline constexpr int sdRole(int m) { return 2 * m + 1; }

}  // namespace tolvar
