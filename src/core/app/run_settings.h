#pragma once

#include "app/app_state.h"
#include "common/mxw.h"
#include "mapping/prediction_run.h"
#include "pointdata/point_columns.h"
#include "pointdata/point_editor.h"
#include "regression/regression_run.h"

#include <array>
#include <string>

namespace tolvar {

// The point data accepted by "Ready!" (`columns`, from `sourceFile`) become
// the program's: the run logs the file, and the sd columns decide whether
// weighted regression is offered. Returns the MxW that have a column; the
// window offers and ticks those.
PerMxw<bool> acceptImport(AppState& state, const std::string& sourceFile, const PointColumns& columns);

// ReCheck for the point data accepted last: weighted regression is offered
// when at least one MxW is checked and every checked MxW has its sd column.
bool weightingOffered(const AppState& state, const PerMxw<bool>& mxwChecked);

// The settings of "Start regression" from the MxW and weighting chosen and
// the point-data editor's record of the import. The window and the batch both
// build them here, so both runs log and regress the same.
RegressionSettings regressionSettings(const PerMxw<bool>& mxwChecked, bool weighted, const PointEditor& editor);

// The options of tab 3 (and of the batch's command line).
struct MappingChoices {
    bool orderCheck = false;
    bool residuals = true;
    bool noMaps = false;
    bool sdInMxwUnits = false;
    KrigingSettings kriging;
};

// The settings of "Settings OK; start mapping": the MxW the last run
// regressed, the six output names (MHW, SDMHW, ... SDMLW) and the options.
MappingSettings mappingSettings(const AppState& state, const PerSlot<std::string>& outputNames,
                                const MappingChoices& choices);

}  // namespace tolvar
