// ESRI grids and GeoTIFFs read through the real grid-access library: their
// properties, their consistency with ASCII grids and their sampling, beside
// the ASCII twins of the same cells; and what a failing entry point does.
#include "grids/sampling.h"
#include "support/raster_fixtures.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

const char* kTempTxt = "3\r\n4\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n1\r\n2\r\n";
// Points south to north; two share a cell, one lies on a missing cell.
const char* kTempCsv =
    "ID;XCOORD;YCOORD;MHW;sdMHW;\r\n"
    "A;1005;2005;40;2;\r\n"
    "E;1035;2012;70;2;\r\n"
    "D;1010;2015;60;2;\r\n"
    "C;1012;2028;55;1;\r\n"
    "B;1015;2025;50;3;\r\n";

enum class Format { EsriInt, EsriFloat, TiffInt, TiffFloat, TiffFloat32 };

struct FormatCase {
    const char* name;
    Format format;
    double fileNodata;  // what the file marks missing cells with
    double nodata;      // what the library reports
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << c.name;
}

bool isInteger(Format f)
{
    return f == Format::EsriInt || f == Format::TiffInt;
}

test::RasterSpec auxSpec(const FormatCase& c)
{
    test::RasterSpec s{4, 3, 1000, 2000, 10, c.fileNodata, {}};
    const bool integer = isInteger(c.format);
    s.value = [integer, nodata = c.fileNodata](int r, int col) {
        if (r == 2 && col == 2)
            return nodata;
        return integer ? 10.0 * r + col : 1.25 * r + 0.5 * col;
    };
    return s;
}

test::RasterSpec strataSpec(double nodata)
{
    return {4, 3, 1000, 2000, 10, nodata, [nodata](int r, int c) { return r == 3 && c == 4 ? nodata : 1.0 + (c > 2); }};
}

// A working directory with strata, one auxiliary grid and the points; the
// auxiliary grid either in `format` or as its ASCII twin.
struct Workspace {
    test::TempDir tmp;
    WorkDir dir{tmp.path()};
    test::RecordingFeedback fb;
    Registry registry;
    GridPropsTable props;
    GroupMembershipTable membership;
    GridLibraryBinding lib;

    Workspace(const FormatCase& c, bool twin)
    {
        tmp.write("temp.txt", kTempTxt);
        tmp.write("temp.csv", kTempCsv);
        test::writeAsciiTwin(tmp, "strata.asc", strataSpec(c.nodata), true);
        std::string aux;
        if (twin) {
            test::RasterSpec s = auxSpec(c);
            const double fileNodata = s.nodata;
            s.nodata = c.nodata;
            s.value = [v = auxSpec(c).value, fileNodata, &c](int r, int col) {
                const double x = v(r, col);
                return x == fileNodata ? c.nodata : x;
            };
            test::writeAsciiTwin(tmp, "aux.asc", s, isInteger(c.format));
            aux = "aux.asc";
        } else if (c.format == Format::EsriInt || c.format == Format::EsriFloat) {
            test::writeEsriGrid(tmp / "aux", auxSpec(c), c.format == Format::EsriInt);
            aux = "aux";
        } else {
            test::writeGeoTiff(tmp / "aux.tif", auxSpec(c), c.format == Format::TiffInt,
                               c.format == Format::TiffFloat32);
            aux = "aux.tif";
        }
        registry.startUp();
        registry.attachBatchGrid(0, "strata.asc");
        registry.attachBatchGrid(1, aux);
        InitGridProps(props);
        clearGroupMembership(membership);
        test::writeLocationFile(tmp.path(), TOLVAR_TEST_GRIDIO);
    }
    bool check() { return checkGrids(dir, registry, props, membership, fb, &lib); }
    std::string sample()
    {
        SamplingState state;
        state.NoXY = SORTXY(dir, 1000, 2000, 10, state.SampleTable, state.columns);
        sampleGrids(dir, registry, props, state, fb, &lib);
        return test::rowsAfterTitles(tmp / "data.csv");  // the titles name the files
    }
};

