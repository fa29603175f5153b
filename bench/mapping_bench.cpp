// Mapping MHW, MSW and MLW over a strata grid of 5000 x 5000 cells (3 strata)
// with four auxiliary grids, after a regression run on the bundled example's
// piezometers. The grids are generated once into a temporary directory; set
// TOLVAR_BENCH_CELLS to change the side. Only the prediction run is timed.
//
// Memory must not grow with the number of rows: compare the "peak_rss_mib"
// counter of a small side (TOLVAR_BENCH_CELLS=1000) with the default.
// TOLVAR_BENCH_KEEP=1 keeps the run's directory to look at the maps.
#include "bench_support.h"
#include "common/text_file.h"
#include "mapping/prediction_run.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

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
            BatchStart start{(grids / "strata.asc").string(), 3, {}};
            const int groups[] = {1, 2, 2, 3};
            for (int g = 0; g < 4; ++g)
                start.variables.push_back({(grids / kAuxNames[g]).string(), groups[g]});
            writeTextFile(work / kBatchStartFileName, batchStartLines(start));
        }
        SilentFeedback feedback;
        AppState state(WorkDir(work), feedback);
        const RegressionSettings settings =
            bench::prepareSession(state, work, "piezometers.csv", ';', {true, true, true}, feedback);
        const RegressionOutcome regression = runRegression(state, settings);
        if (!regression.completed)
            throw std::runtime_error("the regression run did not complete");
        MappingSettings mapping;
        mapping.mapped = {true, true, true};
        for (int i = 0; i < 6; ++i)
            mapping.outputNames[static_cast<std::size_t>(i)] =
                regression.outputNames[static_cast<std::size_t>(i)].text;
        bench::NullCanvas fit(350, 250), status(350, 350);
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
    bench.counters["peak_rss_mib"] = bench::peakRssMiB();
    if (!std::getenv("TOLVAR_BENCH_KEEP"))
        fs::remove_all(work);
}

BENCHMARK(BM_MapThreeMxW)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
