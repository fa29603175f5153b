#pragma once

#include "common/canvas.h"
#include "common/feedback.h"
#include "common/work_dir.h"

#include <string>
#include <vector>

namespace tolvar {

inline constexpr int kMultiScatWidth = 525;
inline constexpr int kMultiScatHeight = 535;
inline constexpr int kMaxScatterVariables = 20;

// scatterdat.txt as read for the scatterplot matrix.
struct ScatterData {
    int n = 0;
    std::vector<std::string> names;
    std::vector<std::vector<double>> lines;  // n numbers per data line, -999 missing
};

ScatterData readScatterData(const std::filesystem::path& path);

// Draws the triangular matrix of scatterplots. Returns false (after its
// message) when there are more variables than one screen holds; draws nothing
// for n = 0.
bool drawMultiScatter(const ScatterData& data, Canvas& canvas, Feedback& feedback);

// Reads scatterdat.txt of the working directory and draws it.
bool showMultiScatter(const WorkDir& dir, Canvas& canvas, Feedback& feedback);

inline constexpr const char* kMultiScatFile = "MultiScat.wmf";

// Saves the matrix as drawn to MultiScat.wmf in the working directory, where
// the session archive takes it along.
void saveMultiScatter(const WorkDir& dir, Canvas& canvas);

}  // namespace tolvar
