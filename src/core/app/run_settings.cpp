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
                                bool orderCheck, bool residuals, bool noMaps)
{
    MappingSettings settings;
    settings.mapped = state.mxwChecked;
    settings.outputNames = outputNames;
    settings.orderCheck = orderCheck;
    settings.residuals = residuals;
    settings.noMaps = noMaps;
    return settings;
}

}  // namespace tolvar
