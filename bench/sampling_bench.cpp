// Sampling 100,000 points in four auxiliary grids plus the strata grid of
// 5000 x 5000 cells (generated once into a temporary directory; set
// TOLVAR_BENCH_CELLS to change the side), and building the model structures
// of 15 groups.
#include "grids/sampling.h"
#include "structures/combinations.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

int gridSide()
{
    const char* env = std::getenv("TOLVAR_BENCH_CELLS");
    return env ? std::atoi(env) : 5000;
}

void writeGrid(const fs::path& path, int side, bool integer, unsigned seed)
{
    std::ofstream out(path, std::ios::binary);
    out << "ncols " << side << "\r\nnrows " << side
        << "\r\nxllcorner 100000\r\nyllcorner 400000\r\ncellsize 25\r\nNODATA_value -9999\r\n";
    std::mt19937 rng(seed);
    std::string line;
    for (int r = 0; r < side; ++r) {
        line.clear();
        for (int c = 0; c < side; ++c) {
            const unsigned v = rng() % 1000;
            if (integer)
                line += std::to_string(1 + v % 3);
            else
                line += std::to_string(v / 10) + "." + std::to_string(v % 10);
            line += ' ';
        }
        line += "\r\n";
        out << line;
    }
}

struct Workspace {
    fs::path dir;
    int side;
    Workspace() : side(gridSide())
    {
        dir = fs::temp_directory_path() / ("tolvar-bench-sampling-" + std::to_string(side));
        fs::create_directories(dir);
        if (!fs::exists(dir / "aux4.asc")) {
            writeGrid(dir / "strata.asc", side, true, 1);
            for (int i = 1; i <= 4; ++i)
                writeGrid(dir / ("aux" + std::to_string(i) + ".asc"), side, false, 1 + i);
        }
    }
    void writePoints(int count) const
    {
        std::ofstream txt(dir / "temp.txt", std::ios::binary);
        txt << "3\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n1\r\n2\r\n";
        std::ofstream csv(dir / "temp.csv", std::ios::binary);
        csv << "ID;XCOORD;YCOORD;MHW;\r\n";
        std::mt19937 rng(99);
        const double extent = 25.0 * side;
        std::uniform_real_distribution<double> u(0.0, extent);
        for (int i = 0; i < count; ++i)
            csv << i << ';' << 100000 + u(rng) << ';' << 400000 + u(rng) << ';' << (rng() % 200)
                << ";\r\n";
    }
};

void BM_SampleGrids(benchmark::State& state)
{
    static Workspace ws;
    const tolvar::WorkDir dir(ws.dir);
    tolvar::Registry registry;
    registry.startUp();
    tolvar::SilentFeedback quiet;
    for (int i = 1; i < 4; ++i)
        registry.addVariable(quiet);
    registry.attachBatchGrid(0, "strata.asc");
    for (int i = 1; i <= 4; ++i)
        registry.attachBatchGrid(i, "aux" + std::to_string(i) + ".asc");
    tolvar::GridPropsTable props;
    tolvar::InitGridProps(props);
    tolvar::GroupMembershipTable membership;
    if (!tolvar::checkGrids(dir, registry, props, membership, quiet))
        state.SkipWithError("grid check failed");
    const int points = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ws.writePoints(points);
        tolvar::SamplingState sampling;
        state.ResumeTiming();
        sampling.NoXY = tolvar::SORTXY(dir, props[0][tolvar::kXll], props[0][tolvar::kYll],
                                       props[0][tolvar::kCellsize], sampling.SampleTable,
                                       sampling.columns);
        tolvar::sampleGrids(dir, registry, props, sampling, quiet);
        benchmark::DoNotOptimize(sampling.StrataCodes.size());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["grid_cells"] = static_cast<double>(ws.side) * ws.side * 5;
}
BENCHMARK(BM_SampleGrids)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Permutaties15Groups(benchmark::State& state)
{
    tolvar::GroupMembers members(16);
    for (int g = 1; g <= 15; ++g)
        members[static_cast<std::size_t>(g)] = {g};
    for (auto _ : state) {
        auto list = tolvar::modelStructures(members);
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(BM_Permutaties15Groups)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
