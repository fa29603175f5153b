#include "presentation/result_display.h"
#include "regression/regression_files.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using test::RecordingCanvas;

struct Display {
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};
    RecordingCanvas canvas{kPlotWidth, kPlotHeight};

    Display()
    {
        std::tm t{};
        state.log.open(tmp.path(), t);
        state.SessionNumber = 2;
        state.registry.startUp();
        state.registry.addVariable(fb);
        state.registry.addVariable(fb);
        // A weighted fit with two variables from groups 1 and 3.
        fs::copy_file(test::dataFile("regression_k2_weighted.dat"), tmp / "2-MHW-g01h03-g03h07-gew.dat");
        RunRegressionFile(tmp.path(), "2-MHW-g01h03-g03h07-gew.dat", true);
        state.structures = {"g01h03", "g01h03-g03h07", "g03h07"};
    }
    ResultChoice choice() const
    {
        ResultChoice c;
        c.stratumText = "         2";
        c.mxw = "MHW";
        c.groupCount = 3;
        c.auxVarCount = 7;
        c.weighted = true;
        c.ticked[3][1] = true;
        c.ticked[7][3] = true;
        return c;
    }
    std::string log() { return test::readFile(tmp / state.log.fileName()); }
};

TEST(ResultDisplay, TableTextsForGroupsOneAndThree)
{
    Display d;
    const DisplayOutcome out = showResult(d.state, d.choice(), d.canvas);
    ASSERT_TRUE(out.found);
    EXPECT_EQ(out.fileName, "2-MHW-g01h03-g03h07-gew.out");
    const ResultTable& t = out.table;
    EXPECT_EQ(t[0][0], "n");
    EXPECT_EQ(t[0][1], "6");
    EXPECT_EQ(t[1][1], "2.949939");
    EXPECT_EQ(t[2][1], "0.987822");
    EXPECT_EQ(t[3][1], "0.979703");
    EXPECT_EQ(t[4][1], "nb");
    EXPECT_EQ(t[4][2], "Std=");
    EXPECT_EQ(t[5][0], "Intercept");
    EXPECT_EQ(t[5][1], "22.75431");
    EXPECT_EQ(t[5][2], "9.334891");
    EXPECT_EQ(t[5][3], "2.44");
    EXPECT_EQ(t[6][0], "coeff. (group1)");
    EXPECT_EQ(t[6][1], "10.32284");
    EXPECT_EQ(t[7][1], "missing");  // group 2 has no variable in this model
    EXPECT_EQ(t[8][1], "0.876304");
    EXPECT_EQ(t[8][3], "1.08");
    EXPECT_EQ(t[20][0], "coeff. (group15)");

    EXPECT_TRUE(fs::exists(d.tmp / "2-MHW-g01h03-g03h07-gew.wmf") ||
                !d.canvas.savedTo.empty());
    ASSERT_EQ(d.canvas.savedTo.size(), 1u);
    EXPECT_EQ(d.canvas.savedTo[0], d.tmp / "2-MHW-g01h03-g03h07-gew.wmf");
    const std::string log = d.log();
    EXPECT_NE(log.find("\r\n\r\n****** 2 PRESENTED REGRESSION RESULTS ******\r\n"
                       "Regression file <2-MHW-g01h03-g03h07-gew.out> presented. Scatterplot "
                       "<2-MHW-g01h03-g03h07-gew.wmf> written to file\r\n"
                       "Regression file <2-MHW-g01h03-g03h07-gew.out> presented. Scatterplot "
                       "<*.wmf> written to file\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(d.state.milestone, Mijlpaal::na_rapporteren);

    // The six observations are drawn as 2 x 2 squares where the range puts them.
    const auto squares = d.canvas.of(RecordingCanvas::Op::FillRect);
    ASSERT_EQ(squares.size(), 6u);
    const PlotRange range{0, 100};  // values between 42 and 91.4
    EXPECT_EQ(squares[0].x1, range.px(42.0));
    EXPECT_EQ(squares[0].y1, range.py(42.2784));
    EXPECT_EQ(squares[0].x2, squares[0].x1 + 2);
    EXPECT_EQ(squares[0].brush, colors::kBlack);
}

TEST(ResultDisplay, BestModeShowsCpAndSavesThePairPicture)
{
    Display d;
    showResult(d.state, d.choice(), d.canvas);  // the banner comes once per run
    const DisplayOutcome out = showResult(d.state, d.choice(), d.canvas, true, 3.25);
    EXPECT_EQ(out.table[4][1], "     3.250");
    ASSERT_EQ(d.canvas.savedTo.size(), 3u);
    EXPECT_EQ(d.canvas.savedTo[2], d.tmp / "2-MHW.wmf");
    const std::string log = d.log();
    EXPECT_EQ(log.find("PRESENTED REGRESSION RESULTS"), log.rfind("PRESENTED REGRESSION RESULTS"));
    EXPECT_NE(log.find("best regression file <2-MHW-g01h03-g03h07-gew.out> presented. Scatterplot "
                       "<2-MHW.wmf> written to file\r\n"),
              std::string::npos);
}

TEST(ResultDisplay, MissingResultIsReportedAndLogged)
{
    Display d;
    ResultChoice c = d.choice();
    c.ticked[7][3] = false;
    const DisplayOutcome out = showResult(d.state, c, d.canvas);
    EXPECT_FALSE(out.found);
    const std::string text = "Regression file <2-MHW-g01h03-gew.out> not found!\r\n"
                             "The regression results is too poor, or:\r\n"
                             "possibly the regression is not performed because of \r\n"
                             "too few data points.";
    EXPECT_EQ(d.fb.messages, (std::vector<std::string>{text}));
    EXPECT_NE(d.log().find(text + "\r\n"), std::string::npos);
    EXPECT_EQ(out.table[0][1], "missing");
    EXPECT_TRUE(d.canvas.savedTo.empty());
}

// A structure without a result file is reported for what it is: no model at
// all (two variables in one group, or left out of the run), or a regression
// that was too poor or had too few points.
TEST(ResultDisplay, MissingResultSaysWhyThereIsNone)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> ticks;  // variable, group
        const char* file;
        const char* why;
    };
    const Case cases[] = {
        {"two in one group", {{3, 1}, {4, 1}}, "2-MHW-g01h03-g01h04-gew.out",
         "The ticked structure has more than one variable in a group: a model takes at most one "
         "variable per group."},
        {"not in the run", {{3, 1}, {5, 2}}, "2-MHW-g01h03-g02h05-gew.out",
         "This structure was not part of the run: no regression was done for it."},
        {"nothing ticked", {}, "2-MHW-gew.out",
         "This structure was not part of the run: no regression was done for it."},
        {"in the run", {{7, 3}}, "2-MHW-g03h07-gew.out",
         "The regression results is too poor, or:\r\npossibly the regression is not performed because "
         "of \r\ntoo few data points."},
    };
    for (const Case& c : cases) {
        Display d;
        ResultChoice choice = d.choice();
        choice.ticked = {};
        for (const auto& [v, g] : c.ticks)
            choice.ticked[static_cast<std::size_t>(v)][static_cast<std::size_t>(g)] = true;
        EXPECT_FALSE(showResult(d.state, choice, d.canvas).found) << c.name;
        EXPECT_EQ(d.fb.messages,
                  (std::vector<std::string>{std::string("Regression file <") + c.file + "> not found!\r\n" + c.why}))
            << c.name;
    }
}

