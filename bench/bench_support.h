// What the benchmarks share: a session started in a directory with its point
// file read and accepted as "Ready!" does, and the peak memory of the process.
#pragma once

#include "app/app_state.h"
#include "app/session.h"
#include "common/canvas.h"
#include "grids/batch_start.h"
#include "pointdata/point_editor.h"
#include "regression/regression_run.h"

#include <filesystem>
#include <sys/resource.h>

namespace tolvar::bench {

// Start-up, the grids of wendbat.txt, the point file read with `delimiter`
// and accepted; the regression settings the editor's choices give.
inline RegressionSettings prepareSession(AppState& state, const std::filesystem::path& work,
                                         const std::string& pointFile, char delimiter,
                                         PerMxw<bool> mxw, Feedback& feedback)
{
    startUp(state);
    kikstart(work / "wendbat.txt", state.registry);
    PointEditor editor;
    editor.open();
    editor.sourceFile = (work / pointFile).string();
    editor.read(work / pointFile, delimiter, false);
    editor.applyMissingCode();
    editor.ready(state.workDir, feedback);
    RegressionSettings settings;
    settings.mxwChecked = mxw;
    settings.weighted = true;
    settings.usedFile = editor.sourceFile;
    settings.roleTexts = editor.roleTexts;
    return settings;
}

using tolvar::NullCanvas;

inline double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace tolvar::bench
