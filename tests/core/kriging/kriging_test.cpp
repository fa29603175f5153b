#include "kriging/ordinary_kriging.h"
#include "kriging/variogram.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tolvar {
namespace {

// A small polder-like data set: 120 piezometers spread unevenly over 5 x
// 3.75 km, a field that varies over some hundreds of metres plus a little
// noise, as normalized residuals look.
std::vector<KrigingPoint> polderPoints()
{
    std::vector<KrigingPoint> p;
    unsigned s = 12345;
    auto uniform = [&s] {
        s = s * 1103515245u + 12345u;
        return static_cast<double>((s >> 8) & 0xFFFF) / 65536.0;
    };
    for (int i = 0; i < 120; ++i) {
        const double x = 155000 + 2500 * uniform() * uniform() + 2500 * uniform();
        const double y = 463000 + 3750 * uniform();
        const double v = std::sin((x - 155000) / 350) * std::cos((y - 463000) / 400) +
                         0.5 * std::sin((x + y - 618000) / 500) + 0.4 * (uniform() - 0.5);
        p.push_back({x, y, v});
    }
    return p;
}

const VariogramModel kSpherical{VariogramShape::Spherical, 0.05, 0.6, 1800};

// --- hand-checked cases ---------------------------------------------------------

TEST(OrdinaryKriging, ExactAtAPointWithoutNuggetAndTheMeanForAPureNugget)
{
    const std::vector<KrigingPoint> pts{{0, 0, 1.0}, {100, 0, 3.0}, {0, 100, -2.0}, {70, 80, 0.5}};
    for (const VariogramShape shape : {VariogramShape::Spherical, VariogramShape::Exponential}) {
        SCOPED_TRACE(shape == VariogramShape::Spherical ? "spherical" : "exponential");
        const OrdinaryKriging ok(pts, {shape, 0.0, 2.0, 150}, 32);
        for (const KrigingPoint& p : pts) {
            const KrigingEstimate e = ok.at(p.x, p.y);
            ASSERT_TRUE(e.ok);
            EXPECT_NEAR(e.value, p.value, 1e-10);
            EXPECT_NEAR(e.variance, 0.0, 1e-10);
        }
        EXPECT_GT(ok.at(50, 50).variance, 0.1);
    }
    // Nothing but nugget: every place away from the points gets their mean.
    const OrdinaryKriging nugget(pts, {VariogramShape::Spherical, 1.5, 0.0, 10}, 32);
    for (const auto& [x, y] : {std::pair{50.0, 50.0}, {-300.0, 20.0}, {1e4, 1e4}}) {
        const KrigingEstimate e = nugget.at(x, y);
        EXPECT_NEAR(e.value, 0.625, 1e-12);
        EXPECT_NEAR(e.variance, 1.5 * (1 + 1.0 / 4), 1e-12);  // sill + var of the mean
    }
}

// A point on a cell centre, kriged as a cell of a window, gives its own value.
TEST(OrdinaryKriging, CellOnAPointKeepsItsValue)
{
    auto pts = polderPoints();
    pts[7] = {155012.5, 463987.5, 2.75};  // the centre of a 25 m cell
    const OrdinaryKriging ok(pts, {VariogramShape::Exponential, 0.0, 0.8, 600}, 16);
    const CellWindow w{155000, 464000, 25, 4, 4};
    std::vector<char> need(16, 1);
    std::vector<KrigingEstimate> out(16);
    ok.krige(w, need, out, 2);
    ASSERT_TRUE(out[0].ok);
    EXPECT_NEAR(out[0].value, 2.75, 1e-9);
    EXPECT_NEAR(out[0].variance, 0.0, 1e-9);
}

// Points at one place are merged with their mean, so the system stays solvable.
TEST(OrdinaryKriging, CoincidentPointsAreMerged)
{
    const OrdinaryKriging ok({{0, 0, 1.0}, {0, 0, 3.0}, {100, 0, 0.0}, {0, 100, 0.0}},
                             {VariogramShape::Spherical, 0.0, 1.0, 500}, 32);
    EXPECT_EQ(ok.points().size(), 3u);
    const KrigingEstimate e = ok.at(0, 0);
    ASSERT_TRUE(e.ok);
    EXPECT_NEAR(e.value, 2.0, 1e-10);
}

// The blocks give every cell what kriging it on its own gives, with far
// fewer factorizations than cells; cells not asked for stay untouched.
TEST(OrdinaryKriging, SharedNeighbourhoodsEqualCellByCellKriging)
{
    const auto pts = polderPoints();
    const OrdinaryKriging ok(pts, kSpherical, 8);
    const CellWindow w{155000, 466750, 50, 100, 75};
    std::vector<char> need(static_cast<std::size_t>(w.cols * w.rows), 1);
    need[17] = 0;
    std::vector<KrigingEstimate> out(need.size());
    out[17].value = 42;
    const long long before = ok.factorizations();
    ok.krige(w, need, out, 2);
    const long long used = ok.factorizations() - before;
    EXPECT_LT(used, static_cast<long long>(need.size()) / 5);
    EXPECT_EQ(out[17].value, 42);
    EXPECT_FALSE(out[17].ok);
    for (long long r = 0; r < w.rows; r += 7)
        for (long long c = 0; c < w.cols; c += 3) {
            const auto k = static_cast<std::size_t>(r * w.cols + c);
            if (k == 17)
                continue;
            const KrigingEstimate alone = ok.at(w.left + (c + 0.5) * w.cellsize, w.top - (r + 0.5) * w.cellsize);
            ASSERT_TRUE(out[k].ok);
            EXPECT_NEAR(out[k].value, alone.value, 1e-9) << r << " " << c;
            EXPECT_NEAR(out[k].variance, alone.variance, 1e-9) << r << " " << c;
        }
}

// --- variogram -------------------------------------------------------------------

TEST(Variogram, ClassesFollowSpacingAndExtent)
{
    std::vector<KrigingPoint> grid;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j)
            grid.push_back({i * 100.0, j * 100.0, 0});
    const LagClasses c = lagClassesFor(grid);
    EXPECT_NEAR(c.cutoff, std::hypot(1900, 1900) / 3, 1e-9);
    EXPECT_NEAR(c.width, 100.0, 1e-9);  // the spacing of the points
    EXPECT_NEAR(lagClassesFor(grid, 10.0).width, 10.0, 1e-12);
    EXPECT_NEAR(lagClassesFor(grid, {}, 300.0).width, 300.0 / 5, 1e-9);    // at least five classes
    EXPECT_NEAR(lagClassesFor(grid, {}, 6000.0).width, 6000.0 / 30, 1e-9); // at most thirty
    EXPECT_NEAR(lagClassesFor(grid, 5000.0, 300.0).width, 300.0, 1e-12);   // never wider than the cutoff
    EXPECT_NEAR(lagClassesFor(grid, 1e-9, 300.0).width, 0.3, 1e-12);       // nor too many classes
    const auto v = experimentalVariogram(grid, {100, 250});
    ASSERT_EQ(v.pairs.size(), 3u);  // (0,100], (100,200], (200,250]
    EXPECT_EQ(v.pairs[0], 2 * 20 * 19);  // the horizontal and vertical neighbours
    EXPECT_NEAR(v.distance[0], 100, 1e-9);
}

