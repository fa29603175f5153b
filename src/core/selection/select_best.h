#pragma once

#include "common/feedback.h"
#include "common/text_file.h"
#include "regression/regression_files.h"
#include "common/work_dir.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvar {

// The same from a result file, read only as far as those lines.
ResultFigures readResultFiguresFrom(const std::filesystem::path& path);

// The number of variables of a result file, from its name alone.
int variableCountOf(const std::string& fileName, const std::string& stratum);

// Does the result file belong to the stratum (without blanks) and MxW?
bool belongsToPair(const std::string& fileName, const std::string& stratum, const std::string& gxg);

// One model as selection sees it: its result file name and its figures.
struct SelectionModel {
    std::string name;
    ResultFigures f;
};

struct SelectionResult {
    std::vector<std::string> candidates;  // the lines of Selectie.txt, sorted
    std::vector<std::string> shortlist;   // the lines of subsel.txt
    std::vector<std::string> rejected;    // Cp too large: their files go
    bool found = false;
    std::string bestName;
    double bestCp = 0.0;
};

// The choice among the models of one stratum (without blanks) and MxW.
SelectionResult selectAmong(const std::vector<SelectionModel>& models, int groupCount,
                            const std::string& stratum);

// SelectBest: Mallows' Cp against the smallest residual variance of the
// largest structure present; deletes the result files whose Cp is too large,
// writes Selectie.txt and subsel.txt, and gives the best file name and its Cp.
// Returns false, leaving best_name and best_cp as passed, when no model qualifies.
bool SelectBest(const WorkDir& dir, int groupCount, const std::string& stratum,
                const std::string& gxg, std::string& best_name, double& best_cp,
                Feedback& feedback);
// The best model of one stratum and MxW as selection chose it.
struct BestModel {
    std::string fileName;
    double cp = 0.0;
};
// SelectBest as a value: nothing when no model qualifies.
std::optional<BestModel> chooseBest(const WorkDir& dir, int groupCount, const std::string& stratum,
                                    const std::string& gxg, Feedback& feedback);

// The same over the files of the pair plus `pending` models that are not on
// disk yet: those are judged as their files would be, and `writeSurvivor`
// writes the file of each one that survives.
bool SelectBest(const WorkDir& dir, int groupCount, const std::string& stratum,
                const std::string& gxg, std::string& best_name, double& best_cp,
                Feedback& feedback, const std::vector<SelectionModel>& pending,
                const std::function<void(const std::string&)>& writeSurvivor);

}  // namespace tolvar
