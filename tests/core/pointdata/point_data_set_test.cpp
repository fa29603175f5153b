#include "common/fields.h"
#include "pointdata/point_data_set.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tolvar {
namespace {

struct SepCase {
    const char* name;
    const char* title;
    std::vector<std::pair<char, int>> candidates;
    int preselected;
};

class Bepaalsep : public ::testing::TestWithParam<SepCase> {};

TEST_P(Bepaalsep, FindsCandidatesInOrderAndPreselectsTheMostFrequent)
{
    const SepCase& c = GetParam();
    const DelimiterChoice choice = bepaalsep(c.title);
    std::vector<std::pair<char, int>> got;
    for (const auto& d : choice.candidates)
        got.emplace_back(d.c, d.count);
    EXPECT_EQ(got, c.candidates);
    EXPECT_EQ(choice.preselected, c.preselected);
}

void PrintTo(const SepCase& c, std::ostream* os)
{
    *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Titles, Bepaalsep,
    ::testing::Values(
        SepCase{"Semicolon", "Piezometer;X;Y;MHW;MSW;MLW", {{';', 5}}, 0},
        SepCase{"Tab", "Nr\tX.rd\tY.rd\tMHW", {{'\t', 3}}, 0},
        SepCase{"TiesGoToTheFirst", "Nr, X-coord, Y-coord", {{',', 2}, {' ', 2}, {'-', 2}}, 0},
        SepCase{"LaterNeedsStrictlyMore", "a b;c;d;e", {{' ', 1}, {';', 3}}, 1},
        SepCase{"QuotesAndPointsAreNoCandidates", "\"id\";'x.y'", {{';', 1}}, 0},
        SepCase{"NoCandidate", "Piezometer", {}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bepaalsep, KeepsTheFirstTwentyCandidates)
{
    const DelimiterChoice choice = bepaalsep("a!b#c$d%e&f(g)h*i+j,k-l/m:n;o<p=q>r?s@t[u]v^w_x");
    EXPECT_EQ(choice.candidates.size(), 20u);
    EXPECT_EQ(choice.candidates.front().c, '!');
    EXPECT_EQ(choice.candidates.back().c, '[');
    EXPECT_EQ(bepaalsep("Piezometer").preselectedDelimiter(), kNoDelimiter);
    EXPECT_EQ(delimiterItemText(' '), "space");
    EXPECT_EQ(delimiterItemText('\t'), "tab-sign");
    EXPECT_EQ(delimiterItemText(';'), ";");
    EXPECT_EQ(delimiterGroupHeight(3), 76);
}

TEST(Leesveld, SplitsWithoutQuotingOrTrimming)
{
    EXPECT_EQ(splitFields("a; ;  ;\"q\";", ';'),
              (std::vector<std::string>{"a", "", "  ", "\"q\"", ""}));
    EXPECT_EQ(leesveld(2, "a;b;c", ';'), "b");
    EXPECT_EQ(leesveld(3, "a;b;c", ';'), "c");
    EXPECT_EQ(leesveld(5, "a;b;c", ';'), "");
    EXPECT_EQ(leesveld(1, "", ';'), "");
    EXPECT_EQ(collapseDelimiters(";;a;;;b;", ';'), ";a;b;");
    EXPECT_EQ(countLeadingFields("a;b;;c", ';'), 2);
    EXPECT_EQ(leesveld(1, "whole;line", kNoDelimiter), "whole;line");
}

PointDataSet read(const std::string& text, char delimiter, bool collapse = false)
{
    std::istringstream in(text);
    PointDataSet data;
    vulgrid(in, delimiter, collapse, data);
    return data;
}

TEST(Vulgrid, ColumnsStopAtTheFirstEmptyTitle)
{
    const PointDataSet data = read("Nr;x;X_RD;;MHW\r\n1;2;3;4;5\r\n", ';');
    EXPECT_EQ(data.colCount(), 3);
    EXPECT_EQ(data.cell(1, 0), "XCOORD");
    EXPECT_EQ(data.cell(2, 0), "XCOORD");
    EXPECT_EQ(data.cell(2, 1), "3");
    const PointDataSet collapsed = read("Nr;;x;;MHW\r\n1;;2;;3\r\n", ';', true);
    EXPECT_EQ(collapsed.colCount(), 3);
    EXPECT_EQ(collapsed.cell(2, 1), "3");
}

TEST(Vulgrid, RecordsShortLongAndEmpty)
{
    const PointDataSet data = read("Nr;Year;Xcoord;MHW\r\n1;2\r\n1;2;3;4;5\r\n \r\n\r\n", ';');
    EXPECT_EQ(data.colCount(), 4);
    EXPECT_EQ(data.rowCount(), 5);  // the empty last line is a record
    EXPECT_EQ(data.cell(1, 0), "YCOORD");
    EXPECT_EQ(data.cell(2, 0), "XCOORD");
    EXPECT_EQ(data.cell(2, 1), "");
    EXPECT_EQ(data.cell(3, 2), "4");
    EXPECT_EQ(data.cell(0, 3), "");  // a single blank reads as empty
    EXPECT_EQ(data.cell(0, 4), "");

    const PointDataSet titleOnly = read("Nr;MHW\r\n", ';');
    EXPECT_EQ(titleOnly.rowCount(), 2);
    const PointDataSet whole = read("Piezometer\r\nP1;x\r\n", kNoDelimiter);
    EXPECT_EQ(whole.colCount(), 1);
    EXPECT_EQ(whole.cell(0, 1), "P1;x");
}

TEST(Vulgrid, LabelTextIsShortenedFromEightyCharacters)
{
    const std::string prefix = "Read piezometer data from ";
    const std::string name79(79 - prefix.size(), 'a');
    EXPECT_EQ(readLabelText(name79), prefix + name79);
    const std::string name80 = std::string(40, 'b') + std::string(14, 'c');
    const std::string shown = readLabelText(name80);
    EXPECT_EQ(shown.size(), 80u);
    EXPECT_EQ(shown, (prefix + name80).substr(0, 34) + "..." + (prefix + name80).substr(80 - 43));
}

// Exports as they come from spreadsheets and databases: the proposed
// delimiter reads the same table from each.
struct ExportCase {
    const char* name;
    const char* text;
    bool collapse;
};

class PointExport : public ::testing::TestWithParam<ExportCase> {};

TEST_P(PointExport, ProposedDelimiterReadsTheTable)
{
    test::TempDir dir;
    const auto file = dir.write("points.txt", GetParam().text);
    const DelimiterChoice choice = bepaalsepFile(file);
    PointDataSet data;
    vulgridFile(file, choice.preselectedDelimiter(), GetParam().collapse, data);
    ASSERT_EQ(data.colCount(), 4);
    EXPECT_EQ(data.cell(0, 0), "Nr");
    EXPECT_EQ(data.cell(1, 0), "XCOORD");
    EXPECT_EQ(data.cell(2, 0), "YCOORD");
    EXPECT_EQ(data.cell(3, 0), "MHW");
    EXPECT_EQ(data.cell(1, 2), "155100.5");
    EXPECT_EQ(data.cell(3, 2), "61");
}

INSTANTIATE_TEST_SUITE_P(
    Files, PointExport,
    ::testing::Values(
        ExportCase{"Semicolon", "Nr;X;Y;MHW\r\n1;155030;463990;40\r\n2;155100.5;463800;61\r\n", false},
        ExportCase{"Comma", "Nr,X,Y,MHW\n1,155030,463990,40\n2,155100.5,463800,61\n", false},
        ExportCase{"Tab", "Nr\tX\tY\tMHW\r\n1\t155030\t463990\t40\r\n2\t155100.5\t463800\t61\r\n", false},
        ExportCase{"AlignedBlanks",
                   "Nr  X         Y       MHW\r\n1   155030    463990  40\r\n2   155100.5  463800  61\r\n",
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

// A spreadsheet's "CSV UTF-8" export starts with a byte-order mark: it is
// neither a delimiter candidate nor part of the first title (else "X" would
// not become XCOORD).
TEST(PointFile, ByteOrderMarkIsSkipped)
{
    test::TempDir dir;
    const auto file = dir.write("points.csv", "\xEF\xBB\xBFX;Y;MHW\r\n1;2;3\r\n");
    const DelimiterChoice choice = bepaalsepFile(file);
    ASSERT_EQ(choice.candidates.size(), 1u);
    EXPECT_EQ(choice.candidates[0].c, ';');
    PointDataSet data;
    vulgridFile(file, ';', false, data);
    EXPECT_EQ(data.cell(0, 0), "XCOORD");
    EXPECT_EQ(data.cell(1, 1), "2");

    const auto plain = dir.write("plain.csv", "\xEFX;Y\r\n");  // a lone high byte stays
    vulgridFile(plain, ';', false, data);
    EXPECT_EQ(data.cell(0, 0), "\xEFX");
}

}  // namespace
}  // namespace tolvar
