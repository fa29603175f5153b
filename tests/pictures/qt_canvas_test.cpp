#include "pictures/qt_canvas.h"
#include "support/temp_dir.h"

#include <QImage>
#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(QtCanvas, SavesABitmapOfItsSizeWithWhatWasDrawn)
{
    test::TempDir dir;
    QtCanvas canvas(350, 250);
    canvas.setBrush(colors::kBlack);
    canvas.fillRect(10, 20, 12, 22);
    canvas.setPen(colors::kRed, 1);
    canvas.line(100, 5, 200, 5);
    canvas.setPixel(300, 200, colors::grey(128));
    canvas.setFont(FontStyle{8, true, false, colors::kBlack});
    EXPECT_GT(canvas.textWidth("Meting"), canvas.textWidth("M"));
    EXPECT_GT(canvas.textHeight("Meting"), 5);
    canvas.text(150, 100, "Voorspelling");

    const auto path = dir / "picture.wmf";
    canvas.saveBmp(path);
    const std::string bytes = test::readFile(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");

    QImage back(QString::fromStdString(path.string()), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.width(), 350);
    EXPECT_EQ(back.height(), 250);
    EXPECT_EQ(back.pixelColor(10, 20), QColor(Qt::black));
    EXPECT_EQ(back.pixelColor(11, 21), QColor(Qt::black));
    EXPECT_EQ(back.pixelColor(12, 22), QColor(Qt::white));  // the far corner is excluded
    EXPECT_EQ(back.pixelColor(150, 5), QColor(Qt::red));
    EXPECT_EQ(back.pixelColor(300, 200), QColor(128, 128, 128));
}

TEST(QtCanvas, UnwritablePathRaisesIoError)
{
    test::TempDir dir;
    QtCanvas canvas(10, 10);
    EXPECT_THROW(canvas.saveBmp(dir / "missing" / "x.wmf"), std::exception);
}

}  // namespace
}  // namespace tolvar
