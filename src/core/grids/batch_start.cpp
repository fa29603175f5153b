#include "grids/batch_start.h"

#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <fstream>
#include <vector>

namespace tolvar {


void kikstart(const std::filesystem::path& file, Registry& registry)
{
    std::ifstream in = openForReading(file);
    const std::vector<std::string> lines = readAllLines(in);
    const std::string name = file.string();
    auto numberAt = [&](std::size_t index, long long lo, long long hi, const char* what) {
        if (index >= lines.size())
            throw IoError(name, "the file ends before line " + std::to_string(index + 1) + " (" +
                                    what + ")");
        const auto value = leadingInteger(lines[index]);
        if (!value)
            throw IoError(name, "line " + std::to_string(index + 1) + " (" + what +
                                    ") is not a whole number");
        if (*value < lo || *value > hi)
            throw IoError(name, "line " + std::to_string(index + 1) + " (" + what + ") must lie between " +
                                    std::to_string(lo) + " and " + std::to_string(hi));
        return static_cast<int>(*value);
    };

    // Everything is checked before anything is loaded.
    const int n = numberAt(0, 1, kMaxAuxVars, "number of auxiliary variables");
    const int groups = numberAt(1, 1, n, "number of groups");
    if (lines.size() < static_cast<std::size_t>(3 + 2 * n))
        throw IoError(name, "the file holds fewer than the " + std::to_string(3 + 2 * n) +
                                " lines its counts ask for");
    std::vector<int> groupOfSlot(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i)
        groupOfSlot[static_cast<std::size_t>(i)] =
            numberAt(static_cast<std::size_t>(2 + 2 * i), 1, groups, "group of a variable");

    registry.AuxVarCount = n;
    registry.lastChange = LastChange::None;  // the labels show the paths set here
    for (int k = 2; k <= groups; ++k) {
        registry.GroupCount = k;
        registry.vernieuwstructuur();
    }
    registry.GroupCount = groups;
    for (int i = 0; i <= n; ++i) {
        const std::string& path = lines[static_cast<std::size_t>(i == 0 ? 2 : 1 + 2 * i)];
        if (i >= 1)
            registry.selectGroup(i, groupOfSlot[static_cast<std::size_t>(i)]);
        registry.attachBatchGrid(i, path);
    }
    registry.vernieuwstructuur();
}

}  // namespace tolvar
