#pragma once

#include "app/app_state.h"
#include "grids/registry.h"

#include <string>

namespace tolvar {

// Where the grid dialog starts: the folder of the last grid chosen, or the
// folder of the file the batch start file left there; the working directory
// when there is none or it no longer exists.
std::string gridDialogStart(const AppState& state);

// The file type the grid dialog answered, by its place in the dialog's list;
// an unknown place reads any file.
GridFileChoice gridFileChoiceAt(int index);

// A grid chosen in the grid dialog for `slot` (0: the strata grid), attached
// as attachGridChoice does; a new strata grid forgets the strata of the last
// run. False when the slot is left as it was.
bool chooseGrid(AppState& state, int slot, const std::string& path, GridFileChoice fileType);

}  // namespace tolvar
