#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr const char* kProgramVersion = TOLVAR_VERSION;

// What the command line of tolvar-batch asks for.
struct BatchRequest {
    enum class Kind { Help, Version, Run, Error };
    Kind kind = Kind::Help;
    std::string pointFile;
    std::string error;  // for Kind::Error
};

BatchRequest parseBatchArguments(const std::vector<std::string>& args);
std::string batchUsage();
std::string batchVersion();

// Runs what the request asks and returns the exit status.
int runBatch(const BatchRequest& request, std::ostream& out, std::ostream& err);

}  // namespace tolvar
