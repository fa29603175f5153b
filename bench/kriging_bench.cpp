// Kriging one MxW's normalized residuals over a strata grid of 5000 x 5000
// cells of 25 m with 1000 points, the nearest 32 of them per cell, on every
// core, in bands of rows as the prediction run feeds them. The variogram is
// fitted to the points first, as the run does. TOLVAR_BENCH_CELLS changes the
// side, TOLVAR_BENCH_POINTS the number of points.
#include "kriging/ordinary_kriging.h"
#include "kriging/variogram.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <thread>

using namespace tolvar;

namespace {

int envOr(const char* name, int fallback)
{
    const char* v = std::getenv(name);
    return v ? std::atoi(v) : fallback;
}

// Residuals with a structure over some kilometres and a nugget.
std::vector<KrigingPoint> residualPoints(int count, double side)
{
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> u(0.0, side);
    std::normal_distribution<double> noise(0.0, 0.4);
    std::vector<KrigingPoint> p;
    for (int i = 0; i < count; ++i) {
        const double x = 155000 + u(rng), y = 463000 + u(rng);
        p.push_back({x, y, std::sin(x / 4000) * std::cos(y / 5000) + 0.5 * std::sin((x + y) / 7000) + noise(rng)});
    }
    return p;
}

void BM_KrigeOneMxw(benchmark::State& state)
{
    const int side = envOr("TOLVAR_BENCH_CELLS", 5000);
    const int count = envOr("TOLVAR_BENCH_POINTS", 1000);
    const double cellsize = 25;
    const auto points = residualPoints(count, side * cellsize);
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    long long systems = 0;
    for (auto _ : state) {
        const VariogramFit fit = fitVariogram(experimentalVariogram(points, lagClassesFor(points)), count);
        if (!fit.model) {
            state.SkipWithError(fit.problem.c_str());
            return;
        }
        const OrdinaryKriging ok(points, *fit.model, 32);
        const long long band = OrdinaryKriging::kBlockSide;
        std::vector<char> need(static_cast<std::size_t>(band * side), 1);
        std::vector<KrigingEstimate> out(need.size());
        double sum = 0;
        for (long long r0 = 0; r0 < side; r0 += band) {
            const long long rows = std::min<long long>(band, side - r0);
            const CellWindow w{155000, 463000 + (side - r0) * cellsize, cellsize, side, rows};
            need.resize(static_cast<std::size_t>(rows * side));
            out.resize(need.size());
            ok.krige(w, need, out, threads);
            sum += out.front().value + out.back().variance;
        }
        benchmark::DoNotOptimize(sum);
        systems = ok.factorizations();
    }
    state.counters["cells"] = static_cast<double>(side) * side;
    state.counters["threads"] = threads;
    state.counters["systems"] = static_cast<double>(systems);
}
BENCHMARK(BM_KrigeOneMxw)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
