#include "app/session_log.h"
#include "common/io_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

std::tm at(int day, int month, int year, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_mday = day;
    t.tm_mon = month - 1;
    t.tm_year = year - 1900;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(SessionLog, NameComesFromTheLocalStartTime)
{
    EXPECT_EQ(SessionLog::fileNameFor(at(8, 12, 2026, 9, 5, 7)), "Tolvar at 08-12-2026 09h05m07s.log");
    EXPECT_EQ(SessionLog::fileNameFor(at(31, 1, 2027, 23, 59, 0)), "Tolvar at 31-01-2027 23h59m00s.log");
}

TEST(SessionLog, WritesHeaderAndEveryLineAtOnce)
{
    test::TempDir dir;
    SessionLog log;
    log.open(dir.path(), at(8, 12, 2026, 9, 5, 7));
    EXPECT_EQ(log.fileName(), "Tolvar at 08-12-2026 09h05m07s.log");
    const auto path = dir / log.fileName();
    EXPECT_EQ(test::readFile(path), "Logfile of Tolvar at 08-12-2026 09h05m07s\r\n\r\n");

    // Lines reach the disk before the log is closed.
    log.add("first line");
    log.add("");
    log.add("two\nlines");
    EXPECT_EQ(test::readFile(path),
              "Logfile of Tolvar at 08-12-2026 09h05m07s\r\n\r\nfirst line\r\n\r\ntwo\r\nlines\r\n");

    log.close();
    log.add("after closing");
    EXPECT_EQ(test::readFile(path).find("after closing"), std::string::npos);
}

// A run restarted within the same second (after a kill, say) must not empty
// the log of the earlier run before the start-up has archived it.
TEST(SessionLog, SecondStartInTheSameSecondKeepsTheEarlierLog)
{
    test::TempDir dir;
    {
        SessionLog first;
        first.open(dir.path(), at(1, 2, 2026, 3, 4, 5));
        first.add("old run");
    }
    SessionLog second, third;
    second.open(dir.path(), at(1, 2, 2026, 3, 4, 5));
    third.open(dir.path(), at(1, 2, 2026, 3, 4, 5));
    EXPECT_EQ(test::readFile(dir / "Tolvar at 01-02-2026 03h04m05s.log"),
              "Logfile of Tolvar at 01-02-2026 03h04m05s\r\n\r\nold run\r\n");
    EXPECT_EQ(second.fileName(), "Tolvar at 01-02-2026 03h04m05s (2).log");
    EXPECT_EQ(third.fileName(), "Tolvar at 01-02-2026 03h04m05s (3).log");
    EXPECT_EQ(test::readFile(dir / second.fileName()),
              "Logfile of Tolvar at 01-02-2026 03h04m05s (2)\r\n\r\n");
}

TEST(SessionLog, UnwritableDirectoryRaisesIoError)
{
    test::TempDir dir;
    SessionLog log;
    EXPECT_THROW(log.open(dir / "missing-directory", at(1, 1, 2026, 0, 0, 0)), IoError);
    EXPECT_FALSE(log.isOpen());
}

}  // namespace
}  // namespace tolvar
