#include "mapping/prediction_run.h"
#include "regression/regression_run.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

namespace tolvar {
namespace {

namespace fs = std::filesystem;


std::vector<std::string> tokens(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

// A model read back from a result file by the test itself.
struct FileModel {
    std::vector<double> b;
    std::vector<std::vector<double>> v;
    double msres = 0;
    std::vector<int> variables;  // in group order
};

FileModel readBack(const fs::path& path)
{
    FileModel m;
    const auto lines = test::readLines(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto t = tokens(lines[i]);
        if (!t.empty() && t[0].size() >= 2 && t[0][0] == 'b' && std::isdigit(t[0][1]) && t.size() >= 2 &&
            lines[i].rfind("   b", 0) == 0)
            m.b.push_back(std::stod(t[1]));
        if (lines[i].rfind("Residual error", 0) == 0)
            m.msres = std::pow(std::stod(t.back()), 2);
        if (lines[i].rfind("Variance-Covariance", 0) == 0)
            for (std::size_t r = 0; r < m.b.size(); ++r) {
                std::vector<double> row;
                for (const auto& x : tokens(lines[i + 3 + r]))
                    row.push_back(std::stod(x));
                m.v.push_back(row);
            }
    }
    const std::string name = path.filename().string();
    for (std::size_t at = name.find("-g"); at != std::string::npos; at = name.find("-g", at + 1))
        if (at + 2 < name.size() && std::isdigit(static_cast<unsigned char>(name[at + 2])))
            m.variables.push_back(std::stoi(name.substr(at + 5, 2)));
    return m;
}

std::vector<std::vector<std::string>> gridCells(const fs::path& path)
{
    const auto lines = test::readLines(path);
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 6; i < lines.size(); ++i)
        rows.push_back(tokens(lines[i]));
    return rows;
}

std::string whole(double v)
{
    return std::to_string(static_cast<long long>(std::nearbyint(v)));
}

struct Mapping {
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};
    test::RecordingCanvas fit{350, 250}, status{350, 350};

    Mapping()
    {
        std::tm t{};
        state.log.open(tmp.path(), t);
        // 7 x 5 cells: stratum 1 west, 2 east, a missing stratum cell; two
        // auxiliary grids each with a NODATA cell.
        test::writeGrid(tmp, "strata.asc", 7, 5, 0, 0, 10, "-9999", [](int r, int c) {
            return r == 3 && c == 4 ? std::string("-9999") : std::string(c <= 3 ? "1" : "2");
        });
        test::writeGrid(tmp, "dem.asc", 7, 5, 0, 0, 10, "-9999", [](int r, int c) {
            return r == 5 && c == 7 ? std::string("-9999") : std::to_string(r * 3.5 + c * 1.25);
        });
        test::writeGrid(tmp, "soil.asc", 7, 5, 0, 0, 10, "-9999", [](int r, int c) {
            return r == 1 && c == 2 ? std::string("-9999") : std::to_string((r * 7 + c * 3) % 11);
        });
        std::vector<test::TestPoint> points;
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 7; ++c) {
                if ((r == 3 && c == 4) || (r == 5 && c == 7) || (r == 1 && c == 2))
                    continue;
                for (int k = 0; k < 2; ++k) {
                    const double dem = r * 3.5 + c * 1.25, soil = (r * 7 + c * 3) % 11;
                    const double mhw = 40 + 2.5 * dem + 1.5 * soil + ((r * 5 + c * 3 + k * 7) % 9) - 4;
                    points.push_back({"P", c * 10 - 5.0 + k, 55.0 - r * 10 + k, std::to_string(mhw), "2",
                                      std::to_string(mhw + 25 + (k ? 3 : -3)), "3"});
                }
            }
        test::writePointFiles(tmp, points);
        state.registry.startUp();
        state.registry.addVariable(fb);
        state.registry.attachBatchGrid(0, "strata.asc");
        state.registry.attachBatchGrid(1, "dem.asc");
        state.registry.attachBatchGrid(2, "soil.asc");
        InitGridProps(state.GridProps);
        RegressionSettings s;
        s.mxwChecked = {true, true, false};
        s.weighted = true;
        s.roleTexts = {"MHW", "sdMHW", "MSW", "sdMSW", "", "", "", "XCOORD", "YCOORD"};
        const RegressionOutcome out = runRegression(state, s);
        EXPECT_TRUE(out.completed);
    }

    MappingSettings settings() const
    {
        MappingSettings m;
        m.mapped = {true, true, false};
        const std::string dir = (tmp / "maps").string() + "/";
        m.outputNames = {dir + "MHW_R.asc", dir + "SDMHW_R.asc", dir + "MSW_R.asc",
                         dir + "SDMSW_R.asc", dir + "MLW_R.asc", dir + "SDMLW_R.asc"};
        m.orderCheck = false;
        m.residuals = true;
        return m;
    }