// A statistic the result file lacks reads "missing", not a cut of that word.
TEST(ResultDisplay, LackingStatisticShowsMissing)
{
    Display d;
    const fs::path out = d.tmp / "2-MHW-g01h03-g03h07-gew.out";
    std::string kept;
    for (const std::string& line : test::readLines(out))
        if (line.find("determination") == std::string::npos)
            kept += line + "\r\n";
    d.tmp.write("2-MHW-g01h03-g03h07-gew.out", kept);
    const DisplayOutcome shown = showResult(d.state, d.choice(), d.canvas);
    EXPECT_EQ(shown.table[2][1], "missing");
    EXPECT_EQ(shown.table[3][1], "missing");
    EXPECT_EQ(shown.table[1][1], "2.949939");
}

TEST(ResultDisplay, ShowTheBestResultTicksItsStructure)
{
    Display d;
    ResultChoice c = d.choice();
    c.ticked = {};
    d.state.registry.GroupCount = 3;
    const BestOutcome best = showBestResult(d.state, c, d.canvas);
    ASSERT_TRUE(best.found);
    EXPECT_EQ(best.bestName, "2-MHW-g01h03-g03h07-gew.out");
    EXPECT_TRUE(best.choice.ticked[3][1]);
    EXPECT_TRUE(best.choice.ticked[7][3]);
    int ticks = 0;
    for (const auto& row : best.choice.ticked)
        for (bool b : row)
            ticks += b;
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(best.display.table[4][1], "     3.000");  // the only model: Cp = p

    ResultChoice other = c;
    other.stratumText = "9";
    const BestOutcome none = showBestResult(d.state, other, d.canvas);
    EXPECT_FALSE(none.found);
    EXPECT_TRUE(none.bestName.empty());
    EXPECT_EQ(d.fb.messages.back().substr(0, 43), "No regression result found for stratum 9 an");
}

