// BM_FitAndWrite: one complete fit of its own design plus the result-file
// text, for N observations and k regressors (the way of a single data file).
// BM_StartRegression: the whole "Start regression" run in memory with 15
// grids in 15 groups (32767 structures), one stratum, MHW weighted, for 1000
// and 8000 points: sampling, every fit, selection and the surviving files.
// The inputs are generated once into a temporary directory.
#include "bench_support.h"
#include "common/text_file.h"
#include "common/feedback.h"
#include "regression/regression_files.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace {

tolvar::RegressionData makeData(int n, int k)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> value(0.0, 100.0);
    std::normal_distribution<double> noise(0.0, 8.0);
    tolvar::RegressionData data;
    data.studyName = "from: benchmark to: MHW (area:1, weighted)";
    data.yName = "MHW";
    data.N = n;
    data.k = k;
    for (int j = 1; j <= k; ++j)
        data.names.push_back("aux" + std::to_string(j));
    data.X = tolvar::AllocMatrix(k, n);
    data.Y = tolvar::AllocVector(n);
    data.s = tolvar::AllocVector(n);
    for (int i = 1; i <= n; ++i) {
        double y = 40.0;
        for (int j = 1; j <= k; ++j) {
            (*data.X)[j][i] = value(rng);
            y += (j % 2 ? 0.4 : -0.3) * (*data.X)[j][i];
        }
        (*data.Y)[i] = y + noise(rng);
        (*data.s)[i] = value(rng) / 10.0;
    }
    return data;
}

void BM_FitAndWrite(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const tolvar::RegressionData data = makeData(n, k);
    std::ostringstream out;
    for (auto _ : state) {
        const tolvar::FitOutput fit =
            tolvar::FitRegression(*data.X, *data.Y, *data.s, n, k, true, true);
        out.str({});
        tolvar::writeRegressionResult(out, "bench.dat", data, fit);
        benchmark::DoNotOptimize(out.tellp());
    }
    state.counters["fits/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

namespace fs = std::filesystem;

constexpr int kGroups = 15;
constexpr int kSide = 120;

double auxValue(int g, int r, int c)
{
    return std::sin(r / (5.0 + g) + g) * 10 + std::cos(c / (8.0 + g) + 2 * g) * 7 + r * 0.05 * g;
}

// 15 smooth grids, one stratum, `points` piezometers with MHW from five grids.
fs::path regressionInputs(int points)
{
    const fs::path dir = fs::temp_directory_path() / ("tolvar-bench-regression-" + std::to_string(points));
    if (fs::exists(dir / "complete"))
        return dir;
    fs::create_directories(dir);
    auto grid = [&](const std::string& name, auto value) {
        std::ofstream out(dir / name, std::ios::binary);
        out << "ncols " << kSide << "\r\nnrows " << kSide
            << "\r\nxllcorner 0\r\nyllcorner 0\r\ncellsize 10\r\nNODATA_value -9999\r\n";
        char buf[32];
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                std::snprintf(buf, sizeof buf, "%.3f ", value(r, c));
                out << buf;
            }
            out << "\r\n";
        }
    };
    grid("strata.asc", [](int, int) { return 1.0; });
    tolvar::BatchStart start{"strata.asc", kGroups, {}};
    for (int g = 1; g <= kGroups; ++g) {
        const std::string name = "aux" + std::to_string(g) + ".asc";
        grid(name, [g](int r, int c) { return auxValue(g, r, c); });
        start.variables.push_back({name, g});
    }
    tolvar::writeTextFile(dir / tolvar::kBatchStartFileName, tolvar::batchStartLines(start));
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> cell(0, kSide - 1);
    std::normal_distribution<double> noise(0.0, 6.0);
    std::ofstream csv(dir / "points.csv", std::ios::binary);
    csv << "Name;X;Y;MHW;sdMHW\r\n";
    char line[128];
    for (int i = 0; i < points; ++i) {
        const int r = cell(rng), c = cell(rng);
        const double mhw = 80 + 2 * auxValue(1, r, c) - 1.5 * auxValue(3, r, c) + auxValue(5, r, c) +
                           0.5 * auxValue(8, r, c) + noise(rng);
        std::snprintf(line, sizeof line, "P%05d;%.2f;%.2f;%.1f;%.1f\r\n", i + 1, c * 10 + 5.0,
                      (kSide - r) * 10 - 5.0, mhw, 1 + std::fabs(noise(rng)) / 3);
        csv << line;
    }
    std::ofstream(dir / "complete") << "";
    return dir;
}

void BM_StartRegression(benchmark::State& bench)
{
    const fs::path inputs = regressionInputs(static_cast<int>(bench.range(0)));
    const fs::path work = fs::temp_directory_path() / "tolvar-bench-regression-run";
    long long regressions = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        fs::remove_all(work);
        fs::create_directories(work);
        for (const auto& entry : fs::directory_iterator(inputs))
            fs::copy_file(entry.path(), work / entry.path().filename());
        tolvar::SilentFeedback feedback;
        tolvar::AppState state(tolvar::WorkDir(work), feedback);
        const tolvar::RegressionSettings settings =
            tolvar::bench::prepareSession(state, work, "points.csv", ';', {true, false, false}, feedback);
        bench.ResumeTiming();

        const tolvar::RegressionOutcome outcome = tolvar::runRegression(state, settings);

        bench.PauseTiming();
        if (!outcome.completed)
            throw std::runtime_error("the regression run did not complete");
        regressions = outcome.regressionsDone;
        state.log.close();
        bench.ResumeTiming();
    }
    bench.counters["regressions"] = static_cast<double>(regressions);
    bench.counters["peak_rss_mib"] = tolvar::bench::peakRssMiB();
    fs::remove_all(work);
}

}  // namespace

BENCHMARK(BM_StartRegression)->Arg(1000)->Arg(8000)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

BENCHMARK(BM_FitAndWrite)
    ->ArgsProduct({{100, 1000, 8000}, {1, 5, 15}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