class LibraryGrid : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LibraryGrid, PassesTheCheckAndSamplesLikeItsAsciiTwin)
{
    const FormatCase& c = GetParam();
    Workspace raster(c, false), ascii(c, true);
    ASSERT_TRUE(raster.check()) << (raster.fb.messages.empty() ? "" : raster.fb.messages[0]);
    ASSERT_TRUE(ascii.check());
    EXPECT_TRUE(raster.fb.messages.empty());
    EXPECT_EQ(raster.props[1][kKind], 0.0);
    for (int p = kNcols; p <= kNodata; ++p)
        EXPECT_EQ(raster.props[1][static_cast<std::size_t>(p)], ascii.props[1][static_cast<std::size_t>(p)]) << p;
    EXPECT_EQ(raster.props[1][kNodata], c.nodata);

    const std::string sampled = raster.sample();
    EXPECT_TRUE(raster.fb.messages.empty()) << raster.fb.messages[0];
    EXPECT_EQ(sampled, ascii.sample());
    EXPECT_NE(sampled.find("missing"), std::string::npos);
    EXPECT_EQ(test::openLayers(raster.lib), 0);
}

INSTANTIATE_TEST_SUITE_P(
    LibraryGrids, LibraryGrid,
    ::testing::Values(FormatCase{"EsriInteger", Format::EsriInt, -2147483647.0, -2147483647.0},
                      FormatCase{"EsriFloat", Format::EsriFloat, -FLT_MAX, -FLT_MAX},
                      FormatCase{"GeoTiffInteger", Format::TiffInt, -9999, -2147483647.0},
                      FormatCase{"GeoTiffFloat", Format::TiffFloat, -9999.5, -9999.5},
                      // A nodata value that 32 bits cannot hold is taken at their precision.
                      FormatCase{"GeoTiffFloat32", Format::TiffFloat32, -9999.9,
                                 static_cast<double>(static_cast<float>(-9999.9))}),
    [](const auto& info) { return std::string(info.param.name); });

const FormatCase kEsri{"EsriInteger", Format::EsriInt, -2147483647.0, -2147483647.0};

// A failing step while reading a grid's properties: its line, the message,
// the row left alone, and every opened layer closed.
struct PropsFailure {
    const char* entryPoint;
    const char* line;
};

void PrintTo(const PropsFailure& c, std::ostream* os)
{
    *os << c.entryPoint;
}

class FailingPropertyStep : public ::testing::TestWithParam<PropsFailure> {};

