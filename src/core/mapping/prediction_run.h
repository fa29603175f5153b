#pragma once

#include "common/mxw.h"
#include "app/app_state.h"
#include "common/canvas.h"

#include <array>
#include <string>

namespace tolvar {

// What "Settings OK; start mapping" reads from the windows.
struct MappingSettings {
    PerMxw<bool> mapped{};  // MHW, MSW, MLW
    // MHW, SDMHW, MSW, SDMSW, MLW, SDMLW.
    std::array<std::string, 6> outputNames{};
    TGridFileType outputType = TGridFileType::asciigrid;
    bool orderCheck = true;
    bool residuals = true;
    bool noMaps = false;
};

inline constexpr const char* kNoModelToMap =
    "No map can be made: no stratum has a regression model for the MxW to map. Run \"Start regression\" "
    "with point data that give at least one regression first.";

struct MappingOutcome {
    bool completed = false;
    std::string closingMessage;  // the text of the closing message box
    long long cellsOutOfOrder = 0;
    std::string residualFile;
};

// btbttnPredictClick without its widgets: best models per stratum and MxW
// (shown, pictured and loaded), the maps cell by cell with their standard
// deviations and the optional order check, and the normalized residuals.
// `fitCanvas` receives the result pictures, `statusCanvas` the map status.
MappingOutcome runPrediction(AppState& state, const MappingSettings& settings, Canvas& fitCanvas,
                             Canvas& statusCanvas);

// The predicted value of one place, or nullopt when a regressor is missing;
// fills the regressor vector z for the standard deviation.
struct Prediction {
    bool ok = false;
    double value = 0.0;
    std::array<double, 17> z{};
};
// aux[i] is the value of auxiliary slot i (1..15); missing[i] tells whether it
// is missing.
Prediction predict(const Tmodel& model, const std::array<double, 16>& aux,
                   const std::array<bool, 16>& missing);

// The closing-text part for cells found in the wrong order.
std::string wrongOrderText(long long wrongCells, long long allCells);

// The residual step; appends its text to `closing`. Returns the file name.
std::string normalizedResiduals(AppState& state, const PerMxw<bool>& mapped,
                                std::string& closing);

}  // namespace tolvar
