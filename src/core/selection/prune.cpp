#include "selection/prune.h"

#include "pointdata/point_columns.h"
#include "selection/select_best.h"

namespace tolvar {

namespace {
const Stage kStrataBestModel{"strata best model"};
}

std::string baseName(const std::string& fileName)
{
    return fileName.substr(0, fileName.find('.'));
}

bool rejectBest(const WorkDir& dir, const std::string& bestName, SessionLog& log)
{
    if (bestName.empty())
        return false;
    dir.removeFile(bestName);
    log.add(bestName + " best regression rejected by user.");
    const std::string base = baseName(bestName);
    dir.removeFile(base + ".wmf");
    dir.removeFile(base + ".dat");
    // The best-mode picture of the pair: stratum + "-" + MxW + ".wmf". The MxW
    // part is found whole, so a stratum such as -3 keeps its own "-".
    for (Mxw m : kAllMxw) {
        const auto pos = bestName.find("-" + std::string(mxwName(m)) + "-", 1);
        if (pos != std::string::npos) {
            dir.removeFile(bestName.substr(0, pos + 4) + ".wmf");
            break;
        }
    }
    return true;
}

void DeleteNonBest(const WorkDir& dir, int groupCount, const std::vector<std::string>& strata,
                   const PerMxw<bool>& mxwChecked, Feedback& feedback)
{
    feedback.busy(true);
    const int count = static_cast<int>(strata.size());
    for (int i = 0; i < count; ++i) {
        const std::string stratum = toskim2(strata[static_cast<std::size_t>(i)]);
        for (Mxw m : kAllMxw) {
            if (!mxwChecked[m])
                continue;
            const std::string gxg = mxwName(m);
            std::string best;
            double cp = 0.0;
            SelectBest(dir, groupCount, stratum, gxg, best, cp, feedback);
            feedback.busy(true);
            const std::string bestBase = baseName(best);
            for (const std::string& name : dir.list("*.out")) {
                if (!belongsToPair(name, stratum, gxg))
                    continue;
                const std::string base = baseName(name);
                if (base == bestBase)
                    continue;
                dir.removeFile(base + ".dat");
                dir.removeFile(base + ".out");
                dir.removeFile(base + ".wmf");
            }
        }
        feedback.progress(i + 1, count, kStrataBestModel);
    }
    feedback.busy(false);
}

}  // namespace tolvar