TEST(PlotRange, MultiplesOfFiftyAroundTheValuesAndZero)
{
    struct Case {
        double lo, hi, rangeLo, rangeHi;
    };
    const Case cases[] = {
        {35, 140, 0, 150}, {-130, -20, -150, 50}, {0, 150, 0, 200}, {-50, 10, -100, 50}, {10, 49.4, 0, 50},
    };
    for (const Case& c : cases) {
        const PlotRange r = plotRange({{1, c.lo, c.hi}});
        EXPECT_EQ(r.lo, c.rangeLo) << c.lo << ".." << c.hi;
        EXPECT_EQ(r.hi, c.rangeHi) << c.lo << ".." << c.hi;
    }
    const PlotRange empty = plotRange({});
    EXPECT_EQ(empty.lo, 0);
    EXPECT_EQ(empty.hi, 50);
    const PlotRange r{0, 150};
    EXPECT_EQ(r.px(0), 24);
    EXPECT_EQ(r.px(150), 224);
    EXPECT_EQ(r.py(150), 24);
    EXPECT_EQ(r.px(75), 124);
}

TEST(Scatterplot, TickLabelsAxesAndTitle)
{
    RecordingCanvas canvas(kPlotWidth, kPlotHeight);
    drawScatterplot(canvas, "1-MHW-g01h01-gew.out", {{1, 35, 40}, {2, 140, 132}});
    std::vector<std::string> labels;
    for (const auto& c : canvas.of(RecordingCanvas::Op::Text))
        labels.push_back(c.text);
    // 0 is the lower end of the range and gets no label.
    EXPECT_EQ(labels, (std::vector<std::string>{"50", "50", "100", "100", "1-MHW-g01h01-gew.out",
                                                "Meting", "Voorspelling"}));
    const auto texts = canvas.of(RecordingCanvas::Op::Text);
    const PlotRange range{0, 150};
    EXPECT_EQ(texts[0].x1, range.px(50) - 6);  // centred: width 12 div 2
    EXPECT_EQ(texts[0].y1, 226);
    EXPECT_EQ(texts[1].x1, 250 - 12);
    EXPECT_EQ(texts[1].y1, range.py(50) - 6);
    EXPECT_TRUE(texts[4].font.bold);
    EXPECT_EQ(texts[4].x1, 1);
    EXPECT_EQ(texts[5].font.color, colors::kRed);
    EXPECT_TRUE(texts[5].font.italic);
    EXPECT_EQ(texts[5].x1, 125 - 18);
    EXPECT_EQ(texts[6].x1, 1);
    EXPECT_EQ(texts[6].y1, 125 - 6);

    const auto lines = canvas.of(RecordingCanvas::Op::Line);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].x1, 24);  // the 1:1 line
    EXPECT_EQ(lines[0].y2, 24);
    EXPECT_EQ(lines[0].pen, colors::kSilver);
    EXPECT_EQ(lines[1].penWidth, 2);  // the zero line
    EXPECT_EQ(lines[1].y1, range.py(0));
}

