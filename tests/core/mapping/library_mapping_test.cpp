// A whole regression and mapping run over ESRI grids and GeoTIFFs gives the
// same data and maps, cell for cell, as the same run over ASCII twins.
#include "mapping/prediction_run.h"
#include "regression/regression_run.h"
#include "support/raster_fixtures.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/workspace.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

enum class Format { Ascii, Esri, GeoTiff };

struct RunCase {
    const char* name;
    Format strata, dem, soil;
    double nodata;        // the missing-data code every grid reports
    bool realStrata;      // strata held as real numbers (an ESRI float grid)
    bool realSoil;
};

void PrintTo(const RunCase& c, std::ostream* os)
{
    *os << c.name;
}

constexpr double kIntMissing = -2147483647.0;

struct MappingRun {
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};
    test::RecordingCanvas fit{350, 250}, status{350, 350};
    RegressionOutcome regression;
    MappingOutcome mapping;

    // Writes one grid in `format` (an ASCII twin for Ascii) and names it.
    std::string grid(Format format, const std::string& base, test::RasterSpec spec, bool integer)
    {
        switch (format) {
        case Format::Ascii:
            test::writeAsciiTwin(tmp, base + ".asc", spec, integer);
            return base + ".asc";
        case Format::Esri:
            test::writeEsriGrid(tmp / base, spec, integer);
            return base;
        case Format::GeoTiff:
            // An integer GeoTIFF keeps a nodata of its own; the library reads
            // its missing cells as the integer missing value.
            if (integer)
                spec = {spec.ncols, spec.nrows, spec.xll, spec.yll, spec.cellsize, -9999,
                        [v = spec.value, nodata = spec.nodata](int r, int c) {
                            const double x = v(r, c);
                            return x == nodata ? -9999.0 : x;
                        }};
            test::writeGeoTiff(tmp / (base + ".tif"), spec, integer);
            return base + ".tif";
        }
        return {};
    }

    MappingRun(const RunCase& c, bool twins, const char* library = TOLVAR_TEST_GRIDIO)
    {
        std::tm t{};
        state.log.open(tmp.path(), t);
        const double nd = c.nodata;
        const auto as = [&](Format f) { return twins ? Format::Ascii : f; };
        const std::string strata =
            grid(as(c.strata), "strata",
                 {7, 5, 0, 0, 10, nd, [nd](int r, int col) { return r == 3 && col == 4 ? nd : (col <= 3 ? 1.0 : 2.0); }},
                 !c.realStrata);
        const std::string dem =
            grid(as(c.dem), "dem",
                 {7, 5, 0, 0, 10, nd, [nd](int r, int col) { return r == 5 && col == 7 ? nd : r * 3.5 + col * 1.25; }},
                 false);
        const std::string soil =
            grid(as(c.soil), "soil",
                 {7, 5, 0, 0, 10, nd,
                  [nd](int r, int col) { return r == 1 && col == 2 ? nd : double((r * 7 + col * 3) % 11); }},
                 !c.realSoil);
        std::vector<test::TestPoint> points;
        for (int r = 1; r <= 5; ++r)
            for (int col = 1; col <= 7; ++col) {
                if ((r == 3 && col == 4) || (r == 5 && col == 7) || (r == 1 && col == 2))
                    continue;
                for (int k = 0; k < 2; ++k) {
                    const double d = r * 3.5 + col * 1.25, s = (r * 7 + col * 3) % 11;
                    const double mhw = 40 + 2.5 * d + 1.5 * s + ((r * 5 + col * 3 + k * 7) % 9) - 4;
                    points.push_back({"P", col * 10 - 5.0 + k, 55.0 - r * 10 + k, std::to_string(mhw), "2",
                                      std::to_string(mhw + 25 + (k ? 3 : -3)), "3"});
                }
            }
        test::writePointFiles(tmp, points);
        test::writeLocationFile(tmp.path(), library);
        state.registry.startUp();
        state.registry.addVariable(fb);
        state.registry.attachBatchGrid(0, strata);
        state.registry.attachBatchGrid(1, dem);
        state.registry.attachBatchGrid(2, soil);
        InitGridProps(state.GridProps);
        RegressionSettings s;
        s.mxwChecked = {true, true, false};
        s.weighted = true;
        s.roleTexts = {"MHW", "sdMHW", "MSW", "sdMSW", "", "", "", "XCOORD", "YCOORD"};
        regression = runRegression(state, s);
        if (!regression.completed)
            return;
        MappingSettings m;
        m.mapped = {true, true, false};
        for (int i = 0; i < 6; ++i)
            m.outputNames[static_cast<std::size_t>(i)] =
                (tmp / "maps" / (std::string(i % 2 ? "SD" : "") + (i < 2 ? "MHW" : i < 4 ? "MSW" : "MLW") + "_R.asc"))
                    .string();
        m.orderCheck = true;
        m.residuals = true;
        mapping = runPrediction(state, m, fit, status);
    }

    std::string data() const
    {
        return test::rowsAfterTitles(tmp / "data.csv");  // the titles name the files
    }
};

