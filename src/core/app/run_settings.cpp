#include "app/run_settings.h"

namespace tolvar {

std::array<bool, 3> acceptImport(AppState& state, const std::string& sourceFile, const PointColumns& columns)
{
    state.pointDataSourceFile = sourceFile;
    std::array<bool, 3> offered{};
    for (int m = 0; m < 3; ++m) {
        const auto i = static_cast<std::size_t>(m);
        state.sdColumns[i] = columns[sdRole(m)];
        offered[i] = columns[mxwRole(m)] >= 0;
    }
    return offered;
}

bool weightingOffered(const AppState& state, const std::array<bool, 3>& mxwChecked)
{
    return ReCheck(mxwChecked, state.sdColumns);
}

RegressionSettings regressionSettings(const std::array<bool, 3>& mxwChecked, bool weighted,
                                      const PointEditor& editor)
{
    RegressionSettings settings;
    settings.mxwChecked = mxwChecked;
    settings.weighted = weighted;
    settings.usedFile = editor.sourceFile;
    settings.edits = editor.state;
    settings.roleTexts = editor.roleTexts;
    return settings;
}

MappingSettings mappingSettings(const AppState& state, const std::array<std::string, 6>& outputNames,
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