    // The best file of each pair, as the display logged it.
    std::map<std::string, std::string> bestFiles()
    {
        std::map<std::string, std::string> best;
        for (const std::string& line : test::readLines(tmp / state.log.fileName())) {
            const std::string head = "best regression file <";
            if (line.rfind(head, 0) != 0)
                continue;
            const std::string name = line.substr(head.size(), line.find('>') - head.size());
            best[name.substr(0, name.find('-', name.find('-') + 1))] = name;
        }
        return best;
    }
};

TEST(PredictionRun, MapsMatchTheModelsCellByCell)
{
    Mapping m;
    const MappingOutcome out = runPrediction(m.state, m.settings(), m.fit, m.status);
    ASSERT_TRUE(out.completed);
    const auto best = m.bestFiles();
    ASSERT_EQ(best.size(), 4u);  // 2 strata x MHW, MSW

    const char* mxw[2] = {"MHW", "MSW"};
    for (int k = 0; k < 2; ++k) {
        const auto values = gridCells(m.tmp / "maps" / (std::string(mxw[k]) + "_R.asc"));
        const auto sds = gridCells(m.tmp / "maps" / ("SD" + std::string(mxw[k]) + "_R.asc"));
        ASSERT_EQ(values.size(), 5u);
        for (int r = 1; r <= 5; ++r) {
            ASSERT_EQ(values[r - 1].size(), 7u);
            for (int c = 1; c <= 7; ++c) {
                SCOPED_TRACE(std::string(mxw[k]) + " row " + std::to_string(r) + " col " + std::to_string(c));
                const std::string& got = values[r - 1][c - 1];
                if (r == 3 && c == 4) {
                    EXPECT_EQ(got, "-9999");
                    continue;
                }
                const std::string stratum = c <= 3 ? "1" : "2";
                const FileModel fm = readBack(m.tmp / best.at(stratum + "-" + mxw[k]));
                const double aux[3] = {0, r * 3.5 + c * 1.25, static_cast<double>((r * 7 + c * 3) % 11)};
                const bool demMissing = r == 5 && c == 7, soilMissing = r == 1 && c == 2;
                double value = fm.b[0];
                std::vector<double> z{1.0};
                bool lacking = false;
                for (std::size_t j = 0; j < fm.variables.size(); ++j) {
                    const int v = fm.variables[j];
                    lacking = lacking || (v == 1 && demMissing) || (v == 2 && soilMissing);
                    value += fm.b[j + 1] * aux[v];
                    z.push_back(aux[v]);
                }
                if (lacking) {
                    EXPECT_EQ(got, "-9999");
                    EXPECT_EQ(sds[r - 1][c - 1], "-9999");
                    continue;
                }
                double q = 0;
                for (std::size_t i = 0; i < z.size(); ++i)
                    for (std::size_t j = 0; j < z.size(); ++j)
                        q += z[i] * fm.v[i][j] * z[j];
                EXPECT_EQ(got, whole(value));
                EXPECT_EQ(sds[r - 1][c - 1], whole(std::sqrt(q / fm.msres)));
            }
        }
    }
    EXPECT_FALSE(fs::exists(m.tmp / "maps" / "MLW_R.asc"));  // not mapped: never opened
    EXPECT_NE(std::find(m.fit.savedTo.begin(), m.fit.savedTo.end(), m.tmp / "1-MHW.wmf"),
              m.fit.savedTo.end());
    EXPECT_TRUE(fs::exists(m.tmp / "Session 1 normres.csv"));

    const std::string closing = m.fb.messages.back();
    EXPECT_EQ(closing.rfind("Tolvar is ready. You can close this window", 0), 0u);
    EXPECT_NE(closing.find("\r\n\r\nResidues at observation locations were calculated and normalized.\r\n"
                           "These were written to Session 1 normres.csv\r\n\r\nLogfile: " +
                           m.state.log.fileName()),
              std::string::npos);
    const std::string log = test::readFile(m.tmp / m.state.log.fileName());
    EXPECT_NE(log.find("\r\n\r\n****** Session  1 PREDICTION MxW ******\r\n"), std::string::npos);
    EXPECT_NE(log.find("MxW Stratum     S\r\nMHW       1 "), std::string::npos);
    EXPECT_NE(log.find("This session of Tolvar is ready.\r\n\r\nResidues at observation locations"),
              std::string::npos);
    EXPECT_EQ(m.fb.progressCalls.back().txt, "Idle");
    EXPECT_EQ(m.fb.milestones.back(), Mijlpaal::na_kriging);
    EXPECT_FALSE(m.status.of(test::RecordingCanvas::Op::FillRect).empty());
}

// With every model gone (all rejected, or none fitted) the run is refused
// before it opens a map; a model of an MxW that is not mapped does not count.
TEST(PredictionRun, RefusedWithoutAModelForAnyStratum)
{
    Mapping m;
    for (const std::string& name : m.state.workDir.list("*.out"))
        if (name.find("-MHW-") != std::string::npos)
            m.state.workDir.removeFile(name);
    MappingSettings s = m.settings();
    s.mapped = {true, false, false};
    m.fb.messages.clear();
    const MappingOutcome out = runPrediction(m.state, s, m.fit, m.status);
    EXPECT_FALSE(out.completed);
    EXPECT_EQ(m.fb.messages, std::vector<std::string>{kNoModelToMap});
    EXPECT_FALSE(fs::exists(m.tmp / "maps"));
    s.mapped = {true, true, false};
    EXPECT_TRUE(runPrediction(m.state, s, m.fit, m.status).completed);
}