class LibraryMapping : public ::testing::TestWithParam<RunCase> {};

TEST_P(LibraryMapping, MapsEqualThoseOfTheAsciiTwins)
{
    const RunCase& c = GetParam();
    MappingRun raster(c, false), ascii(c, true);
    ASSERT_TRUE(raster.regression.completed) << (raster.fb.messages.empty() ? "" : raster.fb.messages[0]);
    ASSERT_TRUE(ascii.regression.completed);
    ASSERT_TRUE(raster.mapping.completed) << raster.fb.messages.back();
    ASSERT_TRUE(ascii.mapping.completed);
    EXPECT_EQ(raster.state.GridProps[0][kKind], c.strata == Format::Ascii ? 1.0 : 0.0);
    EXPECT_EQ(raster.state.GridProps[0][kNodata], c.nodata);
    EXPECT_EQ(raster.data(), ascii.data());
    for (const char* map : {"MHW_R.asc", "SDMHW_R.asc", "MSW_R.asc", "SDMSW_R.asc"}) {
        SCOPED_TRACE(map);
        const std::string cells = test::readFile(raster.tmp / "maps" / map);
        EXPECT_EQ(cells, test::readFile(ascii.tmp / "maps" / map));
        EXPECT_EQ(cells.find("nan"), std::string::npos);
        // The maps hold predictions, not only missing cells.
        const auto lines = test::readLines(raster.tmp / "maps" / map);
        ASSERT_EQ(lines.size(), 11u);
        const std::string nodata = lines[5].substr(lines[5].find_last_of(' ') + 1);
        std::istringstream row(lines[6]);
        std::string cell;
        bool predicted = false;
        while (row >> cell)
            predicted = predicted || cell != nodata;
        EXPECT_TRUE(predicted) << lines[6];
    }
    EXPECT_EQ(test::openLayers(raster.state.gridLibrary), 0);
}

INSTANTIATE_TEST_SUITE_P(
    LibraryMappings, LibraryMapping,
    ::testing::Values(
        RunCase{"EsriStrataAndSoil_GeoTiffDem", Format::Esri, Format::GeoTiff, Format::Esri, kIntMissing, false, false},
        RunCase{"GeoTiffStrata_EsriSoil_AsciiDem", Format::GeoTiff, Format::Ascii, Format::Esri, kIntMissing, false,
                false},
        RunCase{"EsriFloatEverywhere", Format::Esri, Format::Esri, Format::Esri, -FLT_MAX, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LibraryMappings, ALibraryWithoutRowReadingIsRefusedBeforeAnyMapIsWritten)
{
    const RunCase c{"", Format::Ascii, Format::GeoTiff, Format::Ascii, kIntMissing, false, false};
    MappingRun run(c, false, TOLVAR_TEST_GRIDIO_NOROWS);
    ASSERT_TRUE(run.regression.completed);
    EXPECT_FALSE(run.mapping.completed);
    EXPECT_EQ(run.fb.messages.back(), "dem.tif: cannot be mapped; the grid-access library has no GetWindowRowFloat;\r\n");
    EXPECT_FALSE(fs::exists(run.tmp / "maps"));
}

}  // namespace
}  // namespace tolvar