TEST(Variogram, FitRecoversAKnownModelAndRefusesNoStructure)
{
    // Classes that lie exactly on a model are fitted back to it.
    for (const VariogramModel truth :
         {VariogramModel{VariogramShape::Spherical, 0.1, 0.9, 1200}, VariogramModel{VariogramShape::Exponential, 0.2, 0.7, 400}}) {
        ExperimentalVariogram v;
        v.classes = {150, 3000};
        for (int k = 0; k < 20; ++k) {
            v.pairs.push_back(40 + 3 * k);
            v.distance.push_back(75 + 150.0 * k);
            v.gamma.push_back(truth.gamma(75 + 150.0 * k));
        }
        const VariogramFit fit = fitVariogram(v, 100);
        ASSERT_TRUE(fit.model) << fit.problem;
        EXPECT_EQ(fit.model->shape, truth.shape);
        EXPECT_NEAR(fit.model->nugget, truth.nugget, 1e-4);
        EXPECT_NEAR(fit.model->psill, truth.psill, 1e-4);
        EXPECT_NEAR(fit.model->range, truth.range, 1e-2 * truth.range);
    }
    ExperimentalVariogram flat;
    flat.classes = {100, 1000};
    for (int k = 0; k < 10; ++k) {
        flat.pairs.push_back(50);
        flat.distance.push_back(50 + 100.0 * k);
        flat.gamma.push_back(1.0 + (k % 2 ? 0.01 : -0.01));
    }
    EXPECT_NE(fitVariogram(flat, 100).problem.find("pure nugget"), std::string::npos);
    EXPECT_NE(fitVariogram(flat, 6).problem.find("too few points"), std::string::npos);
    flat.pairs.resize(2), flat.distance.resize(2), flat.gamma.resize(2);
    EXPECT_NE(fitVariogram(flat, 100).problem.find("too few distance classes"), std::string::npos);
}

