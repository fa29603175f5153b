#pragma once

#include "app/app_state.h"
#include "pointdata/point_editor.h"

#include <array>
#include <functional>
#include <string>

namespace tolvar {

// What "Start regression" reads from the windows.
struct RegressionSettings {
    PerMxw<bool> mxwChecked{};
    bool weighted = false;
    // The point-data editor's record of this import, for the log.
    std::string usedFile;
    PointEditState edits;
    std::array<std::string, kPointRoleCount> roleTexts{};
    // The session header's time stamp; the current local time when empty.
    std::string dateTimeText;
    // Called once the grids are sampled (scatterdat.txt is written).
    std::function<void()> sampled;
};

// The order check is offered (enabled and checked) when more than one MxW is
// regressed, otherwise disabled and unchecked.
inline bool orderCheckOffered(const PerMxw<bool>& mxwChecked)
{
    return int{mxwChecked[0]} + int{mxwChecked[1]} + int{mxwChecked[2]} > 1;
}

// What the window does when the run is over.
struct RegressionOutcome {
    bool completed = false;
    // The order check is offered (enabled and checked) when more than one MxW
    // is regressed, otherwise disabled and unchecked.
    bool orderCheckOffered = false;
    std::array<OutputName, 6> outputNames{};
    long long regressionsDone = 0;
};

// btbttnFILESOKClick without its widgets: log header and settings, grid checks,
// sampling, model structures, every regression, and the best model per
// stratum and MxW.
RegressionOutcome runRegression(AppState& state, const RegressionSettings& settings);

// The regression file name of a stratum, MxW, structure and weighting word.
std::string regressionFileName(const std::string& stratum, const std::string& mxw,
                               const std::string& structure, bool weighted);

// "Session" + the number right-aligned in 2.
std::string sessionText(int sessionNumber);

// The name of an auxiliary variable in a data file: its label without the
// directories.
std::string variableName(const std::string& labelCaption);

}  // namespace tolvar
