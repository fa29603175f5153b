// A regression data file, read by the driver, fitted and written as a result
// file, weighted and unweighted.
#include "fuzz_support.h"

#include "regression/regression_files.h"

#include <sstream>

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(fuzz::asText(data, size));
    for (const bool weighted : {false, true}) {
        fuzz::expectOnlyIoError([&] {
            std::istringstream in(text);
            (void)readRegressionData(in, "1-MHW-g01h01-gew.dat", weighted);
        });
        const auto dir = fuzz::freshWorkDir();
        const std::string name = weighted ? "1-MHW-g01h01-gew.dat" : "1-MHW-g01h01-ong.dat";
        fuzz::writeInput(dir, name, text);
        fuzz::expectOnlyIoError([&] { (void)RunRegressionFile(dir, name, weighted); });
    }
    return 0;
}
