#pragma once

#include "common/work_dir.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// One element of a ModelStructure text, "g" + group + "h" + variable; a part
// that is not a number stays empty.
struct StructureElement {
    std::optional<std::int64_t> group, variable;
};
// The elements of a structure text, 7 characters apart: where structures are
// read back, from their text or from a file name.
std::vector<StructureElement> structureElements(std::string_view structure);
// The structure part of a result file name of a stratum (without blanks) and
// MxW: the name without "<stratum>-<MxW>-" and the weighting word with ".out".
std::string structureOfFileName(std::string name, const std::string& stratum, const std::string& gxg);

}  // namespace tolvar
