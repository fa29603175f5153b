#include "structures/combinations.h"
#include "common/index.h"

#include "common/number_format.h"
#include "common/text_file.h"

#include <algorithm>
#include <fstream>

namespace tolvar {

std::uint64_t combinationCount(int g, int r)
{
    if (r > g)
        r = g;
    // Multiplying and dividing in turn keeps every step a whole binomial
    // coefficient, so nothing overflows before the result would.
    std::uint64_t count = 1;
    for (int i = 0; i < r; ++i)
        count = count * static_cast<std::uint64_t>(g - i) / static_cast<std::uint64_t>(i + 1);
    return count;
}

std::string groupCode(int group)
{
    return "g" + std::to_string(group + 100).substr(1);
}

namespace {
std::string variableCode(int variable)
{
    return "h" + std::to_string(variable + 100).substr(1);
}

std::string combinationText(const std::vector<int>& a)
{
    std::string text;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i > 0)
            text += '-';
        text += groupCode(a[i]);
    }
    return text;
}
}  // namespace

std::vector<std::string> combinations(int g, int r)
{
    if (r > g)
        r = g;
    std::vector<std::string> lines;
    if (r < 1)
        return lines;
    const std::uint64_t count = combinationCount(g, r);
    std::vector<int> a(at(r));
    for (int i = 0; i < r; ++i)
        a[at(i)] = i + 1;
    lines.push_back(combinationText(a));
    for (std::uint64_t n = 1; n < count; ++n) {
        int i = r - 1;
        while (i >= 0 && a[at(i)] >= g - r + i + 1)
            --i;
        ++a[at(i)];
        for (int j = i + 1; j < r; ++j)
            a[at(j)] = a[at(j - 1)] + 1;
        lines.push_back(combinationText(a));
    }
    return lines;
}

void WriteCombinations(const WorkDir& dir, int g, int r)
{
    writeTextFile(dir.path() / "combi.txt", combinations(g, r));
}

std::vector<std::string> modelStructures(const GroupMembers& members)
{
    // Every non-empty set of groups, with every choice of one member per
    // chosen group. Elements are 6 characters joined by "-", so plain text
    // order sorts the list; each structure arises once, so no duplicates.
    const int g = static_cast<int>(members.size()) - 1;
    std::vector<std::string> structures;
    std::vector<std::string> partial{""};
    for (int group = 1; group <= g; ++group) {
        std::vector<std::string> next;
        next.reserve(partial.size() * (members[at(group)].size() + 1));
        for (const std::string& p : partial) {
            next.push_back(p);
            for (int v : members[at(group)])
                next.push_back(p.empty() ? groupCode(group) + variableCode(v)
                                         : p + "-" + groupCode(group) + variableCode(v));
        }
        partial = std::move(next);
    }
    for (std::string& s : partial)
        if (!s.empty())
            structures.push_back(std::move(s));
    std::sort(structures.begin(), structures.end());
    structures.erase(std::unique(structures.begin(), structures.end()), structures.end());
    return structures;
}

std::vector<std::string> permutaties(const WorkDir& dir, const GroupMembers& members)
{
    std::vector<std::string> structures = modelStructures(members);
    writeTextFile(dir.path() / "hulpvargroups.txt", structures);
    return structures;
}

std::vector<StructureElement> structureElements(std::string_view structure)
{
    std::vector<StructureElement> elements;
    for (std::size_t i = 0; i + 6 <= structure.size(); i += 7)
        elements.push_back({parseInteger(structure.substr(i + 1, 2)),
                            parseInteger(structure.substr(i + 4, 2))});
    return elements;
}

std::string structureOfFileName(std::string name, const std::string& stratum, const std::string& gxg)
{
    const auto dotOut = name.rfind(".out");
    if (dotOut != std::string::npos && dotOut >= 3)
        name.erase(dotOut - 3, 7);
    name.erase(0, std::min(name.size(), stratum.size() + 1));
    name.erase(0, std::min(name.size(), gxg.size() + 1));
    return name;
}

}  // namespace tolvar
