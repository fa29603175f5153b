#pragma once

#include "common/work_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tolvar {

// C(G, R) computed exactly in 64-bit integers.
std::uint64_t combinationCount(int g, int r);

// "g" + two-digit group number.
std::string groupCode(int group);

// All choices of R of the G groups as "g01-g03-..." texts, in lexicographic
// order (R is lowered to G when larger).
std::vector<std::string> combinations(int g, int r);

// WriteCombinations: the same list written to "combi.txt" in `dir`.
void WriteCombinations(const WorkDir& dir, int g, int r);

// Members of every group: members[g] lists the variables of group g (1..G) in
// ascending order; members[0] is unused.
using GroupMembers = std::vector<std::vector<int>>;

// permutaties: every model structure (at most one variable per group, at least
// one in all) in ascending text order without duplicates; also written to
// "hulpvargroups.txt" in `dir`.
std::vector<std::string> permutaties(const WorkDir& dir, const GroupMembers& members);

// The structure list without touching any file.
std::vector<std::string> modelStructures(const GroupMembers& members);

}  // namespace tolvar
