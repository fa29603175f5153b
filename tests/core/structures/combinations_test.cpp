#include "structures/combinations.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tolvar {
namespace {

TEST(Combinations, LexicographicOrderAndExactCounts)
{
    EXPECT_EQ(combinations(4, 2), (std::vector<std::string>{"g01-g02", "g01-g03", "g01-g04",
                                                            "g02-g03", "g02-g04", "g03-g04"}));
    EXPECT_EQ(combinations(1, 1), (std::vector<std::string>{"g01"}));
    EXPECT_EQ(combinations(3, 3), (std::vector<std::string>{"g01-g02-g03"}));
    EXPECT_EQ(combinations(3, 5), (std::vector<std::string>{"g01-g02-g03"}));
    const auto big = combinations(15, 7);
    EXPECT_EQ(big.size(), 6435u);
    EXPECT_EQ(big.back(), "g09-g10-g11-g12-g13-g14-g15");
    EXPECT_EQ(combinationCount(15, 7), 6435u);
    EXPECT_EQ(combinationCount(60, 30), 118264581564861424ull);  // exact in 64 bits

    test::TempDir tmp;
    WriteCombinations(WorkDir(tmp.path()), 3, 2);
    EXPECT_EQ(test::readFile(tmp / "combi.txt"), "g01-g02\r\ng01-g03\r\ng02-g03\r\n");
}

// The structure list built the long way: group combinations, then every
// group code replaced by each of its members in turn, sorted, duplicates out.
std::vector<std::string> byReplacement(const GroupMembers& members)
{
    const int g = static_cast<int>(members.size()) - 1;
    std::vector<std::string> list;
    for (int r = 1; r <= g; ++r)
        for (const std::string& c : combinations(g, r))
            list.push_back(c);
    for (int group = 1; group <= g; ++group) {
        std::vector<std::string> next;
        const std::string code = groupCode(group);
        for (int v : members[static_cast<std::size_t>(group)])
            for (const std::string& line : list) {
                const auto at = line.find(code);
                if (at == std::string::npos) {
                    next.push_back(line);
                } else {
                    std::string h = "h" + std::to_string(v + 100).substr(1);
                    next.push_back(line.substr(0, at) + code + h + line.substr(at + 3));
                }
            }
        list = next;
    }
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

TEST(ModelStructures, WorkedExampleAndOrderByGroup)
{
    GroupMembers members{{}, {1, 3}, {2}};
    test::TempDir tmp;
    const auto list = permutaties(WorkDir(tmp.path()), members);
    EXPECT_EQ(list, (std::vector<std::string>{"g01h01", "g01h01-g02h02", "g01h03", "g01h03-g02h02",
                                              "g02h02"}));
    EXPECT_EQ(test::readFile(tmp / "hulpvargroups.txt"),
              "g01h01\r\ng01h01-g02h02\r\ng01h03\r\ng01h03-g02h02\r\ng02h02\r\n");

    EXPECT_EQ(modelStructures({{}, {1, 2, 3}}),
              (std::vector<std::string>{"g01h01", "g01h02", "g01h03"}));
    EXPECT_EQ(modelStructures({{}, {5}, {2}}),
              (std::vector<std::string>{"g01h05", "g01h05-g02h02", "g02h02"}));
}

TEST(ModelStructures, FifteenGroupsOfOne)
{
    GroupMembers members(16);
    for (int g = 1; g <= 15; ++g)
        members[static_cast<std::size_t>(g)] = {g};
    const auto list = modelStructures(members);
    ASSERT_EQ(list.size(), 32767u);
    EXPECT_EQ(list.front(), "g01h01");
    EXPECT_EQ(list.back(), "g15h15");
    EXPECT_EQ(list[1], "g01h01-g02h02");
}

TEST(ModelStructures, SameListAsTheReplacementAlgorithm)
{
    std::mt19937 rng(3);
    for (int trial = 0; trial < 20; ++trial) {
        const int g = 1 + static_cast<int>(rng() % 5);
        const int n = g + static_cast<int>(rng() % 4);
        GroupMembers members(static_cast<std::size_t>(g) + 1);
        std::vector<int> vars(static_cast<std::size_t>(n));
        for (int v = 1; v <= n; ++v)
            vars[static_cast<std::size_t>(v - 1)] = v;
        std::shuffle(vars.begin(), vars.end(), rng);
        for (int i = 0; i < n; ++i)  // every group gets at least one member
            members[static_cast<std::size_t>(i < g ? i + 1 : 1 + rng() % g)].push_back(
                vars[static_cast<std::size_t>(i)]);
        for (auto& m : members)
            std::sort(m.begin(), m.end());
        std::size_t expected = 1;
        for (int i = 1; i <= g; ++i)
            expected *= members[static_cast<std::size_t>(i)].size() + 1;
        const auto list = modelStructures(members);
        EXPECT_EQ(list.size(), expected - 1);
        EXPECT_EQ(list, byReplacement(members)) << "trial " << trial;
    }
}

}  // namespace
}  // namespace tolvar
