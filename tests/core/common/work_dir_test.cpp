#include "common/work_dir.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(WildcardMatch, IgnoresLetterCase)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.OUT", "a.out", true},
        {"*.out", "3-MHW-g01h01-gew.OUT", true},
        {"*.out", "a.outx", false},
        {"*.out", "aout", false},
        {"session*.csv", "Session 1 normres.csv", true},
        {"session*.csv", "data.csv", false},
        {"*", "anything", true},
        {"?.asc", "a.ASC", true},
        {"?.asc", "ab.asc", false},
        {"*MHW*", "pred_mhw.asc", true},
        {"*.log", "Tolvar at 08-12-2026 09h05m07s.log", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
}

TEST(WorkDir, ListsAndResolvesWithoutRegardToLetterCase)
{
    test::TempDir tmp;
    tmp.write("a.out", "1");
    tmp.write("B.Out", "2");
    tmp.write("c.dat", "3");
    tmp.write("wendbat.txt", "4");
    std::filesystem::create_directory(tmp / "x.out");  // a directory is not listed
    const WorkDir dir(tmp.path());

    EXPECT_EQ(dir.list("*.OUT"), (std::vector<std::string>{"a.out", "B.Out"}));
    EXPECT_TRUE(dir.anyMatch("*.dat"));
    EXPECT_FALSE(dir.anyMatch("*.wmf"));
    EXPECT_EQ(dir.resolve("WendBat.txt"), tmp / "wendbat.txt");
    EXPECT_TRUE(dir.fileExists("WENDBAT.TXT"));
    EXPECT_FALSE(dir.fileExists("x.out"));
    EXPECT_TRUE(dir.dirExists("X.OUT"));
    EXPECT_EQ(dir.resolve("absent.txt"), tmp / "absent.txt");
}

TEST(WorkDir, CopiesOverRemovesAndMakesDirectories)
{
    test::TempDir tmp;
    tmp.write("a.txt", "new");
    const WorkDir dir(tmp.path());
    ASSERT_TRUE(dir.makeDir("session1"));
    tmp.write("session1/a.txt", "old");

    EXPECT_TRUE(dir.copyFile("a.txt", tmp / "session1" / "a.txt"));
    EXPECT_EQ(test::readFile(tmp / "session1" / "a.txt"), "new");
    EXPECT_FALSE(dir.copyFile("absent.txt", "b.txt"));

    EXPECT_TRUE(dir.removeFile("A.TXT"));
    EXPECT_FALSE(dir.fileExists("a.txt"));
    EXPECT_FALSE(dir.removeFile("a.txt"));
    EXPECT_FALSE(dir.removeDir("session1"));  // not empty
    std::filesystem::remove(tmp / "session1" / "a.txt");
    EXPECT_TRUE(dir.removeDir("Session1"));
}

// A move replaces what the target held; one that cannot be made leaves the
// original where it was.
TEST(WorkDir, MovesOverOrLeavesTheOriginal)
{
    test::TempDir tmp;
    tmp.write("r.out", "result");
    const WorkDir dir(tmp.path());
    ASSERT_TRUE(dir.makeDir("session1"));
    tmp.write("session1/r.out", "old");
    EXPECT_TRUE(dir.moveFile("r.out", tmp / "session1" / "r.out"));
    EXPECT_FALSE(dir.fileExists("r.out"));
    EXPECT_EQ(test::readFile(tmp / "session1" / "r.out"), "result");

    tmp.write("s.out", "kept");
    EXPECT_FALSE(dir.moveFile("s.out", tmp / "no-such-dir" / "s.out"));
    EXPECT_EQ(test::readFile(tmp / "s.out"), "kept");
}

}  // namespace
}  // namespace tolvar
