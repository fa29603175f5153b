#pragma once

#include "common/mxw.h"
#include "app/app_state.h"
#include "common/canvas.h"
#include "regression/regression_files.h"
#include "selection/select_best.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr double kNoCp = -9999.0;
inline constexpr int kPlotWidth = 350;
inline constexpr int kPlotHeight = 250;
inline constexpr std::size_t kMaxListedObservations = 40000;

// The result table strgrdFIT: 4 columns by 21 rows of texts, [row][column].
using ResultTable = std::array<std::array<std::string, 4>, 21>;

// BLANKSTRGRDFIT.
void BLANKSTRGRDFIT(ResultTable& table);

// toskim: the text without blanks and "=", at most its first 8 characters.
std::string toskim(const std::string& text);

// binnen: inside the plot's pixel square.
bool binnen(int x1, int y1);

// bepaalgroep: the group of coefficient parnr (from 1) of a result file name.
int bepaalgroep(int parnr, const std::string& filename);

// The plot range shared by both axes, multiples of 50 around the values and 0.
struct PlotRange {
    double lo = 0;
    double hi = 50;
    int px(double w) const;
    int py(double w) const;
};

using Observation = ResultObservation;

PlotRange plotRange(const std::vector<Observation>& observations);

// The title of a plot as drawn: one line at the top left when it has at most
// 50 characters, else lines broken after a "-" and right-aligned.
std::vector<std::string> titleLines(const std::string& name);

// blankimgFIT.
void blankimgFIT(Canvas& canvas);
// The scatterplot of observed against predicted values.
void drawScatterplot(Canvas& canvas, const std::string& title,
                     const std::vector<Observation>& observations);

// What the results tab names: stratum, MxW and the ticked structure.
struct ResultChoice {
    std::string stratumText;  // as in the selector, blanks included
    std::string mxw;
    std::array<std::array<bool, 16>, 16> ticked{};  // [variable][group]
    int groupCount = 1;
    int auxVarCount = 1;
    bool weighted = false;
};

// The model structure the ticks name, for example g01h03-g02h07.
std::string structureOf(const ResultChoice& choice);
// The result file name the choice names.
std::string resultFileNameOf(const ResultChoice& choice);

struct DisplayOutcome {
    bool found = false;
    std::string fileName;
    ResultTable table{};
    // Set when a long listing had to be cut.
    std::string statusText;
};

// btbttnSHOWClick without its widgets: reads the result file into the table,
// draws and saves the scatterplot, writes the log lines and sets the milestone.
// In best mode `cp` (when not kNoCp) replaces "nb" and the pair's picture is
// written as well.
DisplayOutcome showResult(AppState& state, const ResultChoice& choice, Canvas& canvas,
                          bool bestMode = false, double cp = kNoCp);

struct BestOutcome {
    bool found = false;
    std::string bestName;
    ResultChoice choice;  // with the best structure ticked
    DisplayOutcome display;
};

// "Show the best result": selects the best model of the pair, ticks its
// structure and shows it in best mode. Without a model it shows nothing and
// says so.
BestOutcome showBestResult(AppState& state, const ResultChoice& choice, Canvas& canvas);
// The same for a model already chosen (or none): it draws, it does not choose.
BestOutcome showBestResult(AppState& state, const ResultChoice& choice, Canvas& canvas,
                           const std::optional<BestModel>& chosen);

// CheckBox1Click on the selection state: finds the box whose tick differs from
// the state, unticks the other variables of its group when it is now ticked,
// and brings the state in line. True when a box changed (the display is blanked).
bool CheckBox1Click(std::array<std::array<bool, 16>, 16>& ticked,
                    std::array<std::array<bool, 16>, 16>& state);

// vulboxen of the results tab: the checked MxW, in order.
std::vector<std::string> mxwSelectorItems(const PerMxw<bool>& mxwChecked);

}  // namespace tolvar