TEST(Scatterplot, LongTitlesBreakAfterAHyphen)
{
    const std::string fifty = "1-MHW-g01h01-g02h02-g03h03-g04h04-g05h05-g06h0-gew";  // 50
    ASSERT_EQ(fifty.size(), 50u);
    EXPECT_EQ(titleLines(fifty), (std::vector<std::string>{fifty}));
    const std::string name = "12-MHW-g01h01-g02h02-g03h03-g04h04-g05h05-g06h06-gew.out";
    EXPECT_EQ(titleLines(name),
              (std::vector<std::string>{"12-MHW-g01h01-g02h02-g03h03-g04h04-g05h05-g06h06-", "gew.out"}));
    const std::string noHyphen(60, 'a');
    EXPECT_EQ(titleLines(noHyphen), (std::vector<std::string>{"", noHyphen}));
    // No "-" among characters 40 to 50: an empty first line; a rest without
    // "-" in its first 10 characters is the last line whole.
    EXPECT_EQ(titleLines("1-MSW-" + std::string(44, 'x') + "-g01h01-gew.out"),
              (std::vector<std::string>{"", "1-MSW-", std::string(44, 'x') + "-g01h01-gew.out"}));
    RecordingCanvas canvas(kPlotWidth, kPlotHeight);
    drawScatterplot(canvas, name, {});
    const auto texts = canvas.of(RecordingCanvas::Op::Text);
    const auto title = std::find_if(texts.begin(), texts.end(), [](const auto& c) { return c.font.bold; });
    ASSERT_NE(title, texts.end());
    EXPECT_EQ(title->x1, 349 - 6 * 49);
    EXPECT_EQ(title->y1, 0);
    EXPECT_EQ((title + 1)->text, "gew.out");
    EXPECT_EQ((title + 1)->y1, 15);
    EXPECT_EQ((title + 1)->x1, 349 - 6 * 7);
}

TEST(StructureSelection, OneVariablePerGroup)
{
    std::array<std::array<bool, 16>, 16> ticked{}, state{};
    ticked[1][2] = state[1][2] = true;
    ticked[2][1] = state[2][1] = true;
    ticked[3][2] = true;  // the user ticks variable 3 in group 2
    EXPECT_TRUE(CheckBox1Click(ticked, state));
    EXPECT_FALSE(ticked[1][2]);
    EXPECT_TRUE(ticked[3][2]);
    EXPECT_TRUE(ticked[2][1]);  // other groups keep their ticks
    EXPECT_EQ(ticked, state);
    ticked[3][2] = false;  // unticking leaves the group empty
    EXPECT_TRUE(CheckBox1Click(ticked, state));
    EXPECT_FALSE(state[3][2]);
    EXPECT_FALSE(CheckBox1Click(ticked, state));  // nothing changed
    EXPECT_EQ(mxwSelectorItems({false, true, false}), (std::vector<std::string>{"MSW"}));
}

TEST(ResultDisplay, HelperRules)
{
    EXPECT_EQ(toskim(" n =    25"), "n25");
    EXPECT_EQ(toskim("   123456789012"), "12345678");
    EXPECT_TRUE(binnen(24, 326));
    EXPECT_FALSE(binnen(23, 100));
    EXPECT_EQ(bepaalgroep(1, "2-MHW-g01h03-g03h07-gew.out"), 1);
    EXPECT_EQ(bepaalgroep(2, "2-MHW-g01h03-g03h07-gew.out"), 3);
    EXPECT_EQ(bepaalgroep(3, "2-MHW-g01h03-g03h07-gew.out"), 0);
    ResultTable t;
    BLANKSTRGRDFIT(t);
    EXPECT_EQ(t[1][0], "SQRT(MSres)");
    EXPECT_EQ(t[3][0], "r2-adj");
    EXPECT_EQ(t[4][0], "Mallow's Cp");
    EXPECT_EQ(t[4][3], "t-Student=");
    EXPECT_EQ(t[0][2], "");
}

}  // namespace
}  // namespace tolvar
