// The batch start file wendbat.txt, read into a registry as at start-up.
#include "fuzz_support.h"

#include "grids/batch_start.h"
#include "grids/registry.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto dir = fuzz::freshWorkDir();
    const auto file = fuzz::writeInput(dir, "wendbat.txt", fuzz::asText(data, size));
    fuzz::expectOnlyIoError([&] {
        Registry registry;
        registry.startUp();
        kikstart(file, registry);
        (void)registry.anyLibraryGrid();
    });
    return 0;
}
