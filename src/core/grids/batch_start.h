#pragma once

#include "common/work_dir.h"
#include "grids/registry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr const char* kBatchStartFileName = "wendbat.txt";

// The content of a batch start file: the strata grid, then every auxiliary
// variable's grid with its group.
struct BatchStart {
    struct Variable {
        std::string path;
        int group = 1;
    };
    std::string strataGrid;
    int groupCount = 1;
    std::vector<Variable> variables;
};

// Reads a batch start file. Counts and groups outside the registry's limits
// refuse the whole file with IoError naming the line.
BatchStart readBatchStart(const std::filesystem::path& file);
// The file's lines (each to be ended by CR LF).
std::vector<std::string> batchStartLines(const BatchStart& start);

// kikstart: fills the registry from a batch start file (found without regard
// to letter case). A file outside the registry's limits is refused whole with
// IoError naming the line; the registry is then left as it was.
void kikstart(const std::filesystem::path& file, Registry& registry);

}  // namespace tolvar
