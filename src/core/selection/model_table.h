#pragma once

#include "common/mxw.h"
#include "common/feedback.h"
#include "common/work_dir.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tolvar {

inline constexpr int kMaxModelsPerTable = 500;

// One best model of one stratum and MxW, read from its result file. VarCov
// holds rows and columns 1..P, so 17 x 17 fits a model of 16 coefficients
// (one variable from each of 15 groups).
struct Tmodel {
    std::string FileName;
    std::string Stratum;
    std::array<int, 16> WelkeAhnplus{};  // [group 1..15]: variable, or -1
    std::array<double, 16> Coef{};       // b0..b15
    std::array<std::array<double, 17>, 17> VarCov{};
    double MSRes = 0.0;
    int P = 0;
    int N = 0;
    // False for the entry of a stratum that has no selected model.
    bool hasModel = true;
};

// add_structure without the table: reads one result file into a record.
Tmodel readModel(const WorkDir& dir, const std::string& bestName, const std::string& stratstr,
                 const std::string& gxg);

// The three tables of best models, one per MxW (0 MHW, 1 MSW, 2 MLW).
class ModelTables {
public:
    // add_structure: reads the result file and appends it to the table of gxg.
    void add_structure(const WorkDir& dir, const std::string& bestName, const std::string& stratstr,
                       const std::string& gxg, Feedback& feedback);
    // Records that a stratum has no model for an MxW, so every stratum keeps
    // one entry.
    void addNoModel(const std::string& stratstr, const std::string& gxg, Feedback& feedback);
    // The model of a stratum (the last match), or null when there is none.
    const Tmodel* lookup(Mxw mxw, const std::string& stratum) const;
    const std::vector<Tmodel>& table(Mxw mxw) const { return tables_[mxw]; }
    void clear();

private:
    void append(std::optional<Mxw> mxw, Tmodel model, Feedback& feedback);
    PerMxw<std::vector<Tmodel>> tables_;
};

}  // namespace tolvar
