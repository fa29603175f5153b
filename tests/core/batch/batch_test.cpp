#include "batch/batch_run.h"
#include "batch/batch_feedback.h"
#include "common/work_dir.h"
#include "regression/no_regression.h"
#include "support/recording_canvas.h"
#include "support/raster_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<Canvas> recordingCanvas(int w, int h)
{
    return std::make_unique<test::RecordingCanvas>(w, h);
}

TEST(BatchCli, HelpVersionAndOptionErrors)
{
    std::ostringstream out, err;
    const fs::path here = fs::current_path();
    EXPECT_EQ(runBatch(parseBatchArguments({"--help"}), here, out, err, false, recordingCanvas), 0);
    EXPECT_NE(out.str().find("Usage: tolvar-batch [options] POINTFILE"), std::string::npos);
    out.str("");
    EXPECT_EQ(runBatch(parseBatchArguments({"--version"}), here, out, err, false, recordingCanvas), 0);
    EXPECT_EQ(out.str(), "tolvar-batch 1.4\n");

    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{}, "no point file given"},
        {{"--frobnicate", "p.csv"}, "unknown option --frobnicate"},
        {{"--column", "DEPTH=x", "p.csv"}, "unknown role in --column DEPTH=x"},
        {{"--delimiter", "ab", "p.csv"}, "bad delimiter \"ab\""},
        {{"--mxw", "MHW,MXW", "p.csv"}, "unknown MxW \"MXW\""},
        {{"--archive", "some", "p.csv"}, "bad --archive \"some\""},
        {{"--output", "GHG=a.asc", "p.csv"}, "unknown key in --output GHG=a.asc"},
        {{"--grids"}, "option --grids needs a value"},
        {{"a.csv", "b.csv"}, "more than one point file given"},
    };
    for (const Case& c : cases) {
        const BatchRequest r = parseBatchArguments(c.args);
        EXPECT_EQ(r.kind, BatchRequest::Kind::Error) << c.error;
        EXPECT_EQ(r.error.rfind(c.error, 0), 0u) << r.error;
    }
    const BatchRequest ok = parseBatchArguments(
        {"--delimiter", "tab", "--column", "mhw=GHG", "--mxw", "MHW,MLW", "--archive", "none",
         "--output", "SDMLW=x.asc", "--collapse", "points.csv"});
    ASSERT_EQ(ok.kind, BatchRequest::Kind::Run);
    EXPECT_EQ(ok.delimiter, '\t');
    EXPECT_EQ(ok.columns[0].first, 0);
    EXPECT_EQ(ok.columns[0].second, "GHG");
    EXPECT_EQ(*ok.mxw, (PerMxw<bool>{true, false, true}));
    EXPECT_EQ(ok.archive, ArchiveChoice::NoFile);
    EXPECT_EQ(ok.outputs[0].first, 5);
    EXPECT_TRUE(ok.collapse);
}

struct Demo {
    test::TempDir tmp;
    Demo()
    {
        for (const auto& entry : fs::directory_iterator(fs::path(TOLVAR_EXAMPLE_DIR)))
            fs::copy_file(entry.path(), tmp / entry.path().filename().string());
    }
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(tmp.path()))
            names.push_back(fs::relative(entry.path(), tmp.path()).string());
        std::sort(names.begin(), names.end());
        return names;
    }
    int run(const std::vector<std::string>& args, std::string* errText = nullptr)
    {
        std::ostringstream out, err;
        const int status =
            runBatch(parseBatchArguments(args), tmp.path(), out, err, false, recordingCanvas);
        if (errText)
            *errText = err.str();
        return status;
    }
};