TEST_P(FailingPropertyStep, EndsTheCheckWithTheGridsMessage)
{
    Workspace w(kEsri, false);
    ASSERT_TRUE(w.lib.need(w.dir, w.fb));
    test::failEntryPoint(w.lib, GetParam().entryPoint);
    EXPECT_FALSE(w.check());
    ASSERT_EQ(w.fb.messages.size(), 1u);
    EXPECT_EQ(w.fb.messages[0], std::string("Fout:\r\n\r\naux") + GetParam().line +
                                    "\r\n\r\nCannot set grid properties. Better stop.");
    EXPECT_EQ(w.props[1][kNcols], -1.0);
    EXPECT_EQ(test::openLayers(w.lib), 0);
    test::failEntryPoint(w.lib, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    LibraryGrids, FailingPropertyStep,
    ::testing::Values(PropsFailure{"CellLyrExists", ": gridlaag niet gevonden met CellLyrExists;"},
                      PropsFailure{"CellLayerOpen", ": cannot open grid layer with CellLayerOpen;"},
                      PropsFailure{"BndCellRead", ": gridfile unreadable with BndCellRead;"},
                      PropsFailure{"AccessWindowSet", ": no access with AccessWindowSet;"},
                      PropsFailure{"CellLyrClose", ": cannot close grid layer with CellLyrClose;"}),
    [](const auto& info) { return std::string(info.param.entryPoint); });

TEST(LibraryGrids, GridExistsDecidesThePresenceWhileBound)
{
    Workspace w(kEsri, false);
    ASSERT_TRUE(w.lib.need(w.dir, w.fb));
    test::failEntryPoint(w.lib, "GridExists");
    EXPECT_FALSE(w.check());
    ASSERT_EQ(w.fb.messages.size(), 1u);
    EXPECT_EQ(w.fb.messages[0], "Errors:\r\n\r\naux: grid file not found with GridExists;\r\n\r\n"
                                "Correct these errors and check again");
    test::failEntryPoint(w.lib, nullptr);
}

TEST(LibraryGrids, AGridThatIsNotThereIsNotFoundWithoutAskingTheLibrary)
{
    Workspace w(kEsri, false);
    fs::remove(w.tmp / "aux" / "sta.adf");
    EXPECT_FALSE(w.check());
    ASSERT_EQ(w.fb.messages.size(), 1u);
    EXPECT_EQ(w.fb.messages[0], "Errors:\r\n\r\n<aux> not found;\r\n\r\nCorrect these errors and check again");
}

TEST(LibraryGrids, TheCheckBindsTheLibraryAtItsFirstNeed)
{
    Workspace w(kEsri, false);
    EXPECT_FALSE(w.lib.attempted());
    ASSERT_TRUE(w.check());
    EXPECT_TRUE(w.lib.usable());
}

TEST(LibraryGrids, FailingLookupsAreReportedOnceAndSampledAsMissing)
{
    Workspace w(kEsri, false);
    ASSERT_TRUE(w.check());
    test::failEntryPoint(w.lib, "XY2WindowColRow");
    w.sample();
    ASSERT_EQ(w.fb.messages.size(), 1u);
    EXPECT_EQ(w.fb.messages[0], "read error\r\naux: no access with XY2WindowColRow;\r\n");
    // Every point of the grid is missing; none takes the value of the point before.
    for (const std::string& line : test::readLines(w.tmp / "data.csv")) {
        if (line.rfind("Xnew", 0) != 0) {
            EXPECT_EQ(line.substr(line.size() - 8), "missing;") << line;
        }
    }
    EXPECT_EQ(test::openLayers(w.lib), 0);
    test::failEntryPoint(w.lib, nullptr);
}

TEST(LibraryGrids, ALayerThatDoesNotCloseIsReportedAfterSampling)
{
    Workspace w(kEsri, false);
    ASSERT_TRUE(w.check());
    test::failEntryPoint(w.lib, "CellLyrClose");
    w.sample();
    ASSERT_EQ(w.fb.messages.size(), 1u);
    EXPECT_EQ(w.fb.messages[0], "Closure of grid aux with CellLyrClose failed.");
    test::failEntryPoint(w.lib, nullptr);
}

TEST(LibraryGrids, TheLibraryReadsWindowsCellsAndRows)
{
    Workspace w(kEsri, false);
    ASSERT_TRUE(w.lib.need(w.dir, w.fb));
    const GridEntryPoints& f = w.lib.fn;
    const std::u16string name = gridName16((w.tmp / "aux").string());
    std::int32_t type = 0;
    double size = 0;
    const std::int32_t layer = f.CellLayerOpen(name.c_str(), 2, 2, &type, &size);
    ASSERT_GE(layer, 0);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(size, 10.0);
    EXPECT_EQ(f.CellLyrGetIO(layer), 2);
    double box[4], window[4];
    ASSERT_EQ(f.BndCellRead(name.c_str(), box), 1);
    EXPECT_EQ(box[0], 1000.0);
    EXPECT_EQ(box[1], 2000.0);
    EXPECT_EQ(box[2], 1040.0);
    EXPECT_EQ(box[3], 2030.0);
    ASSERT_EQ(f.AccessWindowSet(box, size, window), 1);
    EXPECT_EQ(f.WindowRows(), 3);
    EXPECT_EQ(f.WindowCols(), 4);
    std::int32_t a = -1, b = -1, v = 0;
    ASSERT_EQ(f.XY2WindowColRow(1035, 2012, &a, &b), 1);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 1);
    ASSERT_EQ(f.GetWindowCellInt(layer, a, b, &v), 1);
    EXPECT_EQ(v, 24);
    EXPECT_EQ(f.XY2WindowColRow(1045, 2012, &a, &b), 0);  // east of the window
    double row[4];
    ASSERT_EQ(f.GetWindowRowFloat(layer, 1, row, 4), 1);
    EXPECT_EQ(row[0], 21.0);
    EXPECT_EQ(row[1], -2147483647.0);
    EXPECT_EQ(row[3], 24.0);
    EXPECT_EQ(f.GetWindowRowFloat(layer, 1, row, 3), 0);  // not a whole row
    EXPECT_EQ(f.AccessWindowClear(), 1);
    EXPECT_EQ(f.WindowRows(), 0);
    EXPECT_EQ(f.CellLyrClose(layer), 1);
    EXPECT_EQ(f.CellLyrClose(layer), 0);
    EXPECT_EQ(f.CellLayerOpen(gridName16((w.tmp / "nothing").string()).c_str(), 1, 2, &type, &size), -1);
    // An ESRI grid is also named by its hdr.adf; a text file is no raster.
    EXPECT_EQ(f.CellLyrExists(gridName16((w.tmp / "aux" / "hdr.adf").string()).c_str()), 1);
    EXPECT_EQ(f.GridExists(gridName16((w.tmp / "temp.txt").string()).c_str()), 0);
    EXPECT_EQ(test::openLayers(w.lib), 0);
}

