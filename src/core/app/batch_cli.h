#pragma once

#include "common/canvas.h"
#include "common/feedback.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr const char* kProgramVersion = TOLVAR_VERSION;

// What the command line of tolvar-batch asks for.
struct BatchRequest {
    enum class Kind { Help, Version, Run, Error };
    Kind kind = Kind::Help;
    std::string error;  // for Kind::Error

    std::string pointFile;
    std::optional<char> delimiter;
    bool collapse = false;
    std::vector<std::pair<int, std::string>> columns;  // role, title
    std::optional<std::string> missingCode;
    std::optional<std::array<bool, 3>> mxw;
    bool unweighted = false;
    std::string gridsFile;
    std::vector<std::pair<int, std::string>> outputs;  // MHW, SDMHW, ... index, path
    bool noMaps = false;
    bool noOrderCheck = false;
    bool noResiduals = false;
    std::optional<ArchiveChoice> archive;
    bool keep = false;
    bool quiet = false;
};

BatchRequest parseBatchArguments(const std::vector<std::string>& args);
std::string batchUsage();
std::string batchVersion();

// Makes the drawing surfaces of the pictures (the batch draws on QImage).
using CanvasFactory = std::function<std::unique_ptr<Canvas>(int width, int height)>;

// Runs what the request asks in `workDir` and returns the exit status: 0 done,
// 1 a run the program ended with a message (or a bad command line), 2 an
// input/output error. `terminal` tells whether `err` is a terminal (for the
// progress bar).
int runBatch(const BatchRequest& request, const std::filesystem::path& workDir, std::ostream& out,
             std::ostream& err, bool terminal, const CanvasFactory& canvases);

}  // namespace tolvar
