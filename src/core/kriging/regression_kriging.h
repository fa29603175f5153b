#pragma once

#include "app/app_state.h"
#include "common/mxw.h"
#include "common/canvas.h"
#include "grids/ascii_grid.h"
#include "kriging/ordinary_kriging.h"

#include <array>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvar {

// How the normalized residuals are kriged after the maps.
struct KrigingSettings {
    bool on = false;
    std::optional<double> lagWidth, cutoff;  // map units; default from the points
    int neighbours = 32;
};

// The kriging of one MxW: its points, variogram and model.
struct MxwKriging {
    Mxw mxw = Mxw::MHW;
    std::vector<KrigingPoint> points;
    ExperimentalVariogram variogram;
    VariogramFit fit;
    std::unique_ptr<OrdinaryKriging> kriging;  // when a model was fitted
};

// The normalized residuals of the sample table (the last "NormRes" columns)
// with the snapped point coordinates; points without one are left out.
std::vector<KrigingPoint> normalizedResidualPoints(const AppState& state, Mxw mxw);

// The variogram picture: the classes with their pair counts, the fitted
// curve and its parameters.
void drawVariogram(Canvas& canvas, const MxwKriging& k);

// Regression kriging over the strata grid, fed the cells of the prediction
// run row by row: per mapped MxW the kriged normalized residual e and its
// kriging variance v give
//   MxW_RK   = prediction + S e
//   SDMxW_RK = S sqrt(v + sd^2)
// with S = sqrt(MSRes) of the cell's model and sd the regression part of
// bepaalsd; both are written with one decimal to MxW_RK.asc and SDMxW_RK.asc
// in the folder of the MxW's prediction map. Rows are gathered in bands of
// one block's height and kriged on every core.
class RegressionKriging {
public:
    // Variograms, fits, their log lines and pictures (saved as
    // "<MxW>-variogram.wmf"); opens the maps of every MxW that has a model.
    RegressionKriging(AppState& state, const PerMxw<bool>& mapped,
                      const std::array<std::string, 6>& outputNames, const KrigingSettings& settings,
                      bool orderCheck, const GridHeader& header, Canvas& picture);
    ~RegressionKriging();

    // Whether any MxW is kriged.
    bool any() const;
    // One cell, in file order: the unrounded predictions, the sd ratios and
    // the MSRes of the three MxW (the missing code where there is none).
    void cell(const PerMxw<double>& values, const PerMxw<double>& sds, const PerMxw<double>& msres);
    void endRow();
    // Kriges and writes what is left and closes the maps.
    void finish();
    // The text for the closing message, with what could not be kriged.
    const std::string& closingText() const { return closing_; }
    // The variogram pictures saved, as file names in the working directory.
    const std::vector<std::string>& pictures() const { return pictures_; }

private:
    void flushBand();

    AppState& state_;
    GridHeader header_;
    bool orderCheck_;
    int threads_;
    PerMxw<std::optional<MxwKriging>> kriged_;
    std::array<std::ofstream, 6> files_;  // MHW_RK, SDMHW_RK, ...
    std::array<std::filesystem::path, 6> paths_;
    // The band: per MxW per cell value, sd and msres.
    PerMxw<std::vector<double>> values_, sds_, msres_;
    long long bandFirstRow_ = 0, rowsInBand_ = 0, column_ = 0;
    long long wrongOrder_ = 0;
    std::string closing_;
    std::string text_;
    std::vector<std::string> pictures_;
};

}  // namespace tolvar
