#include "mapping/map_status.h"
#include "mapping/prediction.h"
#include "mapping/prediction_run.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tolvar {
namespace {

TEST(OrderCheck, BandsMeetInTheMiddle)
{
    std::array<double, 3> values{120, 100, -9999};
    const Presence present{true, true, false};
    EXPECT_FALSE(CheckOK(values, present));
    EXPECT_TRUE(orderCheck(values, {5, 5, 0}, present));
    EXPECT_EQ(values[0], 110.0);
    EXPECT_EQ(values[1], 110.0);
    EXPECT_TRUE(CheckOK(values, present));
}

TEST(OrderCheck, SearchWithinOverlappingBands)
{
    double a = 104, b = 100;
    modify(a, 5, b, 5);
    EXPECT_LT(a, b);
    EXPECT_GE(a, 104 - 10);
    EXPECT_LE(b, 100 + 10);
}

TEST(OrderCheck, ZeroBandsBecomeOneAndOnlyTheFirstPairIsTested)
{
    std::array<double, 3> values{120, 100, 200};
    std::array<double, 3> bands{0, 0, 0};
    const Presence all{true, true, true};
    Pas_GxG_Aan(values, bands, all);
    EXPECT_EQ(bands, (std::array<double, 3>{1, 1, 1}));
    EXPECT_LE(values[0], values[1]);

    std::array<double, 3> msw{50, 80, 60};  // MHW <= MSW, MSW > MLW: in order
    EXPECT_TRUE(CheckOK(msw, all));
    EXPECT_FALSE(orderCheck(msw, {1, 1, 1}, all));
    EXPECT_EQ(msw[2], 60.0);

    std::array<double, 3> mhwMlw{90, -9999, 80};  // MSW absent: MHW against MLW
    EXPECT_FALSE(CheckOK(mhwMlw, {true, false, true}));
    std::array<double, 3> one{90, -9999, -9999};
    EXPECT_TRUE(CheckOK(one, {true, false, false}));
    std::array<double, 3> equal{90, 90, 10};
    EXPECT_TRUE(CheckOK(equal, all));
    EXPECT_EQ(wrongOrderText(50, 10000),
              "\r\n\r\nMxW were found in the wrong order\r\nin   0.500% of the area. These are corrected.");
}

TEST(Bepaalsd, QuadraticFormOverResidualVariance)
{
    Tmodel m;
    m.P = 2;
    m.MSRes = 4;
    m.VarCov[1][1] = 1.0;
    m.VarCov[1][2] = m.VarCov[2][1] = 0.5;
    m.VarCov[2][2] = 2.0;
    std::array<double, 17> z{};
    z[1] = 1;
    z[2] = 3;
    EXPECT_DOUBLE_EQ(bepaalsd(m, z, -9999), std::sqrt((1 + 2 * 0.5 * 3 + 2 * 9) / 4.0));
    z[2] = 0;
    EXPECT_DOUBLE_EQ(bepaalsd(m, z, -9999), std::sqrt(1.0 / 4.0));
    m.VarCov[1][1] = -0.1;  // rounding made the form negative
    EXPECT_EQ(bepaalsd(m, z, -9999), 0.0);
    m.MSRes = 0;  // an exact fit has no spread
    EXPECT_EQ(bepaalsd(m, z, -9999), -9999.0);
}

TEST(Predict, PairsTheKthGroupWithCoefficientK)
{
    Tmodel m;
    m.WelkeAhnplus.fill(-1);
    m.WelkeAhnplus[1] = 3;
    m.WelkeAhnplus[4] = 2;
    m.Coef[0] = 10;
    m.Coef[1] = 2;
    m.Coef[2] = -1;
    std::array<double, 16> aux{};
    std::array<bool, 16> missing{};
    aux[3] = 5;
    aux[2] = 7;
    const Prediction p = predict(m, aux, missing);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.value, 10 + 2 * 5 - 7);
    EXPECT_EQ(p.z[1], 1.0);
    EXPECT_EQ(p.z[2], 5.0);
    EXPECT_EQ(p.z[3], 7.0);
    missing[2] = true;
    EXPECT_FALSE(predict(m, aux, missing).ok);
}

TEST(MapStatus, ScaleGreyLevelsAndPainting)
{
    test::RecordingCanvas canvas(kMapStatusSize, kMapStatusSize);
    MapStatusPicture picture(canvas);
    picture.blank();
    picture.param(GridHeader{100, 50, 0, 0, 1, -9999});
    EXPECT_DOUBLE_EQ(picture.cellSize(), 350.0 / 99);
    EXPECT_EQ(picture.squareSide(), 4);
    picture.pixel(colors::grey(7), 1, 1);
    picture.pixel(colors::grey(9), 100, 50);
    const auto rects = canvas.of(test::RecordingCanvas::Op::FillRect);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].brush, colors::kButtonFace);
    EXPECT_EQ(rects[1].x1, -2);  // round(0 - 0.5 * 3.535)
    EXPECT_EQ(rects[1].x2, 2);
    EXPECT_EQ(rects[2].x1, 348);
    EXPECT_EQ(rects[2].y1, 171);  // row 50 lies half way: the lower half stays blank
    EXPECT_EQ(rects[2].brush, colors::grey(9));

    picture.param(GridHeader{1000, 1000, 0, 0, 1, -9999});
    EXPECT_EQ(picture.squareSide(), 1);
    picture.param(GridHeader{1, 1, 0, 0, 1, -9999});  // one cell: a defined scale
    EXPECT_EQ(picture.squareSide(), 350);

    const MxwRange range{40, 140};
    EXPECT_EQ(greyLevel(10, range), colors::grey(1));  // below the range: almost black
    EXPECT_EQ(greyLevel(200, range), colors::grey(255));
    EXPECT_EQ(greyLevel(90, range), colors::grey(128));  // 127.5 rounds to even
    EXPECT_EQ(greyLevel(50, MxwRange{50, 50}), colors::grey(128));
}

}  // namespace
}  // namespace tolvar
