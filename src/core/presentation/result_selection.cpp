#include "presentation/result_selection.h"

#include "selection/select_best.h"

namespace tolvar {

ResultChoice resultChoice(const ResultSelection& selection, const AppState& state)
{
    ResultChoice choice;
    choice.stratumText = selection.stratumText;
    choice.mxw = selection.mxw;
    choice.ticked = selection.ticked;
    choice.groupCount = state.registry.GroupCount;
    choice.auxVarCount = state.registry.AuxVarCount;
    choice.weighted = state.weighted;
    return choice;
}

bool clickStructure(ResultSelection& selection, StructureChecks& checks)
{
    const bool changed = CheckBox1Click(selection.ticked, checks.state);
    if (changed)
        blankSelection(selection);
    checks.checked = selection.ticked;
    return changed;
}

void showBestSelection(ResultSelection& selection, StructureChecks& checks, const BestOutcome& best)
{
    selection.stratumText = best.choice.stratumText;
    selection.mxw = best.choice.mxw;
    selection.ticked = best.choice.ticked;
    selection.bestName = best.found ? best.bestName : std::string();
    checks.checked = best.choice.ticked;
    checks.state = best.choice.ticked;
}

void blankSelection(ResultSelection& selection)
{
    selection.bestName.clear();
}

int stratumItem(const std::vector<std::string>& items, const std::string& stratumText)
{
    int found = -1;
    const std::string wanted = toskim2(stratumText);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (toskim2(items[i]) == wanted)
            found = static_cast<int>(i);
    return found;
}

}  // namespace tolvar