TEST(BatchRun, BadInputChangesNothingInTheWorkingDirectory)
{
    Demo d;
    const auto before = d.files();
    std::string err;
    EXPECT_EQ(d.run({"--column", "MHW=GHG", "piezometers.csv"}, &err), 1);
    EXPECT_NE(err.find("no column titled \"GHG\""), std::string::npos) << err;
    EXPECT_EQ(d.run({"absent.csv"}, &err), 1);
    EXPECT_NE(err.find("does not exist"), std::string::npos);
    EXPECT_EQ(d.run({"--grids", "nogrids.txt", "piezometers.csv"}, &err), 1);
    d.tmp.write("short.txt", "4\r\n");  // a grids file the start-up would refuse
    EXPECT_EQ(d.run({"--grids", "short.txt", "piezometers.csv"}, &err), 1);
    EXPECT_NE(err.find("short.txt"), std::string::npos) << err;
    EXPECT_EQ(err.find("not found"), std::string::npos) << err;  // stopped before the grid checks
    fs::remove(d.tmp / "short.txt");
    // A wrong delimiter leaves every record without coordinates; so does a
    // file with only its title row.
    EXPECT_EQ(d.run({"--delimiter", ",", "piezometers.csv"}, &err), 1);
    EXPECT_NE(err.find("no record of the point file has numeric X and Y values"), std::string::npos) << err;
    d.tmp.write("titles.csv", "Nr;X;Y;MHW\r\n");
    EXPECT_EQ(d.run({"titles.csv"}, &err), 1);
    EXPECT_NE(err.find("no record"), std::string::npos) << err;
    d.tmp.write("empty.csv", "");
    EXPECT_EQ(d.run({"empty.csv"}, &err), 1);
    EXPECT_NE(err.find("no MHW, MSW or MLW column"), std::string::npos) << err;
    fs::remove(d.tmp / "titles.csv");
    fs::remove(d.tmp / "empty.csv");
    fs::remove(d.tmp / "wendbat.txt");
    EXPECT_EQ(d.run({"piezometers.csv"}, &err), 1);
    EXPECT_NE(err.find("no grids"), std::string::npos) << err;
    auto after = d.files();
    after.push_back("wendbat.txt");
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

// MxW written with decimal commas fit no regression: the batch stops with
// status 1 and the window's text, and makes no map.
TEST(BatchRun, NoRegressionStopsWithTheReason)
{
    Demo d;
    std::string points = test::readFile(d.tmp / "piezometers.csv"), commas;
    std::size_t field = 0;
    for (char c : points) {
        field = c == '\n' ? 0 : field + (c == ';');
        commas += c == '.' && field >= 4 ? ',' : c;  // the MxW and sd columns, not X and Y
    }
    d.tmp.write("commas.csv", commas);
    std::string err;
    EXPECT_EQ(d.run({"--missing", "-9999", "--quiet", "commas.csv"}, &err), 1);
    EXPECT_NE(err.find(std::string(kNoRegressionDone) + kNoNumericMxw + "MHW, MSW, MLW. " + kDecimalCommaAdvice),
              std::string::npos)
        << err;
    EXPECT_FALSE(fs::exists(d.tmp / "session1" / "MHW_R.asc"));
}

TEST(BatchRun, TheExampleEndToEnd)
{
    Demo d;
    std::string err;
    ASSERT_EQ(d.run({"--missing", "-9999", "--quiet", "piezometers.csv"}, &err), 0) << err;
    // The session is archived: maps, residuals and log in session1.
    const WorkDir archive(d.tmp / "session1");
    for (const char* name : {"MHW_R.asc", "SDMHW_R.asc", "MSW_R.asc", "SDMSW_R.asc", "MLW_R.asc",
                             "SDMLW_R.asc", "Session 1 normres.csv", "piezometers.csv"})
        EXPECT_TRUE(archive.fileExists(name)) << name;
    EXPECT_EQ(archive.list("*.log").size(), 1u);
    // With three strata the closure archives only the best model per pair.
    EXPECT_EQ(archive.list("*.out").size(), 9u);
    EXPECT_TRUE(WorkDir(d.tmp.path()).list("*.out").empty());
    EXPECT_TRUE(fs::exists(d.tmp / "elevation.asc"));  // input grids stay
    const std::string map = test::readFile(d.tmp / "session1" / "MHW_R.asc");
    EXPECT_EQ(map.substr(0, 38), "ncols         200\r\nnrows         150\r\n");
}

TEST(BatchRun, AGridLibraryThatDoesNotBindStopsTheRunUntouched)
{
    Demo d;
    d.tmp.write("wendbat.txt", "1\r\n1\r\nstrata.asc\r\nelevation.tif\r\n1\r\n");
    const auto before = d.files();
    std::string err;
    EXPECT_EQ(d.run({"--missing", "-9999", "piezometers.csv"}, &err), 1);
    EXPECT_NE(err.find("Location file not found"), std::string::npos) << err;
    EXPECT_NE(err.find("Manual attach of 3 DLL\xB4s is needed."), std::string::npos) << err;
    EXPECT_EQ(d.files(), before);
}

// The example with its real-valued grids as GeoTIFFs maps exactly what the
// example with ASCII grids maps.
TEST(BatchRun, TheExampleWithGeoTiffGridsMapsLikeTheAsciiExample)
{
    Demo ascii, tiff;
    for (const char* grid : {"elevation", "ditchdist", "drainage"})
        test::geoTiffFromAscii(tiff.tmp / (std::string(grid) + ".asc"), tiff.tmp / (std::string(grid) + ".tif"));
    tiff.tmp.write("wendbat.txt", "4\r\n3\r\nstrata.asc\r\nelevation.tif\r\n1\r\nditchdist.TIF\r\n2\r\n"
                                  "drainage.tif\r\n2\r\nsoilclass.asc\r\n3\r\n");
    fs::rename(tiff.tmp / "ditchdist.tif", tiff.tmp / "ditchdist.TIF");
    test::writeLocationFile(tiff.tmp.path(), TOLVAR_TEST_GRIDIO);
    std::string err;
    ASSERT_EQ(ascii.run({"--missing", "-9999", "--quiet", "piezometers.csv"}, &err), 0) << err;
    ASSERT_EQ(tiff.run({"--missing", "-9999", "--quiet", "piezometers.csv"}, &err), 0) << err;
    for (const char* map : {"MHW_R.asc", "SDMHW_R.asc", "MSW_R.asc", "SDMSW_R.asc", "MLW_R.asc", "SDMLW_R.asc"})
        EXPECT_EQ(test::readFile(tiff.tmp / "session1" / map), test::readFile(ascii.tmp / "session1" / map)) << map;
    // The residuals too, below the titles (which name the grid files).
    auto residuals = test::readLines(tiff.tmp / "session1" / "Session 1 normres.csv");
    auto asciiResiduals = test::readLines(ascii.tmp / "session1" / "Session 1 normres.csv");
    ASSERT_GT(residuals.size(), 1u);
    residuals.erase(residuals.begin());
    asciiResiduals.erase(asciiResiduals.begin());
    EXPECT_EQ(residuals, asciiResiduals);
}

}  // namespace
}  // namespace tolvar

namespace tolvar {
namespace {

// The window's label reads "% mapping"; the terminal prints the number before
// the stage's name, and nothing for start-up and rest.
TEST(BatchFeedback, PrintsWorkStagesByNameAndSkipsRest)
{
    std::ostringstream err;
    {
        BatchFeedback fb(err, false, false, std::nullopt);
        fb.progress(50, 100, Stage::titled("Initializing", false));
        fb.idle();
        fb.progress(0, 8, Stage{"mapping"});
        fb.progress(0.4, 8, Stage{"mapping"});  // 5 %, the same tenth: not repeated
        fb.progress(8, 8, Stage{"mapping"});
        fb.progress(3, 4, Stage::titled("Searching aux.info for point-GxG"));
    }
    EXPECT_EQ(err.str(), "  0% mapping\n100% mapping\n 75% Searching aux.info for point-GxG\n");
    EXPECT_EQ(Stage{"mapping"}.label(), "% mapping");
    EXPECT_EQ(Stage::titled("Idle", false).label(), "Idle");
}

}  // namespace
}  // namespace tolvar
