#include "kriging/regression_kriging.h"
#include "common/number_format.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<std::string>> gridCells(const fs::path& path)
{
    const auto lines = test::readLines(path);
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 6; i < lines.size(); ++i) {
        std::istringstream in(lines[i]);
        std::vector<std::string> row;
        for (std::string t; in >> t;)
            row.push_back(t);
        rows.push_back(row);
    }
    return rows;
}

// A sample table as the residual step leaves it: snapped coordinates and the
// normalized residuals of MHW and MSW (one point without one), on a grid of
// 12 x 9 cells of 100 m.
struct Kriged {
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};
    test::RecordingCanvas picture{350, 250};
    GridHeader header{12, 9, 1000, 2000, 100, -9999};

    Kriged()
    {
        InitGridProps(state.GridProps);
        state.GridProps[0][kNodata] = -9999;
        TextTable& t = state.sampling.SampleTable;
        t.rows.push_back({"Xnew", "Ynew", "NormResMHW", "NormResMSW"});
        for (int i = 0; i < 40; ++i) {
            const int c = (i * 7) % 12, r = (i * 5 + i / 12) % 9;
            const double x = 1050 + 100 * c, y = 2850 - 100 * r;
            const double e = std::sin(x / 300) + std::cos(y / 250);
            t.rows.push_back({fixed(x, 9, 2), fixed(y, 9, 2), fixed(e, 10, 6),
                              i == 3 ? fixed(-9999, 10, 6) : fixed(0.8 * e + 0.1, 10, 6)});
        }
        state.sampling.columns[kX] = 0;
        state.sampling.columns[kY] = 1;
    }
};

TEST(RegressionKriging, ResidualPointsLeaveOutMissingOnes)
{
    Kriged k;
    EXPECT_EQ(normalizedResidualPoints(k.state, Mxw::MHW).size(), 40u);
    EXPECT_EQ(normalizedResidualPoints(k.state, Mxw::MSW).size(), 39u);
    EXPECT_TRUE(normalizedResidualPoints(k.state, Mxw::MLW).empty());
}

// MxW_RK = prediction + S e and SDMxW_RK = S sqrt(v + sd^2) cell by cell,
// NODATA where there is no prediction; the order check corrects the kriged
// pair, the picture is saved and the parameters are logged.
TEST(RegressionKriging, FinalMapsAddTheKrigedResidualInMxwUnits)
{
    Kriged k;
    KrigingSettings settings;
    settings.on = true;
    settings.neighbours = 12;
    settings.lagWidth = 150;
    settings.cutoff = 900;
    const std::string maps = (k.tmp / "maps").string();
    fs::create_directory(maps);
    const std::array<std::string, 6> names{maps + "/MHW_R.asc", "", maps + "/MSW_R.asc", "", "", ""};
    RegressionKriging rk(k.state, {true, true, false}, names, settings, true, k.header, k.picture);
    ASSERT_TRUE(rk.any());
    const double nodata = -9999;
    auto prediction = [](int m, long long r, long long c) { return 50.0 + 30 * m + r * 2.5 + c; };
    auto msres = [](int m, long long c) { return c < 6 ? 16.0 + m : 25.0; };  // two strata
    for (long long r = 0; r < k.header.nrows; ++r) {
        for (long long c = 0; c < k.header.ncols; ++c) {
            PerMxw<double> v{}, sd{}, ms{};
            for (int m = 0; m < 3; ++m) {
                const bool none = m == 2 || (r == 4 && c == 5);
                v[at(m)] = none ? nodata : prediction(m, r, c);
                sd[at(m)] = none ? nodata : 0.3 + 0.01 * c;
                ms[at(m)] = none ? nodata : msres(m, c);
            }
            if (r == 8 && c == 11)  // out of order before kriging already
                v[1] = v[0] - 40;
            rk.cell(v, sd, ms);
        }
        rk.endRow();
    }
    rk.finish();

    ASSERT_TRUE(k.state.sampling.SampleTable.rowCount() > 0);
    const auto mhw = gridCells(k.tmp / "maps" / "MHW_RK.asc"), sdmhw = gridCells(k.tmp / "maps" / "SDMHW_RK.asc");
    const auto msw = gridCells(k.tmp / "maps" / "MSW_RK.asc");
    ASSERT_EQ(mhw.size(), 9u);
    EXPECT_FALSE(fs::exists(k.tmp / "maps" / "MLW_RK.asc"));
    // The model the run fitted, rebuilt from the same points and classes.
    const auto points = normalizedResidualPoints(k.state, Mxw::MHW);
    const VariogramFit fit = fitVariogram(experimentalVariogram(points, lagClassesFor(points, 150.0, 900.0)), 40);
    ASSERT_TRUE(fit.model) << fit.problem;
    const OrdinaryKriging ok(points, *fit.model, 12);
    for (long long r = 0; r < 9; ++r)
        for (long long c = 0; c < 12; ++c) {
            SCOPED_TRACE(std::to_string(r) + " " + std::to_string(c));
            if (r == 4 && c == 5) {
                EXPECT_EQ(mhw[r][c], "-9999.0");
                EXPECT_EQ(sdmhw[r][c], "-9999.0");
                continue;
            }
            const KrigingEstimate e = ok.at(1050 + 100.0 * c, 2850 - 100.0 * r);
            const double s = std::sqrt(msres(0, c)), sd = 0.3 + 0.01 * c;
            if (r == 8 && c == 11) {  // corrected: in order afterwards
                EXPECT_LE(std::stod(mhw[r][c]), std::stod(msw[r][c]));
                continue;
            }
            EXPECT_EQ(mhw[r][c], fixed(prediction(0, r, c) + s * e.value, 1, 1));
            EXPECT_EQ(sdmhw[r][c], fixed(s * std::sqrt(e.variance + sd * sd), 1, 1));
        }
    EXPECT_NE(rk.closingText().find("Kriged MxW were found in the wrong order"), std::string::npos);
    EXPECT_EQ(k.picture.savedTo.size(), 2u);
    EXPECT_EQ(k.picture.savedTo[0], k.tmp / "MHW-variogram.wmf");
}

TEST(RegressionKriging, TooFewPointsIsToldAndNothingIsWritten)
{
    Kriged k;
    k.state.sampling.SampleTable.rows.resize(6);
    const std::array<std::string, 6> names{(k.tmp / "MHW_R.asc").string(), "", "", "", "", ""};
    RegressionKriging rk(k.state, {true, false, false}, names, {}, false, k.header, k.picture);
    EXPECT_FALSE(rk.any());
    EXPECT_NE(rk.closingText().find("MHW was not kriged: too few points"), std::string::npos);
    EXPECT_FALSE(fs::exists(k.tmp / "MHW_RK.asc"));
}

}  // namespace
}  // namespace tolvar
