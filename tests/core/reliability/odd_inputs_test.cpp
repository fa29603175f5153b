// Large and unusual inputs that must simply work: every line end a tool may
// write, a byte-order mark, non-ASCII titles and paths, stratum codes "-1"
// and "10", and a point file of 100 000 records and 60 columns.
#include "batch/batch_run.h"
#include "common/work_dir.h"
#include "grids/ascii_grid.h"
#include "grids/sampling.h"
#include "pointdata/point_data_set.h"
#include "pointdata/point_editor.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

std::string joined(const std::vector<std::string>& lines, const std::string& end, bool lastEnded)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 < lines.size() || lastEnded ? end : "");
    return text;
}

TEST(OddInputs, EveryLineEndAndAByteOrderMarkGiveTheSameTable)
{
    const std::vector<std::string> lines = {"Peilbuis;X;Y;Stratum;MHW", "a;155010;463990;-1;40",
                                            "b;155020;463980;10;55", "c;155030;463970;1;missing"};
    const std::string mixed = lines[0] + "\r\n" + lines[1] + "\r" + lines[2] + "\n" + lines[3];
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"LF", joined(lines, "\n", true)},
        {"CR LF", joined(lines, "\r\n", true)},
        {"CR only", joined(lines, "\r", true)},
        {"CR only, last line open", joined(lines, "\r", false)},
        {"mixed", mixed},
        {"BOM and CR LF", "\xEF\xBB\xBF" + joined(lines, "\r\n", true)},
        {"BOM and CR only", "\xEF\xBB\xBF" + joined(lines, "\r", true)},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir.write("points.csv", c.text);
        EXPECT_EQ(bepaalsepFile(file).preselectedDelimiter(), ';');
        PointDataSet data;
        vulgridFile(file, ';', false, data);
        ASSERT_EQ(data.colCount(), 5);
        ASSERT_EQ(data.rowCount(), 4);
        EXPECT_EQ(data.cell(0, 0), "Peilbuis");
        EXPECT_EQ(data.cell(1, 0), "XCOORD");
        EXPECT_EQ(data.cell(3, 1), "-1");
        EXPECT_EQ(data.cell(3, 2), "10");
        EXPECT_EQ(data.cell(4, 3), "missing");
    }
}

TEST(OddInputs, GridsWithEveryLineEndReadTheSameCells)
{
    const std::vector<std::string> lines = {"ncols 3",     "nrows 2", "xllcorner 0", "yllcorner 0",
                                            "cellsize 10", "NODATA_value -9999", "1 2 3 ", "4 5 6 "};
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(end));
        std::istringstream in(joined(lines, end, true));
        const GridHeader header = readGridHeader(in, "g.asc");
        EXPECT_EQ(header.ncols, 3);
        EXPECT_EQ(header.nrows, 2);
        std::istringstream values(joined(lines, end, true));
        GridValueReader reader(values, "g.asc");
        reader.skipHeader();
        EXPECT_EQ(reader.readValue(), 1.0);
        reader.skipLine();  // the rest of the first row
        EXPECT_EQ(reader.readValue(), 4.0);
        EXPECT_EQ(reader.readValue(), 5.0);
        reader.skipLine();
        EXPECT_TRUE(reader.atEnd());
    }
}

// Titles with letters outside ASCII and blanks are kept byte for byte through
// "Ready!" and the sorting of the sampling.
TEST(OddInputs, NonAsciiTitlesPassThroughReadyAndTheSorting)
{
    test::TempDir dir;
    const fs::path file = dir.write("meting é.csv",
                                    "Peilbuis nr;X coördinaat;Y coördinaat;Straße code;MHW (cm) ü;sdMHW ü;Güte\r\n"
                                    "a;155012.5;463987.5;-1;40;3;é\r\n"
                                    "b;155037.5;463962.5;10;55;2;ß\r\n");
    // The blanks outnumber the semicolons: the user picks ";" from the candidates.
    const DelimiterChoice choice = bepaalsepFile(file);
    EXPECT_TRUE(std::any_of(choice.candidates.begin(), choice.candidates.end(),
                            [](const DelimiterCandidate& c) { return c.c == ';' && c.count == 6; }));
    PointEditor editor;
    editor.open();
    editor.read(file, ';', false);
    EXPECT_EQ(editor.roleTexts[kMHW], "MHW (cm) ü");
    EXPECT_EQ(editor.roleTexts[kSDMHW], "sdMHW ü");
    editor.roleTexts[kSTRATA] = "Straße code";
    test::RecordingFeedback fb;
    const PointColumns columns = editor.ready(WorkDir(dir.path()), fb);
    EXPECT_EQ(columns[kSTRATA], 3);
    EXPECT_EQ(test::readLines(dir / "temp.csv")[0],
              "Peilbuis nr;XCOORD;YCOORD;Straße code;MHW (cm) ü;sdMHW ü;Güte;");
    TextTable table;
    PointColumns shifted;
    ASSERT_EQ(SORTXY(WorkDir(dir.path()), 155000, 463000, 25, table, shifted), 2);
    EXPECT_EQ(table.cell(shifted[kSTRATA], 0), "Straße code");
    EXPECT_EQ(table.cell(shifted[kSTRATA], 1), "-1");
    EXPECT_EQ(table.cell(shifted[kSTRATA], 2), "10");
    EXPECT_EQ(table.cell(shifted[kMHW] + 2, 2), "ß");
}