// --- against gstat ----------------------------------------------------------------

bool gstatAvailable()
{
    return std::system("Rscript -e 'quit(status = !requireNamespace(\"gstat\", quietly = TRUE))' "
                       ">/dev/null 2>&1") == 0;
}

std::string num(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::vector<std::vector<double>> readCsv(const std::filesystem::path& path)
{
    std::vector<std::vector<double>> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // titles
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::stringstream fields(line);
        std::string f;
        while (std::getline(fields, f, ','))
            row.push_back(std::stod(f));
        rows.push_back(row);
    }
    return rows;
}

// Equal to 1e-6 relative; values near 0 (normalized residuals are of order 1)
// are compared to 1e-6 absolute.
void expectClose(double ours, double theirs, const std::string& what)
{
    EXPECT_LE(std::abs(ours - theirs), 1e-6 * std::max(1.0, std::abs(theirs))) << what << ": " << ours << " vs " << theirs;
}

TEST(Gstat, KrigingVariogramAndFitAgree)
{
    if (!gstatAvailable())
        GTEST_SKIP() << "R with gstat is not installed";
    test::TempDir tmp;
    const auto pts = polderPoints();
    const CellWindow w{155000, 466750, 250, 20, 15};
    {
        std::ofstream p(tmp / "points.csv");
        p << "x,y,z\n";
        for (const KrigingPoint& q : pts)
            p << num(q.x) << "," << num(q.y) << "," << num(q.value) << "\n";
        std::ofstream c(tmp / "cells.csv");
        c << "x,y\n";
        for (long long r = 0; r < w.rows; ++r)
            for (long long k = 0; k < w.cols; ++k)
                c << num(w.left + (k + 0.5) * w.cellsize) << "," << num(w.top - (r + 0.5) * w.cellsize) << "\n";
    }
    const LagClasses classes = lagClassesFor(pts);
    const ExperimentalVariogram ev = experimentalVariogram(pts, classes);
    const VariogramFit fit = fitVariogram(ev, static_cast<int>(pts.size()));
    ASSERT_EQ(fit.tried.size(), 2u) << fit.problem;
    std::ofstream script(tmp / "run.R");
    script << "suppressMessages({library(sp); library(gstat)})\n"
              "d <- read.csv('points.csv'); coordinates(d) <- ~x+y\n"
              "g <- read.csv('cells.csv'); coordinates(g) <- ~x+y\n"
              "m <- vgm(psill=" << num(kSpherical.psill) << ", model='Sph', range=" << num(kSpherical.range)
           << ", nugget=" << num(kSpherical.nugget) << ")\n"
              "a <- krige(z~1, d, g, model=m, debug.level=0)\n"
              "b <- krige(z~1, d, g, model=m, nmax=8, debug.level=0)\n"
              "write.csv(data.frame(a$var1.pred, a$var1.var, b$var1.pred, b$var1.var), 'kriged.csv', row.names=FALSE)\n"
              "ev <- variogram(z~1, d, cutoff=" << num(classes.cutoff) << ", width=" << num(classes.width) << ")\n"
              "write.csv(data.frame(ev$np, ev$dist, ev$gamma), 'variogram.csv', row.names=FALSE)\n"
              "f <- NULL\n";
    for (const VariogramModel& m : fit.tried)
        script << "v <- fit.variogram(ev, vgm(psill=" << num(m.psill * 1.2) << ", model='"
               << (m.shape == VariogramShape::Spherical ? "Sph" : "Exp") << "', range=" << num(m.range * 0.8)
               << ", nugget=" << num(m.nugget * 1.2 + 0.01) << "), fit.method=7)\n"
               << "f <- rbind(f, c(v$psill[1], v$psill[2], v$range[2], attr(v, 'SSErr')))\n";
    script << "write.csv(f, 'fit.csv', row.names=FALSE)\n";
    script.close();
    ASSERT_EQ(std::system(("cd '" + tmp.path().string() + "' && Rscript run.R >r.log 2>&1").c_str()), 0)
        << test::readFile(tmp / "r.log");

    // Kriging: every point in the neighbourhood, and the nearest 8.
    const auto kriged = readCsv(tmp / "kriged.csv");
    ASSERT_EQ(kriged.size(), static_cast<std::size_t>(w.cols * w.rows));
    const OrdinaryKriging global(pts, kSpherical, 1000), local(pts, kSpherical, 8);
    std::vector<char> need(kriged.size(), 1);
    std::vector<KrigingEstimate> a(kriged.size()), b(kriged.size());
    global.krige(w, need, a, 2);
    local.krige(w, need, b, 2);
    for (std::size_t k = 0; k < kriged.size(); ++k) {
        expectClose(a[k].value, kriged[k][0], "global value " + std::to_string(k));
        expectClose(a[k].variance, kriged[k][1], "global variance " + std::to_string(k));
        expectClose(b[k].value, kriged[k][2], "local value " + std::to_string(k));
        expectClose(b[k].variance, kriged[k][3], "local variance " + std::to_string(k));
    }

    // The experimental variogram, class by class.
    const auto gv = readCsv(tmp / "variogram.csv");
    ASSERT_EQ(gv.size(), ev.pairs.size());
    for (std::size_t j = 0; j < gv.size(); ++j) {
        EXPECT_EQ(ev.pairs[j], static_cast<long long>(gv[j][0])) << j;
        expectClose(ev.distance[j] / classes.width, gv[j][1] / classes.width, "distance " + std::to_string(j));
        expectClose(ev.gamma[j], gv[j][2], "gamma " + std::to_string(j));
    }

    // The fits: our parameters close to gstat's, and our weighted error no
    // larger (gstat iterates from starting values, we search the range).
    const auto gf = readCsv(tmp / "fit.csv");
    ASSERT_EQ(gf.size(), 2u);
    for (std::size_t s = 0; s < 2; ++s) {
        const VariogramModel& m = fit.tried[s];
        SCOPED_TRACE(m.shapeName());
        const double sill = m.sill();
        EXPECT_NEAR(m.nugget, gf[s][0], 1e-3 * sill);
        EXPECT_NEAR(m.psill, gf[s][1], 1e-3 * sill);
        EXPECT_NEAR(m.range, gf[s][2], 1e-3 * gf[s][2]);
        EXPECT_LE(fit.errors[s], gf[s][3] * (1 + 1e-6));
    }
}

}  // namespace
}  // namespace tolvar
