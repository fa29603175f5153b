#pragma once

#include "common/mxw.h"
#include "app/app_state.h"

#include <array>
#include <string>

namespace tolvar {

inline constexpr const char* kNoRegressionDone = "No regression could be done: ";
inline constexpr const char* kNoNumericMxw = "the point data hold no numeric values for ";
inline constexpr const char* kDecimalCommaAdvice =
    "Numbers written with a decimal comma can be changed with \"Replace each comma by decimal dot\" "
    "in the popup menu of the point table (right mouse button); then press \"Ready!\" and "
    "\"Start regression\" again.";
inline constexpr const char* kNoPointOnStrata =
    "no observation point with numeric X and Y lies on the strata grid. ";
inline constexpr const char* kTooFewEverywhere =
    "every stratum has too few observations with values for the model structures (the session log "
    "lists the regressions that were not done).";

inline constexpr const char* kNotANumber = ", which is not a number. ";

// Why the sampled points cannot give any regression: no checked MxW column
// holds a single number (most often decimal commas), no point lies on the
// strata grid, or a point on it holds a value that is neither a number nor
// "missing" in a column the regressions read (which would stop the run in
// the middle). Empty when regressions can be tried.
std::string whyNoRegression(const SamplingState& sampling, const PerMxw<bool>& mxwChecked,
                            bool weighted);

// Ends a regression run without a model: the reason goes to the log and to
// the user, and the progress display is idle again.
void reportNoRegression(AppState& state, const std::string& why);

}  // namespace tolvar
