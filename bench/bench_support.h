// What the benchmarks share: a session started in a directory with its point
// file read and accepted as "Ready!" does, a canvas that draws nothing, and
// the peak memory of the process.
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

class NullCanvas : public Canvas {
public:
    NullCanvas(int w, int h) : w_(w), h_(h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    void setPen(Rgb, int) override {}
    void setBrush(Rgb) override {}
    void setFont(const FontStyle&) override {}
    void fillRect(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void line(int, int, int, int) override {}
    void setPixel(int, int, Rgb) override {}
    void text(int, int, std::string_view) override {}
    int textWidth(std::string_view t) override { return 6 * static_cast<int>(t.size()); }
    int textHeight(std::string_view) override { return 13; }
    void saveBmp(const std::filesystem::path&) override {}

private:
    int w_, h_;
};

inline double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace tolvar::bench
