#include "grids/batch_start.h"

#include "common/index.h"
#include "common/io_error.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <fstream>
#include <vector>

namespace tolvar {

BatchStart readBatchStart(const std::filesystem::path& file)
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

    BatchStart start;
    const int n = numberAt(0, 1, kMaxAuxVars, "number of auxiliary variables");
    start.groupCount = numberAt(1, 1, n, "number of groups");
    if (lines.size() < at(3 + 2 * n))
        throw IoError(name, "the file holds fewer than the " + std::to_string(3 + 2 * n) +
                                " lines its counts ask for");
    start.strataGrid = lines[2];
    for (int i = 1; i <= n; ++i)
        start.variables.push_back({lines[at(1 + 2 * i)],
                                   numberAt(at(2 + 2 * i), 1, start.groupCount, "group of a variable")});
    return start;
}

std::vector<std::string> batchStartLines(const BatchStart& start)
{
    std::vector<std::string> lines{std::to_string(start.variables.size()),
                                   std::to_string(start.groupCount), start.strataGrid};
    for (const BatchStart::Variable& v : start.variables) {
        lines.push_back(v.path);
        lines.push_back(std::to_string(v.group));
    }
    return lines;
}

void kikstart(const std::filesystem::path& file, Registry& registry)
{
    // Everything is read and checked before anything is loaded.
    const BatchStart start = readBatchStart(file);
    const int n = static_cast<int>(start.variables.size());
    registry.AuxVarCount = n;
    registry.lastChange = LastChange::None;  // the labels show the paths set here
    for (int k = 2; k <= start.groupCount; ++k) {
        registry.GroupCount = k;
        registry.vernieuwstructuur();
    }
    registry.GroupCount = start.groupCount;
    registry.attachBatchGrid(0, start.strataGrid);
    for (int i = 1; i <= n; ++i) {
        const BatchStart::Variable& v = start.variables[at(i - 1)];
        registry.selectGroup(i, v.group);
        registry.attachBatchGrid(i, v.path);
    }
    registry.vernieuwstructuur();
}

}  // namespace tolvar
