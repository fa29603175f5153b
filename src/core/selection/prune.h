#pragma once

#include "common/mxw.h"
#include "app/session_log.h"
#include "common/feedback.h"
#include "common/work_dir.h"

#include <array>
#include <string>
#include <vector>

namespace tolvar {

// "Reject the best result": deletes the result file shown as best, its
// pictures and data file, and logs it. With no best model shown it deletes
// nothing and returns false.
bool rejectBest(const WorkDir& dir, const std::string& bestName, SessionLog& log);

// DeleteNonBest: keeps only the best result file of every stratum and checked MxW.
void DeleteNonBest(const WorkDir& dir, int groupCount, const std::vector<std::string>& strata,
                   const PerMxw<bool>& mxwChecked, Feedback& feedback);

// The text of a file name before its first ".".
std::string baseName(const std::string& fileName);

}  // namespace tolvar
