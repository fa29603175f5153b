#include "batch/batch_options.h"

#include "common/work_dir.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace tolvar {

namespace {


int indexOf(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (toUpperAscii(name) == names[i])
            return i;
    return -1;
}

}  // namespace

std::string batchUsage()
{
    return "Usage: tolvar-batch [options] POINTFILE\n"
           "\n"
           "Runs one Tolvar session in the current directory, as the program's window\n"
           "would: start-up, import of POINTFILE, \"Ready!\", \"Start regression\",\n"
           "\"Settings OK; start mapping\" and the closure of the session.\n"
           "\n"
           "Point data:\n"
           "  --delimiter C        the field delimiter: a character, \"tab\" or \"space\"\n"
           "                       (default: the one the title row suggests)\n"
           "  --collapse           treat consecutive delimiters as one\n"
           "  --column ROLE=TITLE  the column of a role (MHW SDMHW MSW SDMSW MLW SDMLW\n"
           "                       STRATA X Y); repeatable; overrides the proposal\n"
           "  --missing CODE       replace this missing-data code by \"missing\"\n"
           "Regression:\n"
           "  --mxw LIST           comma-separated subset of MHW,MSW,MLW (default: every\n"
           "                       MxW that has a column)\n"
           "  --unweighted         unweighted regression (default: weighted when every\n"
           "                       chosen MxW has its sd column)\n"
           "  --grids FILE         batch start file with the grids and groups (default:\n"
           "                       wendbat.txt in the current directory)\n"
           "Mapping:\n"
           "  --output KEY=PATH    output map for KEY (MHW SDMHW MSW SDMSW MLW SDMLW)\n"
           "  --no-maps            no maps; only normalized residuals at the points\n"
           "  --no-order-check     do not correct MHW < MSW < MLW in the maps\n"
           "  --no-residuals       no normalized residuals\n"
           "Session:\n"
           "  --archive all|best|none  what to archive at closure (default: best with\n"
           "                       two or more strata, otherwise all)\n"
           "  --keep               leave the session's files in the directory\n"
           "  --quiet              no progress output\n"
           "  --help, --version\n"
           "\n"
           "Messages go to standard error. Exit status: 0 done, 1 the run stopped with a\n"
           "message (or a bad command line), 2 a file could not be read or written.\n";
}

std::string batchVersion()
{
    return std::string("tolvar-batch ") + kProgramVersion + "\n";
}

namespace {

// An option without a value sets its field.
struct FlagOption {
    const char* name;
    bool BatchRequest::*field;
};
constexpr FlagOption kFlagOptions[] = {
    {"--collapse", &BatchRequest::collapse},       {"--unweighted", &BatchRequest::unweighted},
    {"--no-maps", &BatchRequest::noMaps},          {"--no-order-check", &BatchRequest::noOrderCheck},
    {"--no-residuals", &BatchRequest::noResiduals}, {"--keep", &BatchRequest::keep},
    {"--quiet", &BatchRequest::quiet},
};

// An option with a value reads it into the request; the text of a bad value
// comes back, empty when it is good.
using ValueReader = std::string (*)(BatchRequest&, const std::string&);

std::string readDelimiter(BatchRequest& r, const std::string& v)
{
    if (v == "tab")
        r.delimiter = '\t';
    else if (v == "space")
        r.delimiter = ' ';
    else if (v.size() == 1)
        r.delimiter = v[0];
    else
        return "bad delimiter \"" + v + "\": give one character, tab or space";
    return {};
}

std::string readColumn(BatchRequest& r, const std::string& v)
{
    const auto eq = v.find('=');
    const int role = eq == std::string::npos ? -1 : indexOf(kPointRoleNames.data(), kPointRoleCount, v.substr(0, eq));
    if (role < 0)
        return "unknown role in --column " + v +
               ": use ROLE=TITLE with ROLE one of MHW SDMHW MSW SDMSW MLW SDMLW STRATA X Y";
    r.columns.emplace_back(role, v.substr(eq + 1));
    return {};
}

std::string readOutput(BatchRequest& r, const std::string& v)
{
    const auto eq = v.find('=');
    const int key = eq == std::string::npos ? -1 : parseSlot(v.substr(0, eq));
    if (key < 0)
        return "unknown key in --output " + v +
               ": use KEY=PATH with KEY one of MHW SDMHW MSW SDMSW MLW SDMLW";
    r.outputs.emplace_back(key, v.substr(eq + 1));
    return {};
}

std::string readMissing(BatchRequest& r, const std::string& v)
{
    r.missingCode = v;
    return {};
}

std::string readMxw(BatchRequest& r, const std::string& v)
{
    PerMxw<bool> mxw{};
    std::istringstream list(v);
    std::string item;
    while (std::getline(list, item, ',')) {
        const std::optional<Mxw> m = parseMxw(item);
        if (!m)
            return "unknown MxW \"" + item + "\" in --mxw: use MHW, MSW and MLW";
        mxw[*m] = true;
    }
    if (!mxw[Mxw::MHW] && !mxw[Mxw::MSW] && !mxw[Mxw::MLW])
        return "--mxw names no MxW";
    r.mxw = mxw;
    return {};
}

std::string readGrids(BatchRequest& r, const std::string& v)
{
    r.gridsFile = v;
    return {};
}

std::string readArchive(BatchRequest& r, const std::string& v)
{
    if (v == "all")
        r.archive = ArchiveChoice::AllFiles;
    else if (v == "best")
        r.archive = ArchiveChoice::OnlyBest;
    else if (v == "none")
        r.archive = ArchiveChoice::NoFile;
    else
        return "bad --archive \"" + v + "\": use all, best or none";
    return {};
}

struct ValueOption {
    const char* name;
    ValueReader read;
};
constexpr ValueOption kValueOptions[] = {
    {"--delimiter", readDelimiter}, {"--column", readColumn}, {"--missing", readMissing},
    {"--mxw", readMxw},             {"--grids", readGrids},   {"--output", readOutput},
    {"--archive", readArchive},
};

}  // namespace

BatchRequest parseBatchArguments(const std::vector<std::string>& args)
{
    BatchRequest r;
    r.kind = BatchRequest::Kind::Run;
    auto fail = [&](std::string text) {
        BatchRequest e;
        e.kind = BatchRequest::Kind::Error;
        e.error = std::move(text);
        return e;
    };
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            r.kind = BatchRequest::Kind::Help;
            return r;
        }
        if (arg == "--version") {
            r.kind = BatchRequest::Kind::Version;
            return r;
        }
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto flag = std::find_if(std::begin(kFlagOptions), std::end(kFlagOptions),
                                       [&](const FlagOption& o) { return arg == o.name; });
        if (flag != std::end(kFlagOptions)) {
            r.*(flag->field) = true;
            continue;
        }
        const auto option = std::find_if(std::begin(kValueOptions), std::end(kValueOptions),
                                         [&](const ValueOption& o) { return arg == o.name; });
        if (option != std::end(kValueOptions)) {
            if (i + 1 >= args.size())
                return fail("option " + arg + " needs a value");
            if (const std::string bad = option->read(r, args[++i]); !bad.empty())
                return fail(bad);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else if (!r.pointFile.empty()) {
            return fail("more than one point file given");
        } else {
            r.pointFile = arg;
        }
    }
    if (r.pointFile.empty())
        return fail("no point file given");
    return r;
}

}  // namespace tolvar
