#pragma once

#include "app/app_state.h"
#include "presentation/result_display.h"

#include <array>
#include <string>
#include <vector>

namespace tolvar {

// The structure check boxes of the results tab as ticks, [variable][group] from 1.
using StructureTicks = std::array<std::array<bool, 16>, 16>;

// What the results tab has selected: the two selectors' texts, the ticked
// structure and the best model on screen. The window copies its controls in,
// applies one of the rules below and shows the selection again.
struct ResultSelection {
    std::string stratumText;  // as in the selector, blanks included
    std::string mxw;
    StructureTicks ticked{};
    // The best model on screen; "Reject the best result" acts on it only.
    std::string bestName;

    bool rejectOffered() const { return !bestName.empty(); }
};

// The result the selection names, with the registry's counts and the run's
// weighting: what "Show 1 result" and "Show the best result" are asked.
ResultChoice resultChoice(const ResultSelection& selection, const AppState& state);

// CheckBox1Click: `selection.ticked` holds the boxes as the user left them.
// In the group of the box that changed at most one variable stays ticked, and
// the registry's checks follow the boxes. True when a box changed: the display
// is blanked and nothing is left to reject.
bool clickStructure(ResultSelection& selection, StructureChecks& checks);

// A best model shown (by "Show the best result" or by the mapping run): the
// selection names its pair and structure, the registry's checks follow, and
// the model is the one to reject when one was found.
void showBestSelection(ResultSelection& selection, StructureChecks& checks, const BestOutcome& best);

// The display is blanked: no model is on screen to reject.
void blankSelection(ResultSelection& selection);

// The item of the stratum selector that names `stratumText` once both are
// skimmed (the last such item), or -1.
int stratumItem(const std::vector<std::string>& items, const std::string& stratumText);

}  // namespace tolvar