TEST(OddInputs, APointFileOfHundredThousandRecordsAndSixtyColumns)
{
    constexpr int kRecords = 100'000, kColumns = 60;
    std::string text = "ID;X;Y;MHW;sdMHW;MSW;sdMSW;MLW;sdMLW;Stratum";
    for (int c = 10; c < kColumns; ++c)
        text += ";extra" + std::to_string(c);
    text += "\r\n";
    // The extra columns of a record depend on r % 13 only: made once.
    std::array<std::string, 13> extras;
    for (int k = 0; k < 13; ++k)
        for (int c = 10; c < kColumns; ++c)
            extras[static_cast<std::size_t>(k)] += ";" + std::to_string(c * 7 + k);
    text.reserve(static_cast<std::size_t>(kRecords) * 300);
    for (int r = 0; r < kRecords; ++r) {
        text += "P" + std::to_string(r) + ";" + std::to_string(150000 + r % 997) + "." + std::to_string(r % 10) +
                ";" + std::to_string(460000 + r % 991) + ";" + std::to_string(40 + r % 60) + ";3;" +
                std::to_string(80 + r % 50) + ";2;" + std::to_string(150 + r % 40) + ";4;" +
                std::to_string(r % 15 - 1);
        text += extras[static_cast<std::size_t>(r % 13)];
        text += "\r\n";
    }
    test::TempDir dir;
    const fs::path file = dir.write("big.csv", text);
    PointEditor editor;
    editor.open();
    editor.read(file, ';', false);
    ASSERT_EQ(editor.data.colCount(), kColumns);
    ASSERT_EQ(editor.data.rowCount(), kRecords + 1);
    EXPECT_EQ(editor.data.cell(kColumns - 1, kRecords), std::to_string((kColumns - 1) * 7 + (kRecords - 1) % 13));
    editor.roleTexts[kSTRATA] = "Stratum";
    test::RecordingFeedback fb;
    const PointColumns columns = editor.ready(WorkDir(dir.path()), fb);
    EXPECT_EQ(readTempTxt(WorkDir(dir.path())).index, columns.index);
    const auto written = test::readLines(dir / "temp.csv");
    ASSERT_EQ(written.size(), static_cast<std::size_t>(kRecords + 1));
    const std::size_t lastStart = text.rfind("\r\n", text.size() - 3) + 2;
    EXPECT_EQ(written.back(), text.substr(lastStart, text.size() - 2 - lastStart) + ";");
}

