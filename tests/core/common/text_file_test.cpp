#include "common/io_error.h"
#include "common/text_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tolvar {
namespace {

TEST(TextWriter, EndsEveryLineWithCrLf)
{
    std::ostringstream out;
    TextWriter w(out);
    w.line("first").line().write("a").write("b");
    w.endLine();
    EXPECT_EQ(out.str(), "first\r\n\r\nab\r\n");
}

TEST(ReadLine, AcceptsCrLfLfAndAMissingLastLineEnd)
{
    std::istringstream in("one\r\ntwo\nthree");
    EXPECT_EQ(readAllLines(in), (std::vector<std::string>{"one", "two", "three"}));

    std::istringstream withEmpty("a\r\n\r\nb\r\n");
    EXPECT_EQ(readAllLines(withEmpty), (std::vector<std::string>{"a", "", "b"}));
}

TEST(WithCrLf, TurnsEveryKindOfLineBreakIntoCrLf)
{
    EXPECT_EQ(withCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(withCrLf("plain"), "plain");
}

TEST(OpenFiles, FailuresNameTheFile)
{
    test::TempDir dir;
    try {
        openForReading(dir / "absent.txt");
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("absent.txt"), std::string::npos);
        EXPECT_EQ(e.fileName(), (dir / "absent.txt").string());
    }
    EXPECT_THROW(openForWriting(dir / "no-such-dir" / "x.txt"), IoError);
}

}  // namespace
}  // namespace tolvar
