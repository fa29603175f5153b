#pragma once

#include "batch/batch_options.h"
#include "common/canvas.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

namespace tolvar {

// Makes the drawing surfaces of the pictures (the batch draws on QImage).
using CanvasFactory = std::function<std::unique_ptr<Canvas>(int width, int height)>;

// Runs what the request asks in `workDir` and returns the exit status: 0 done,
// 1 a run the program ended with a message (or a bad command line), 2 an
// input/output error. `terminal` tells whether `err` is a terminal (for the
// progress bar).
int runBatch(const BatchRequest& request, const std::filesystem::path& workDir, std::ostream& out,
             std::ostream& err, bool terminal, const CanvasFactory& canvases);

}  // namespace tolvar
