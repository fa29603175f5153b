// The command line of tolvar-batch: one argument per line of the input. A run
// request is only parsed (running it would touch the file system); help,
// version and refusals go through runBatch as a user sees them.
#include "fuzz_support.h"

#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "common/canvas.h"

#include <sstream>
#include <vector>

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    std::string arg;
    for (const char c : fuzz::asText(data, size)) {
        if (c == '\n') {
            args.push_back(arg);
            arg.clear();
        } else {
            arg += c;
        }
    }
    if (!arg.empty())
        args.push_back(arg);
    const BatchRequest request = parseBatchArguments(args);
    if (request.kind != BatchRequest::Kind::Run) {
        std::ostringstream out, err;
        const int status = runBatch(request, fuzz::scratchDir(), out, err, false,
                                    [](int w, int h) -> std::unique_ptr<Canvas> {
                                        return std::make_unique<NullCanvas>(w, h);
                                    });
        if (status != 0 && status != 1)
            __builtin_trap();
        if (request.kind == BatchRequest::Kind::Error && request.error.empty())
            __builtin_trap();  // a refusal always says why
    }
    return 0;
}
