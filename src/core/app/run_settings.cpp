#include "app/run_settings.h"

namespace tolvar {

PerMxw<bool> acceptImport(AppState& state, const std::string& sourceFile, const PointColumns& columns)
{
    state.pointDataSourceFile = sourceFile;
    PerMxw<bool> offered{};
    for (Mxw m : kAllMxw) {
        state.sdColumns[m] = columns[sdRole(m)];
        offered[m] = columns[mxwRole(m)] >= 0;
    }
    return offered;
}

bool weightingOffered(const AppState& state, const PerMxw<bool>& mxwChecked)
{
    return ReCheck(mxwChecked, state.sdColumns);
}

RegressionSettings regressionSettings(const PerMxw<bool>& mxwChecked, bool weighted, const PointEditor& editor)
{
    RegressionSettings settings;
    settings.mxwChecked = mxwChecked;
    settings.weighted = weighted;
    settings.usedFile = editor.sourceFile;
    settings.edits = editor.state;
    settings.roleTexts = editor.roleTexts;
    return settings;
}

MappingSettings mappingSettings(const AppState& state, const PerSlot<std::string>& outputNames,
                                const MappingChoices& choices)
{
    MappingSettings settings;
    settings.mapped = state.mxwChecked;
    settings.outputNames = outputNames;
    settings.orderCheck = choices.orderCheck;
    settings.residuals = choices.residuals;
    settings.noMaps = choices.noMaps;
    settings.sdInMxwUnits = choices.sdInMxwUnits;
    settings.kriging = choices.kriging;
    return settings;
}

}  // namespace tolvar
