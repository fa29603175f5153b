// Mapping MHW, MSW and MLW over a strata grid of 5000 x 5000 cells (3 strata)
// with four auxiliary grids, after a regression run on the bundled example's
// piezometers. The grids are generated once into a temporary directory; set
// TOLVAR_BENCH_CELLS to change the side. Only the prediction run is timed.
//
// Memory must not grow with the number of rows: compare the "peak_rss_mib"
// counter of a small side (TOLVAR_BENCH_CELLS=1000) with the default.
// TOLVAR_BENCH_KEEP=1 keeps the run's directory to look at the maps.
#include "app/app_state.h"
#include "app/session.h"
#include "grids/batch_start.h"
#include "mapping/prediction_run.h"
#include "pointdata/point_editor.h"
#include "regression/regression_run.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>

namespace fs = std::filesystem;
using namespace tolvar;

namespace {

int gridSide()
{
    const char* env = std::getenv("TOLVAR_BENCH_CELLS");
    return env ? std::atoi(env) : 5000;
}

// The example's lower-left corner and cell size, so its piezometers fall in
// the bottom-left 200 x 150 cells; the pattern repeats every 200 columns.
double auxValue(int grid, int r, int c)
{
    const int cc = c % 200;
    switch (grid) {
    case 0: return 0.2 + 0.004 * cc + 0.3 * std::sin(r * 0.013);           // elevation
    case 1: return 5.0 + (c * 7 + r * 3) % 60;                             // ditch distance
    case 2: return 60.0 + 40.0 * std::cos(cc * 0.05) + (r % 17);           // drainage depth
    default: return 1.0 + (r / 37 + c / 53) % 4;                           // soil class
    }
}

int stratumValue(int c) { return 1 + (c % 200) * 3 / 200; }

void writeGrid(const fs::path& path, int side, int grid)
{
    std::ofstream out(path, std::ios::binary);
    out << "ncols " << side << "\r\nnrows " << side
        << "\r\nxllcorner 155000\r\nyllcorner 463000\r\ncellsize 25\r\nNODATA_value -9999\r\n";
    std::string line;
    char buf[32];
    for (int r = 0; r < side; ++r) {
        line.clear();
        for (int c = 0; c < side; ++c) {
            if (grid < 0)
                std::snprintf(buf, sizeof buf, "%d ", stratumValue(c));
            else if (grid == 3)
                std::snprintf(buf, sizeof buf, "%d ", static_cast<int>(auxValue(grid, r, c)));
            else
                std::snprintf(buf, sizeof buf, "%.2f ", auxValue(grid, r, c));
            line += buf;
        }
        line += "\r\n";
        out << line;
    }
}

const char* const kAuxNames[] = {"elevation.asc", "ditchdist.asc", "drainage.asc", "soilclass.asc"};

fs::path gridDirectory(int side)
{
    const fs::path dir = fs::temp_directory_path() / ("tolvar-bench-mapping-" + std::to_string(side));
    fs::create_directories(dir);
    if (!fs::exists(dir / "complete")) {
        writeGrid(dir / "strata.asc", side, -1);
        for (int g = 0; g < 4; ++g)
            writeGrid(dir / kAuxNames[g], side, g);
        std::ofstream(dir / "complete") << "";
    }
    return dir;
}

class NullCanvas : public Canvas {
public:
    NullCanvas(int w, int h) : w_(w), h_(h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    void setPen(Rgb, int) override {}
    void setBrush(Rgb) override {}
    void setFont(const FontStyle&) override {}
    void fillRect(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void line(int, int, int, int) override {}
    void setPixel(int, int, Rgb) override {}
    void text(int, int, std::string_view) override {}
    int textWidth(std::string_view t) override { return 6 * static_cast<int>(t.size()); }
    int textHeight(std::string_view) override { return 13; }
    void saveBmp(const fs::path&) override {}

private:
    int w_, h_;
};

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_MapThreeMxW(benchmark::State& bench)
{
    const int side = gridSide();
    const fs::path grids = gridDirectory(side);
    const fs::path work = fs::temp_directory_path() / "tolvar-bench-mapping-run";
    const fs::path example = TOLVAR_EXAMPLE_DIR;
    for (auto _ : bench) {
        bench.PauseTiming();
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy_file(example / "piezometers.csv", work / "piezometers.csv");
        {
            std::ofstream start(work / "wendbat.txt", std::ios::binary);
            start << "4\r\n3\r\n" << (grids / "strata.asc").string() << "\r\n";
            const int groups[] = {1, 2, 2, 3};
            for (int g = 0; g < 4; ++g)
                start << (grids / kAuxNames[g]).string() << "\r\n" << groups[g] << "\r\n";
        }
        SilentFeedback feedback;
        AppState state(WorkDir(work), feedback);
        startUp(state);
        kikstart(work / "wendbat.txt", state.registry);
        PointEditor editor;
        editor.open();
        editor.sourceFile = (work / "piezometers.csv").string();
        editor.read(work / "piezometers.csv", ';', false);
        editor.applyMissingCode();
        editor.ready(state.workDir, feedback);
        RegressionSettings settings;
        settings.mxwChecked = {true, true, true};
        settings.weighted = true;
        settings.usedFile = editor.sourceFile;
        settings.roleTexts = editor.roleTexts;
        const RegressionOutcome regression = runRegression(state, settings);
        if (!regression.completed)
            throw std::runtime_error("the regression run did not complete");
        MappingSettings mapping;
        mapping.mapped = {true, true, true};
        for (int i = 0; i < 6; ++i)
            mapping.outputNames[static_cast<std::size_t>(i)] =
                regression.outputNames[static_cast<std::size_t>(i)].text;
        NullCanvas fit(350, 250), status(350, 350);
        bench.ResumeTiming();

        const MappingOutcome mapped = runPrediction(state, mapping, fit, status);
        benchmark::DoNotOptimize(mapped.completed);

        bench.PauseTiming();
        if (!mapped.completed)
            throw std::runtime_error("the mapping run did not complete");
        state.log.close();
        bench.ResumeTiming();
    }
    const double cells = static_cast<double>(side) * side;
    bench.counters["cells_per_s"] =
        benchmark::Counter(cells * static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
    bench.counters["peak_rss_mib"] = peakRssMiB();
    if (!std::getenv("TOLVAR_BENCH_KEEP"))
        fs::remove_all(work);
}

BENCHMARK(BM_MapThreeMxW)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
