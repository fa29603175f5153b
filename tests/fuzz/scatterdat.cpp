// scatterdat.txt, read back for the scatterplot matrix.
#include "fuzz_support.h"

#include "common/canvas.h"
#include "common/feedback.h"
#include "presentation/scatter_matrix.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto dir = fuzz::freshWorkDir();
    const auto file = fuzz::writeInput(dir, "scatterdat.txt", fuzz::asText(data, size));
    SilentFeedback feedback;
    fuzz::expectOnlyIoError([&] {
        const ScatterData scatter = readScatterData(file);
        NullCanvas canvas(800, 800);
        (void)drawMultiScatter(scatter, canvas, feedback);
    });
    return 0;
}