// One batch run through everything unusual at once: a working directory and
// a grid folder with blanks and non-ASCII letters, a point file with a
// byte-order mark, CR-only line ends and non-ASCII titles, and strata coded
// -1 and 10 besides 1.
TEST(OddInputs, AnUnusualWorkingDirectoryRunsEndToEnd)
{
    test::TempDir tmp;
    const fs::path work = tmp / "werk map é";
    const fs::path grids = work / "grids ü ß";
    fs::create_directories(grids);
    const fs::path example(TOLVAR_EXAMPLE_DIR);
    for (const char* grid : {"elevation.asc", "ditchdist.asc", "drainage.asc", "soilclass.asc"})
        fs::copy_file(example / grid, grids / grid);
    // The strata 1, 2, 3 of the example become 1, -1, 10.
    std::string strata = test::readFile(example / "strata.asc");
    std::string recoded;
    std::size_t line = 0;
    for (std::size_t i = 0; i < strata.size(); ++i) {
        const char c = strata[i];
        if (c == '\n')
            ++line;
        const bool cell = line >= 6 && (i == 0 || strata[i - 1] == ' ' || strata[i - 1] == '\n') &&
                          i + 1 < strata.size() && strata[i + 1] == ' ';
        recoded += cell && c == '2' ? "-1" : cell && c == '3' ? "10" : std::string(1, c);
    }
    std::ofstream(grids / "strata codes.asc", std::ios::binary) << recoded;
    std::ofstream(work / "wendbat.txt", std::ios::binary)
        << "4\r\n3\r\n" << (grids / "strata codes.asc").string() << "\r\n"
        << "grids ü ß/elevation.asc\r\n1\r\ngrids ü ß/ditchdist.asc\r\n2\r\n"
        << "grids ü ß/drainage.asc\r\n2\r\ngrids ü ß/soilclass.asc\r\n3\r\n";
    std::string points = test::readFile(example / "piezometers.csv");
    std::string converted = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i] == '\n' && !(i > 0 && points[i - 1] == '\r'))
            converted += '\r';
        else if (points[i] != '\n')
            converted += points[i];
    std::string titles = "Peilbuis é;XCOORD;YCOORD;Straße;MHW ü;sdMHW ü;MSW ü;sdMSW ü;MLW ü;sdMLW ü";
    converted.replace(3, converted.find('\r') - 3, titles);
    std::ofstream(work / "peilbuizen ü.csv", std::ios::binary) << converted;

    std::ostringstream out, err;
    const int status = runBatch(parseBatchArguments({"--missing", "-9999", "--quiet", "peilbuizen ü.csv"}), work,
                                out, err, false, [](int w, int h) -> std::unique_ptr<Canvas> {
                                    return std::make_unique<test::RecordingCanvas>(w, h);
                                });
    ASSERT_EQ(status, 0) << err.str();
    const WorkDir archive(work / "session1");
    for (const char* name : {"MHW_R.asc", "SDMLW_R.asc", "Session 1 normres.csv", "peilbuizen ü.csv"})
        EXPECT_TRUE(archive.fileExists(name)) << name;
    // The best model of each stratum, the negative and the two-digit one too.
    for (const char* stratum : {"1-MHW-", "-1-MHW-", "10-MHW-"}) {
        const auto best = archive.list(std::string(stratum) + "*.out");
        EXPECT_FALSE(best.empty()) << stratum;
    }
    const std::string map = test::readFile(work / "session1" / "MHW_R.asc");
    EXPECT_EQ(map.find("nan"), std::string::npos);
    EXPECT_EQ(map.find("inf"), std::string::npos);
}

// The registry at its limit: 15 variables, each in a group of its own, give
// 2^15 - 1 = 32767 structures per stratum and MxW.
TEST(OddInputs, FifteenVariablesInFifteenGroups)
{
    test::TempDir tmp;
    constexpr int kSide = 12;
    auto grid = [&](const std::string& name, const std::function<double(int, int)>& value) {
        std::ostringstream out;
        out << "ncols " << kSide << "\r\nnrows " << kSide
            << "\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 10\r\nNODATA_value -9999\r\n";
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c)
                out << value(r, c) << ' ';
            out << "\r\n";
        }
        tmp.write(name, out.str());
    };
    grid("strata.asc", [](int, int) { return 1.0; });
    std::string wendbat = "15\r\n15\r\nstrata.asc\r\n";
    for (int g = 1; g <= 15; ++g) {
        const std::string name = "aux" + std::to_string(g) + ".asc";
        grid(name, [g](int r, int c) { return ((r * 7 + c * (g + 2) + g * g) % 23) + 0.5 * g; });
        wendbat += name + "\r\n" + std::to_string(g) + "\r\n";
    }
    tmp.write("wendbat.txt", wendbat);
    std::string points = "Nr;X;Y;MHW\r\n";
    for (int i = 0; i < 60; ++i) {
        const int r = (i * 5) % kSide, c = (i * 7 + i / kSide) % kSide;
        const double mhw = 40 + ((r * 7 + c * 3 + 1) % 23) * 2.0 + (i % 5);
        points += "P" + std::to_string(i) + ";" + std::to_string(c * 10 + 5) + ";" +
                  std::to_string((kSide - r) * 10 - 5) + ";" + std::to_string(mhw) + "\r\n";
    }
    tmp.write("points.csv", points);
    std::ostringstream out, err;
    const int status = runBatch(parseBatchArguments({"--quiet", "--unweighted", "--no-residuals", "points.csv"}),
                                tmp.path(), out, err, false, [](int w, int h) -> std::unique_ptr<Canvas> {
                                    return std::make_unique<test::RecordingCanvas>(w, h);
                                });
    ASSERT_EQ(status, 0) << err.str();
    const WorkDir archive(tmp / "session1");
    const auto logs = archive.list("*.log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_NE(test::readFile(tmp / "session1" / logs.front()).find("32767 Regressions are done."),
              std::string::npos);
    EXPECT_FALSE(archive.list("1-MHW-*.out").empty());
    EXPECT_TRUE(archive.fileExists("MHW_R.asc"));
}

}  // namespace
}  // namespace tolvar
