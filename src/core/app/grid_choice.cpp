#include "app/grid_choice.h"

#include "grids/grid_library.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace tolvar {

std::string gridDialogStart(const AppState& state)
{
    const std::string& directory = state.registry.dialog.directory;
    const fs::path workDir = state.workDir.path();
    if (directory.empty())
        return workDir.string();
    const fs::path last = fs::path(directory).is_absolute() ? fs::path(directory) : workDir / directory;
    std::error_code ec;
    if (fs::is_directory(last, ec))
        return last.string();
    if (fs::is_regular_file(last, ec))
        return last.parent_path().string();
    return workDir.string();
}

GridFileChoice gridFileChoiceAt(int index)
{
    return index >= static_cast<int>(GridFileChoice::AsciiGrid) && index <= static_cast<int>(GridFileChoice::AllFiles)
               ? static_cast<GridFileChoice>(index)
               : GridFileChoice::AllFiles;
}

bool chooseGrid(AppState& state, int slot, const std::string& path, GridFileChoice fileType)
{
    if (!attachGridChoice(state.registry, slot, path, fileType, state.gridLibrary, state.workDir, state.fb()))
        return false;
    if (slot == 0)
        state.sampling.StrataCodes.clear();
    return true;
}

}  // namespace tolvar
