// The point file as a user hands it over: delimiter proposal, field splitting,
// table filling, the role proposal, "Ready!" (temp.txt, temp.csv) and the
// sampling's reading of those two back.
#include "fuzz_support.h"

#include "common/feedback.h"
#include "common/work_dir.h"
#include "grids/sampling.h"
#include "pointdata/point_data_set.h"
#include "pointdata/point_editor.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto dir = fuzz::freshWorkDir();
    const auto file = fuzz::writeInput(dir, "points.csv", fuzz::asText(data, size));
    const WorkDir work(dir);
    SilentFeedback feedback;
    for (const bool collapse : {false, true}) {
        fuzz::expectOnlyIoError([&] {
            const DelimiterChoice choice = bepaalsepFile(file);
            for (const DelimiterCandidate& c : choice.candidates)
                (void)delimiterItemText(c.c);
            PointEditor editor;
            editor.open();
            editor.read(file, choice.preselectedDelimiter(), collapse);
            (void)readLabelText(file.string());
            editor.state.missingCode = "-9999";
            (void)editor.missingCodePending();
            editor.applyMissingCode();
            for (const Mxw m : kAllMxw)
                editor.squareRootSd(m, feedback);
            const PointColumns columns = editor.ready(work, feedback);
            (void)columns;
            TextTable table;
            PointColumns shifted;
            SORTXY(work, 155000.0, 463000.0, 25.0, table, shifted);
        });
    }
    return 0;
}
