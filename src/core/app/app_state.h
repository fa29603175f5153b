#pragma once

#include "common/mxw.h"
#include "app/session_log.h"
#include "common/feedback.h"
#include "common/work_dir.h"
#include "grids/grid_checks.h"
#include "grids/grid_library.h"
#include "grids/registry.h"
#include "grids/sampling.h"
#include "selection/model_table.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tolvar {

struct BestOutcome;

// What the windows share: one per program run (the GUI owns one, the batch
// owns one, a test builds one in a temporary directory).
class AppState {
public:
    AppState(WorkDir dir, Feedback& feedback) : workDir(std::move(dir)), feedback(&feedback) {}

    WorkDir workDir;
    Feedback* feedback;
    SessionLog log;

    int SessionNumber = 1;
    Mijlpaal milestone = Mijlpaal::na_start;

    Registry registry;
    // The grid-access library, bound at the first need of a program run.
    GridLibraryBinding gridLibrary;
    GridPropsTable GridProps{};
    GroupMembershipTable GroupMembership{};
    // SampleTable, the shifted PointColumns, StrataCodes, FirstSampledColumn
    // and the observed MxW ranges.
    SamplingState sampling;
    // The model structures of the last regression run.
    std::vector<std::string> structures;
    ModelTables modelTables;

    // The MxW check boxes of the first tab, and the weighting choice.
    PerMxw<bool> mxwChecked{};
    bool weighted = false;

    // The closure dialog's choice; it persists between archive operations.
    ArchiveChoice archiveChoice = ArchiveChoice::AllFiles;
    // The point-data file chosen last in the editor's open dialog.
    std::string pointDataSourceFile;

    // The result display: whether the banner of this run was written.
    bool resultBannerWritten = false;
    // Told of every pair "Show the best result" shows, also the pairs of the
    // mapping run, so a window can show the pair with its selectors and ticks.
    std::function<void(const BestOutcome&)> bestShown;

    void ADDLOG(std::string_view txt) { log.add(txt); }
    Feedback& fb() { return *feedback; }

    // status: the milestone shown (and, with store, kept as the current one).
    void setMilestone(Mijlpaal m, bool store = true);
};

}  // namespace tolvar
