// Reading every cell of a 2000 x 2000 grid row by row, as a mapping run does:
// from the ASCII grid, and from the same cells as a GeoTIFF through the
// grid-access library (generated once into a temporary directory with
// gdal_translate; set TOLVAR_BENCH_CELLS to change the side).
#include "grids/grid_library.h"
#include "mapping/row_source.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

int gridSide()
{
    const char* env = std::getenv("TOLVAR_BENCH_CELLS");
    return env ? std::atoi(env) : 2000;
}

struct Grids {
    fs::path dir;
    int side = gridSide();
    tolvar::GridLibraryBinding library;
    tolvar::SilentFeedback quiet;

    Grids()
    {
        dir = fs::temp_directory_path() / ("tolvar-bench-rows-" + std::to_string(side));
        fs::create_directories(dir);
        if (!fs::exists(dir / "aux.tif")) {
            std::ofstream out(dir / "aux.asc", std::ios::binary);
            out << "ncols " << side << "\r\nnrows " << side
                << "\r\nxllcorner 100000\r\nyllcorner 400000\r\ncellsize 25\r\nNODATA_value -9999\r\n";
            std::mt19937 rng(7);
            std::string line;
            for (int r = 0; r < side; ++r) {
                line.clear();
                for (int c = 0; c < side; ++c) {
                    const unsigned v = rng() % 1000;
                    line += std::to_string(v / 10) + "." + std::to_string(v % 10) + ' ';
                }
                out << line << "\r\n";
            }
            out.close();
            const std::string command = "gdal_translate -q -of GTiff -ot Float64 -oo DATATYPE=Float64 '" +
                                        (dir / "aux.asc").string() + "' '" + (dir / "aux.tif").string() + "'";
            if (std::system(command.c_str()) != 0)
                throw std::runtime_error("gdal_translate failed");
        }
        std::ofstream location(dir / "avgridio.txt", std::ios::binary);
        location << TOLVAR_BENCH_GRIDIO << "\r\n" << TOLVAR_BENCH_GDAL << "\r\n" << TOLVAR_BENCH_PROJ << "\r\n";
        location.close();
        library.TestLoadDLL(tolvar::WorkDir(dir), quiet);
        if (!library.rowsReadable())
            throw std::runtime_error("the grid-access library does not bind");
    }
};

Grids& grids()
{
    static Grids g;
    return g;
}

double readAll(tolvar::CellRowSource& source, int side)
{
    double sum = 0;
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c)
            sum += source.next();
        source.nextRow();
    }
    return sum;
}

void BM_AsciiRows(benchmark::State& state)
{
    Grids& g = grids();
    for (auto _ : state) {
        tolvar::AsciiRowSource source(g.dir / "aux.asc");
        benchmark::DoNotOptimize(readAll(source, g.side));
    }
    state.SetItemsProcessed(state.iterations() * g.side * g.side);
}
BENCHMARK(BM_AsciiRows)->Unit(benchmark::kMillisecond);

void BM_GeoTiffRowsThroughTheLibrary(benchmark::State& state)
{
    Grids& g = grids();
    const tolvar::GridEntryPoints& f = g.library.fn;
    const double box[4] = {100000, 400000, 100000 + 25.0 * g.side, 400000 + 25.0 * g.side};
    double window[4];
    for (auto _ : state) {
        f.AccessWindowSet(box, 25, window);
        {
            tolvar::LibraryRowSource source(f, "aux.tif", (g.dir / "aux.tif").string(), g.side);
            benchmark::DoNotOptimize(readAll(source, g.side));
        }
        f.AccessWindowClear();
    }
    state.SetItemsProcessed(state.iterations() * g.side * g.side);
}
BENCHMARK(BM_GeoTiffRowsThroughTheLibrary)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
