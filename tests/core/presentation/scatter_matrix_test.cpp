#include "presentation/scatter_matrix.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using test::RecordingCanvas;

TEST(ScatterMatrix, FiveVariablesInFifteenCells)
{
    test::TempDir tmp;
    tmp.write("scatterdat.txt",
              "5\r\ndem\r\nsoil\r\nflat\r\nditch\r\ndepth\r\n"
              "     1.000 2 7 -999 10 \r\n     3.000 4 7 5 20 \r\n     5.000 6 7 6 30 \r\n");
    RecordingCanvas canvas(kMultiScatWidth, kMultiScatHeight);
    test::RecordingFeedback fb;
    ASSERT_TRUE(showMultiScatter(WorkDir(tmp.path()), canvas, fb));
    const auto cells = canvas.of(RecordingCanvas::Op::Rectangle);
    ASSERT_EQ(cells.size(), 15u);
    EXPECT_EQ(cells[0].x1, 0);
    EXPECT_EQ(cells[0].y1, 10);
    EXPECT_EQ(cells[0].x2, 105);
    EXPECT_EQ(cells[0].y2, 115);
    EXPECT_EQ(cells[0].pen, colors::kSilver);
    std::vector<int> legendY;
    for (const auto& t : canvas.of(RecordingCanvas::Op::Text))
        if (t.text.find(": ") != std::string::npos)
            legendY.push_back(t.y1);
    EXPECT_EQ(legendY, (std::vector<int>{285, 300, 315, 330, 345}));

    const auto points = canvas.of(RecordingCanvas::Op::Pixel);
    // Three lines: 15 cells each, less the 5 cells of variable 4 on the first line.
    EXPECT_EQ(points.size(), 3u * 15u - 5u);
    // Variable 3 is constant: range 1, every value at offset 1 in its cells.
    // Cell (1, 1) of the first line: variable 1 at its lowest, offset 1.
    EXPECT_EQ(points[0].x1, 1);
    EXPECT_EQ(points[0].y1, 105 - 1 + 10);
    EXPECT_EQ(points[0].pixel, colors::kBlack);
}

TEST(ScatterMatrix, TooManyOrNoVariables)
{
    test::RecordingFeedback fb;
    RecordingCanvas canvas(kMultiScatWidth, kMultiScatHeight);
    ScatterData many;
    many.n = 21;
    EXPECT_FALSE(drawMultiScatter(many, canvas, fb));
    EXPECT_EQ(fb.messages, (std::vector<std::string>{"Too many scatterplots for 1 screen; MultiScatter stops."}));
    ScatterData none;
    EXPECT_TRUE(drawMultiScatter(none, canvas, fb));
    EXPECT_TRUE(canvas.calls.empty());
}

}  // namespace
}  // namespace tolvar
