// A regression result file as the program reads it back: the figures of the
// selection, the model table of the mapping (with its standard deviation),
// and the result display.
#include "fuzz_support.h"

#include "app/app_state.h"
#include "common/canvas.h"
#include "common/feedback.h"
#include "common/text_file.h"
#include "mapping/prediction.h"
#include "presentation/result_display.h"
#include "selection/model_table.h"
#include "selection/select_best.h"

#include <sstream>

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(fuzz::asText(data, size));
    {
        std::istringstream in(text);
        (void)readResultFigures(readAllLines(in));
    }
    const auto dir = fuzz::freshWorkDir();
    const WorkDir work(dir);
    SilentFeedback feedback;
    // The name of a one-variable weighted model of stratum 1; the display
    // finds it by the same ticks.
    ResultChoice choice;
    choice.stratumText = "1";
    choice.mxw = "MHW";
    choice.weighted = true;
    choice.ticked[1][1] = true;
    const std::string name = resultFileNameOf(choice);
    const auto file = fuzz::writeInput(dir, name, text);

    fuzz::expectOnlyIoError([&] { (void)readResultFiguresFrom(file); });
    fuzz::expectOnlyIoError([&] {
        const Tmodel model = readModel(work, name, "1", "MHW");
        std::array<double, 17> z{};
        z.fill(1.0);
        (void)bepaalsd(model, z, -9999.0);
    });
    fuzz::expectOnlyIoError([&] {
        AppState state(work, feedback);
        NullCanvas canvas(kPlotWidth, kPlotHeight);
        (void)showResult(state, choice, canvas);
    });
    fuzz::expectOnlyIoError([&] { (void)chooseBest(work, 1, "1", "MHW", feedback); });
    return 0;
}
