#include "pictures/qt_canvas.h"
#include "presentation/result_display.h"
#include "support/temp_dir.h"

#include <QImage>
#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The result picture drawn by the core rules on the real surface: saved under
// its ".wmf" name as a 350 x 250 bitmap with the points and axes in place.
TEST(ScatterplotPicture, SavedBitmapHoldsThePlotWhereTheRulesPutIt)
{
    test::TempDir dir;
    QtCanvas canvas(350, 250);
    const std::vector<Observation> observations{{1, 35, 40}, {2, 90, 100}, {3, 140, 120}};
    blankimgFIT(canvas);
    drawScatterplot(canvas, "1-MHW-g01h01-g02h02-gew", observations);
    const auto path = dir / "1-MHW-g01h01-g02h02-gew.wmf";
    canvas.saveBmp(path);

    QImage back(QString::fromStdString(path.string()), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(350, 250));
    const PlotRange range = plotRange(observations);  // 0 .. 150
    ASSERT_EQ(range.lo, 0);
    ASSERT_EQ(range.hi, 150);
    for (const Observation& o : observations) {
        const int x = range.px(o.observed), y = range.py(o.predicted);
        EXPECT_EQ(back.pixelColor(x, y), QColor(Qt::black)) << o.observed;
        EXPECT_EQ(back.pixelColor(x + 1, y + 1), QColor(Qt::black)) << o.observed;
    }
    EXPECT_EQ(back.pixelColor(225, 100), QColor(Qt::black));  // right border
    EXPECT_EQ(back.pixelColor(120, 25), QColor(Qt::black));   // top border
    EXPECT_EQ(back.pixelColor(300, 240), QColor(Qt::white));  // outside the plot, no label
}

}  // namespace
}  // namespace tolvar
