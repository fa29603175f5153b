#include "app/batch_cli.h"

namespace tolvar {

std::string batchUsage()
{
    return "Usage: tolvar-batch [options] POINTFILE\n"
           "\n"
           "Runs one Tolvar session in the current directory: imports the point data,\n"
           "samples the grids, fits and selects the regression models and maps them.\n"
           "\n"
           "Options:\n"
           "  --help       show this text and exit\n"
           "  --version    show the version and exit\n";
}

std::string batchVersion()
{
    return std::string("tolvar-batch ") + kProgramVersion + "\n";
}

BatchRequest parseBatchArguments(const std::vector<std::string>& args)
{
    BatchRequest request;
    if (args.empty()) {
        request.kind = BatchRequest::Kind::Error;
        request.error = "no point file given";
        return request;
    }
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            request.kind = BatchRequest::Kind::Help;
            return request;
        }
        if (arg == "--version") {
            request.kind = BatchRequest::Kind::Version;
            return request;
        }
    }
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            request.kind = BatchRequest::Kind::Error;
            request.error = "unknown option " + arg;
            return request;
        }
        if (!request.pointFile.empty()) {
            request.kind = BatchRequest::Kind::Error;
            request.error = "more than one point file given";
            return request;
        }
        request.pointFile = arg;
    }
    request.kind = BatchRequest::Kind::Run;
    return request;
}

int runBatch(const BatchRequest& request, std::ostream& out, std::ostream& err)
{
    switch (request.kind) {
    case BatchRequest::Kind::Help:
        out << batchUsage();
        return 0;
    case BatchRequest::Kind::Version:
        out << batchVersion();
        return 0;
    case BatchRequest::Kind::Error:
        err << "tolvar-batch: " << request.error << "\n\n" << batchUsage();
        return 1;
    case BatchRequest::Kind::Run:
        break;
    }
    err << "tolvar-batch: this build cannot run a session yet\n";
    return 1;
}

}  // namespace tolvar
