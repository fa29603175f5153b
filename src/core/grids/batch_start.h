#pragma once

#include "common/work_dir.h"
#include "grids/registry.h"

#include <string>

namespace tolvar {

inline constexpr const char* kBatchStartFileName = "wendbat.txt";

// kikstart: fills the registry from a batch start file (found without regard
// to letter case). A file outside the registry's limits is refused whole with
// IoError naming the line; the registry is then left as it was.
void kikstart(const std::filesystem::path& file, Registry& registry);

}  // namespace tolvar
