// One complete fit plus the result-file text, for N observations and k
// regressors, as the regression batch runs it for every model structure.
#include "regression/regression_files.h"

#include <benchmark/benchmark.h>

#include <random>
#include <sstream>

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

}  // namespace

BENCHMARK(BM_FitAndWrite)
    ->ArgsProduct({{100, 1000, 8000}, {1, 5, 15}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
