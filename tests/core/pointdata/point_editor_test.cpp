#include "pointdata/point_editor.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tolvar {
namespace {

PointEditor editorWith(const std::string& text)
{
    PointEditor e;
    e.open();
    std::istringstream in(text);
    vulgrid(in, ';', false, e.data);
    e.vulboxen();
    return e;
}

TEST(PointEditor, RecordsAndColumnsAreAddedAndDeleted)
{
    PointEditor e = editorWith("Nr;MHW\r\n1;40\r\n2;50\r\n");
    e.marks.commasReplaced = e.marks.saved = true;
    e.addRecord();
    EXPECT_EQ(e.data.rowCount(), 4);
    EXPECT_EQ(e.data.row(1), (std::vector<std::string>{"ExtraPiezometer", "missing"}));
    EXPECT_EQ(e.data.cell(1, 2), "40");
    EXPECT_TRUE(e.state.RecordsAdded);
    EXPECT_FALSE(e.marks.commasReplaced || e.marks.saved);

    e.deleteRecord(2);
    EXPECT_EQ(e.data.rowCount(), 3);
    EXPECT_EQ(e.data.cell(1, 2), "50");
    EXPECT_TRUE(e.state.RecordsDeleted);
    e.deleteRecord(0);  // the title row stays
    EXPECT_EQ(e.data.cell(0, 0), "Nr");

    e.addColumn();
    e.addColumn();
    EXPECT_EQ(e.data.cell(2, 0), "data1");
    EXPECT_EQ(e.data.cell(3, 0), "data2");
    EXPECT_EQ(e.data.cell(3, 1), "missing");
    EXPECT_EQ(e.listItems.size(), 4u);
    e.deleteColumn(0);
    EXPECT_EQ(e.data.cell(0, 0), "MHW");
    EXPECT_TRUE(e.state.ColumnsAdded && e.state.ColumnsDeleted);

    e.open();  // a new opening numbers added columns from 1 again
    EXPECT_FALSE(e.state.ColumnsAdded);
    e.addColumn();
    EXPECT_EQ(e.data.cell(3, 0), "data1");
}

TEST(PointEditor, CommasSignAndSave)
{
    test::TempDir tmp;
    test::RecordingFeedback fb;
    PointEditor e = editorWith("Nr;MHW\r\nP,1;1,234,5\r\nP2;0,45\r\n");
    e.delimiter = ';';
    e.replaceCommas();
    EXPECT_EQ(e.data.cell(1, 1), "1.234.5");
    EXPECT_EQ(e.data.cell(0, 1), "P.1");
    EXPECT_TRUE(e.marks.commasReplaced);

    e.multiplyColumnByMinusOne(1);
    EXPECT_EQ(e.data.cell(1, 1), "1.234.5");      // not a number
    EXPECT_EQ(e.data.cell(1, 2), "   -0.4500");
    EXPECT_EQ(e.data.cell(1, 0), "MHW");
    EXPECT_TRUE(e.marks.signFlipped);

    e.saveToFile(WorkDir(tmp.path()), fb);
    EXPECT_EQ(test::readFile(tmp / "PointMxW Saved.csv"),
              "Nr;MHW;\r\nP.1;1.234.5;\r\nP2;   -0.4500;\r\n");
    EXPECT_EQ(fb.messages, (std::vector<std::string>{"Current data set written to <PointMxW Saved.csv>"}));
    EXPECT_TRUE(e.marks.saved);
    e.MaalMin1(1);
    EXPECT_EQ(e.data.cell(1, 2), "    0.4500");
}

TEST(PointEditor, SquareRootAndSquareOfAnSdColumnAlternate)
{
    test::RecordingFeedback fb;
    PointEditor e = editorWith("Nr;MHW;sdMHW\r\n1;40;4\r\n2;50;-1\r\n3;60;missing\r\n");
    ASSERT_EQ(e.roleTexts[kSDMHW], "sdMHW");
    e.squareRootSd(Mxw::MHW, fb);
    EXPECT_EQ(e.data.cell(2, 1), "   2.000");
    EXPECT_EQ(e.data.cell(2, 2), "-1");
    EXPECT_EQ(e.data.cell(2, 3), "missing");
    EXPECT_EQ(fb.messages.back(), "Negative numbers and/or words not converted!");
    EXPECT_FALSE(e.state.sqrtEnabled[0]);
    EXPECT_TRUE(e.state.squareEnabled[0]);

    PointEditor s = editorWith("Nr;MHW;sdMHW\r\n1;40;4\r\n2;50;-1\r\n3;60;missing\r\n");
    s.squareSd(Mxw::MHW, fb);
    EXPECT_EQ(s.data.cell(2, 1), "  16.000");
    EXPECT_EQ(s.data.cell(2, 2), "   1.000");
    EXPECT_EQ(fb.messages.back(), "Only numbers converted!");
    EXPECT_FALSE(s.state.squareEnabled[0]);
    EXPECT_TRUE(s.state.sqrtEnabled[0]);

    const std::size_t before = fb.messages.size();
    s.squareRootSd(Mxw::MSW, fb);  // no sdMSW column: nothing converted, nothing said
    EXPECT_EQ(fb.messages.size(), before);
}

TEST(PointEditor, MissingCodeIsReplacedOnlyWhereItStandsExactly)
{
    PointEditor e = editorWith("Nr;MHW;MLW\r\n-9999;-9999;-9999.0\r\n2; -9999;\r\n");
    e.applyMissingCode();
    EXPECT_EQ(e.data.row(1), (std::vector<std::string>{"missing", "missing", "-9999.0"}));
    EXPECT_EQ(e.data.cell(1, 2), " -9999");
    EXPECT_EQ(e.state.missingCode, "");
    e.applyMissingCode();  // an empty code now marks the empty cells
    EXPECT_EQ(e.data.cell(2, 2), "missing");
    EXPECT_EQ(e.data.cell(0, 0), "Nr");
}

TEST(PointEditor, ProposalTakesTheLeftmostMatchingTitle)
{
    PointEditor e = editorWith("Piezometer;XCOORD;YCOORD;MHW;sdMHW;MLW;Gebied\r\n");
    EXPECT_EQ(e.roleTexts[kMHW], "MHW");
    EXPECT_EQ(e.roleTexts[kSDMHW], "sdMHW");
    EXPECT_EQ(e.roleTexts[kMSW], "");
    EXPECT_EQ(e.roleTexts[kMLW], "MLW");
    EXPECT_EQ(e.roleTexts[kSTRATA], "Gebied");
    EXPECT_EQ(e.roleTexts[kX], "XCOORD");
    EXPECT_EQ(e.roleTexts[kY], "YCOORD");
    PointEditor sdFirst = editorWith("sdMHW;MHW\r\n");
    EXPECT_EQ(sdFirst.roleTexts[kMHW], "sdMHW");

    sdFirst.roleTexts[kMHW] = "typed";
    sdFirst.keyPressed();  // a key in the table renews the proposal
    EXPECT_EQ(sdFirst.roleTexts[kMHW], "sdMHW");
}

TEST(PointEditor, ReadyWritesBothWorkingFiles)
{
    test::TempDir tmp;
    test::RecordingFeedback fb;
    PointEditor e = editorWith(
        "Piezometer;XCOORD;YCOORD;MHW;sdMHW;MLW;MLW\r\nP1;155030;463990;40;-0.05;120;121\r\n"
        "P2;155100;463800; 55;3;missing;130\r\n");
    const PointColumns columns = e.ready(WorkDir(tmp.path()), fb);
    EXPECT_EQ(columns[kMLW], 6);  // two equal titles: the rightmost
    EXPECT_EQ(test::readFile(tmp / "temp.txt"),
              "3 MHW\r\n4 sdMHW\r\n-1 no MSW found\r\n-1 no SDMSW found\r\n6 MLW\r\n"
              "-1 no SDMLW found\r\n-1 no STRATA found\r\n1 XCOORD\r\n2 YCOORD\r\n");
    EXPECT_EQ(test::readFile(tmp / "temp.csv"),
              "Piezometer;XCOORD;YCOORD;MHW;sdMHW;MLW;MLW;\r\n"
              "P1;155030;463990;40;missing;120;121;\r\n"
              "P2;155100;463800; 55;3;missing;130;\r\n");
    EXPECT_EQ(e.data.cell(4, 1), "missing");
    EXPECT_TRUE(fb.messages.empty());
    EXPECT_EQ(readTempTxt(WorkDir(tmp.path()))[kY], 2);

    // Empty role texts never match STRATA, X or Y, even an empty title.
    PointEditor blank = editorWith("A;MHW\r\n1;2\r\n");
    blank.data.cell(0, 0) = "";
    blank.roleTexts.fill("");
    const PointColumns none = blank.ready(WorkDir(tmp.path()), fb);
    EXPECT_EQ(none[kX], -1);
    EXPECT_EQ(none[kSTRATA], -1);
    EXPECT_EQ(none[kMHW], 0);
}

TEST(PointEditor, SignCheckFlipsMostlyNegativeMxw)
{
    std::string seven = "Nr;MHW;MSW\r\n";
    for (int i = 1; i <= 10; ++i)
        seven += std::to_string(i) + ";" + (i <= 7 ? "-" : "") + "0.45;" + (i <= 8 ? "-" : "") +
                 "1.2\r\n";
    PointEditor e = editorWith(seven);
    test::RecordingFeedback fb;
    PointColumns columns;
    columns[kMHW] = 1;
    columns[kMSW] = 2;
    EXPECT_EQ(e.CheckAdaptSign(columns, fb), (std::vector<Mxw>{Mxw::MSW}));  // L = 7: 7 no, 8 yes
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0],
              "More than 2/3 of MSW is less than 0\r\n"
              "Water table depths below surface must be positive values;\r\n"
              "therefore all abovementioned MxW will be multiplied by -1\r\n"
              "Consider recoding missing data (example: -9999 becomes +9999!).");
    EXPECT_EQ(e.data.cell(2, 1), "    1.2000");
    EXPECT_EQ(e.data.cell(2, 10), "   -1.2000");
    EXPECT_EQ(e.data.cell(1, 1), "-0.45");
}

TEST(ReCheck, WeightingNeedsAnSdColumnForEveryCheckedMxw)
{
    EXPECT_FALSE(ReCheck({false, false, false}, {1, 2, 3}));
    EXPECT_TRUE(ReCheck({true, false, false}, {4, -1, -1}));
    EXPECT_FALSE(ReCheck({true, false, true}, {4, -1, -1}));
    EXPECT_TRUE(ReCheck({true, true, true}, {1, 2, 3}));
}

}  // namespace
}  // namespace tolvar