TEST(PredictionRun, NoMapsStillShowsTheModelsAndWritesResiduals)
{
    Mapping m;
    MappingSettings s = m.settings();
    s.noMaps = true;
    const MappingOutcome out = runPrediction(m.state, s, m.fit, m.status);
    ASSERT_TRUE(out.completed);
    EXPECT_FALSE(fs::exists(m.tmp / "maps" / "MHW_R.asc"));
    EXPECT_EQ(m.bestFiles().size(), 4u);
    EXPECT_EQ(out.residualFile, "Session 1 normres.csv");
    EXPECT_EQ(m.state.modelTables.table(Mxw::MHW).size(), 2u);

    // Residual columns: six new titles; MLW is not mapped.
    const auto lines = test::readLines(m.tmp / "Session 1 normres.csv");
    EXPECT_NE(lines[0].find(";ResidueMHW;NormResMHW;ResidueMSW;NormResMSW;ResidueMLW;NormResMLW;"),
              std::string::npos);
    const auto cells = tokens(lines[1]);
    EXPECT_NE(lines[1].find(";missing;missing;"), std::string::npos);
    EXPECT_EQ(lines[1].back(), ';');
}

TEST(PredictionRun, UncreatableDirectoryStopsTheRun)
{
    Mapping m;
    MappingSettings s = m.settings();
    m.tmp.write("blocker", "a file where a directory should be");
    s.outputNames[0] = (m.tmp / "blocker" / "sub" / "MHW_R.asc").string();
    EXPECT_FALSE(runPrediction(m.state, s, m.fit, m.status).completed);
    EXPECT_EQ(m.fb.messages.back(), "Kan " + (m.tmp / "blocker" / "sub").string() + " niet aanmaken!");
    s = m.settings();
    s.outputNames[3] = "SDMSW_R.asc";  // no directory part
    EXPECT_FALSE(runPrediction(m.state, s, m.fit, m.status).completed);
    EXPECT_EQ(m.fb.messages.back(), "Cannot create !");
}

TEST(Residuals, ResidualAndNormalizedResidualTexts)
{
    test::TempDir tmp;
    test::RecordingFeedback fb;
    AppState state(WorkDir(tmp.path()), fb);
    std::tm t{};
    state.log.open(tmp.path(), t);
    state.registry.startUp();
    state.registry.attachBatchGrid(0, "strata.asc");
    state.registry.attachBatchGrid(1, "dem.asc");
    InitGridProps(state.GridProps);
    state.GridProps[0][kNodata] = state.GridProps[1][kNodata] = -9999;
    state.sampling.SampleTable.rows = {{"Xnew", "Ynew", "MHW", "strata.asc", "dem.asc"},
                                       {"1", "1", "52.34", "         3", "     2.000"},
                                       {"1", "1", "missing", "         3", "     2.000"},
                                       {"1", "1", "50", "missing", "     2.000"}};
    state.sampling.columns[kMHW] = 2;
    Tmodel model;
    model.Stratum = "3";
    model.WelkeAhnplus.fill(-1);
    model.WelkeAhnplus[1] = 1;
    model.Coef[0] = 30;
    model.Coef[1] = 5;  // predicted 40: residual 12.34
    model.MSRes = 25;   // S = 5
    model.P = 2;
    // Load the model through a result file the tables can read.
    tmp.write("3-MHW-g01h01-gew.out",
              "Function   : y = b0 + b1.x1\r\n   b0      30.00000000\r\n   b1       5.00000000\r\n"
              "Number of observations            : n   =    10\r\n"
              "Residual error                    : s   = 5.00000000\r\n");
    state.modelTables.add_structure(state.workDir, "3-MHW-g01h01-gew.out", "3", "MHW", fb);
    std::string closing;
    const std::string file = normalizedResiduals(state, {true, false, false}, closing);
    const auto& rows = state.sampling.SampleTable.rows;
    EXPECT_EQ(rows[1][5], "      12.3");
    EXPECT_EQ(rows[1][6], "  2.468000");
    EXPECT_EQ(rows[1][7], "missing");
    EXPECT_EQ(rows[2][5], "   -9999.0");  // observed value not a number
    EXPECT_EQ(rows[2][6], "-9999.000000");
    EXPECT_EQ(rows[3][5], "   -9999.0");  // stratum missing
    const std::string log = test::readFile(tmp / state.log.fileName());
    EXPECT_NE(log.find("MxW Stratum     S\r\nMHW       3    5.0000\r\n"), std::string::npos);
    EXPECT_EQ(file, "Session 1 normres.csv");
    EXPECT_EQ(test::readFile(tmp / file).substr(0, 80),
              "Xnew;Ynew;MHW;strata.asc;dem.asc;ResidueMHW;NormResMHW;ResidueMSW;NormResMSW;Res");
}

}  // namespace
}  // namespace tolvar
