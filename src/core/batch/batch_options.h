#pragma once

#include "common/feedback.h"
#include "pointdata/point_columns.h"

#include <array>
#include <optional>
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
    std::optional<PerMxw<bool>> mxw;
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

// The command line as a request: every option is a row of one table.
BatchRequest parseBatchArguments(const std::vector<std::string>& args);
std::string batchUsage();
std::string batchVersion();

}  // namespace tolvar