// A GeoTIFF of tall strips (16.8 MB each) is read row by row straight from
// the file: the rows hold what was written, unwritten strips read as zero.
TEST(LibraryGrids, AGeoTiffOfTallStripsReadsItsRows)
{
    Workspace w(kEsri, false);
    ASSERT_TRUE(w.lib.need(w.dir, w.fb));
    constexpr int kCols = 8200, kRows = 4100;
    const fs::path file = w.tmp / "tall.tif";
    const auto cell = [](int r, int c) { return static_cast<double>((r + c) % 200 + 1); };
    {
        GDALAllRegister();
        const char* options[] = {"BLOCKYSIZE=2048", "SPARSE_OK=TRUE", nullptr};
        GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), kCols, kRows, 1, GDT_Byte,
                                     const_cast<char**>(options));
        ASSERT_NE(ds, nullptr);
        double gt[6] = {0, 1, 0, kRows, 0, -1};
        GDALSetGeoTransform(ds, gt);
        std::vector<double> row(kCols);
        for (int r : {0, 1, 2050}) {
            for (int c = 0; c < kCols; ++c)
                row[static_cast<std::size_t>(c)] = cell(r, c);
            ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, r, kCols, 1, row.data(), kCols, 1,
                                   GDT_Float64, 0, 0),
                      CE_None);
        }
        GDALClose(ds);
    }
    const GridEntryPoints& f = w.lib.fn;
    const std::u16string name = gridName16(file.string());
    std::int32_t type = 0;
    double size = 0;
    const std::int32_t layer = f.CellLayerOpen(name.c_str(), 2, 2, &type, &size);
    ASSERT_GE(layer, 0);
    double box[4], window[4];
    ASSERT_EQ(f.BndCellRead(name.c_str(), box), 1);
    ASSERT_EQ(f.AccessWindowSet(box, size, window), 1);
    std::vector<double> row(kCols);
    for (int r : {0, 1, 2050, 2051, 4099}) {
        SCOPED_TRACE(r);
        ASSERT_EQ(f.GetWindowRowFloat(layer, r, row.data(), kCols), 1);
        const bool written = r <= 1 || r == 2050;
        for (int c : {0, 1, 4321, kCols - 1})
            EXPECT_EQ(row[static_cast<std::size_t>(c)], written ? cell(r, c) : 0.0) << c;
    }
    EXPECT_EQ(f.AccessWindowClear(), 1);
    EXPECT_EQ(f.CellLyrClose(layer), 1);
}

}  // namespace
}  // namespace tolvar
