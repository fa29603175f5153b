#include "app/batch_cli.h"

#include "app/app_state.h"
#include "app/session.h"
#include "common/io_error.h"
#include "common/number_format.h"
#include "grids/batch_start.h"
#include "mapping/prediction_run.h"
#include "pointdata/point_editor.h"
#include "regression/regression_run.h"

#include <cmath>
#include <iomanip>
#include <sstream>

namespace fs = std::filesystem;

namespace tolvar {

namespace {

constexpr const char* kRoleNames[kPointRoleCount] = {"MHW",   "SDMHW",  "MSW", "SDMSW", "MLW",
                                                     "SDMLW", "STRATA", "X",   "Y"};
constexpr const char* kOutputKeys[6] = {"MHW", "SDMHW", "MSW", "SDMSW", "MLW", "SDMLW"};

int indexOf(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (toUpperAscii(name) == names[i])
            return i;
    return -1;
}

// Says what the GUI would show: messages on stderr, progress as a bar on a
// terminal and as occasional plain lines otherwise.
class BatchFeedback : public Feedback {
public:
    BatchFeedback(std::ostream& err, bool terminal, bool quiet,
                  std::optional<ArchiveChoice> archive)
        : err_(err), terminal_(terminal), quiet_(quiet), archive_(archive)
    {
    }
    ~BatchFeedback() override { endBar(); }

    void message(const std::string& text) override
    {
        endBar();
        std::string plain;
        for (char c : text)
            if (c != '\r')
                plain += c;
        err_ << plain << "\n";
        ++messages;
    }
    void statusText(const std::string&) override {}
    void progress(double actueel, double maxi, const std::string& txt) override
    {
        if (quiet_ || txt == "Idle" || txt == "idle" || txt == "Initializing")
            return;
        const int percent = progressPercent(actueel, maxi);
        // The window's run label reads "% mapping" beside its gauge; here the
        // number stands in front of the text.
        const std::string label = txt.rfind("% ", 0) == 0 ? txt.substr(2) : txt;
        if (terminal_) {
            if (percent == lastPercent_ && txt == lastText_)
                return;
            const int filled = percent / 4;
            err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                 << std::string(static_cast<std::size_t>(25 - filled), ' ') << "] " << std::setw(3)
                 << percent << "% " << label << "\x1b[K" << std::flush;
            barOpen_ = true;
        } else {
            // Plain lines: at the start, every tenth and the end of a stage.
            if (txt == lastText_ && percent / 10 == lastPercent_ / 10 && percent != 100)
                return;
            if (txt == lastText_ && percent == lastPercent_)
                return;
            err_ << std::setw(3) << percent << "% " << label << "\n";
        }
        lastPercent_ = percent;
        lastText_ = txt;
    }
    void milestone(Mijlpaal) override {}
    void busy(bool) override {}
    ArchiveChoice askArchiveChoice(const std::string&, ArchiveChoice preset) override
    {
        return archive_.value_or(preset);
    }

    int messages = 0;

private:
    void endBar()
    {
        if (barOpen_) {
            err_ << "\n";
            barOpen_ = false;
        }
        lastPercent_ = -1;
        lastText_.clear();
    }

    std::ostream& err_;
    bool terminal_;
    bool quiet_;
    std::optional<ArchiveChoice> archive_;
    int lastPercent_ = -1;
    std::string lastText_;
    bool barOpen_ = false;
};

struct BatchFailure {
    std::string text;
};

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
        auto value = [&](const char* option) -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            (void)option;
            return args[++i];
        };
        if (arg == "--collapse") {
            r.collapse = true;
        } else if (arg == "--unweighted") {
            r.unweighted = true;
        } else if (arg == "--no-maps") {
            r.noMaps = true;
        } else if (arg == "--no-order-check") {
            r.noOrderCheck = true;
        } else if (arg == "--no-residuals") {
            r.noResiduals = true;
        } else if (arg == "--keep") {
            r.keep = true;
        } else if (arg == "--quiet") {
            r.quiet = true;
        } else if (arg == "--delimiter" || arg == "--column" || arg == "--missing" ||
                   arg == "--mxw" || arg == "--grids" || arg == "--output" || arg == "--archive") {
            const auto v = value(arg.c_str());
            if (!v)
                return fail("option " + arg + " needs a value");
            if (arg == "--delimiter") {
                if (*v == "tab")
                    r.delimiter = '\t';
                else if (*v == "space")
                    r.delimiter = ' ';
                else if (v->size() == 1)
                    r.delimiter = (*v)[0];
                else
                    return fail("bad delimiter \"" + *v + "\": give one character, tab or space");
            } else if (arg == "--column" || arg == "--output") {
                const auto eq = v->find('=');
                const bool column = arg == "--column";
                const int role = eq == std::string::npos
                                     ? -1
                                     : (column ? indexOf(kRoleNames, kPointRoleCount, v->substr(0, eq))
                                               : indexOf(kOutputKeys, 6, v->substr(0, eq)));
                if (role < 0)
                    return fail(column ? "unknown role in --column " + *v +
                                             ": use ROLE=TITLE with ROLE one of MHW SDMHW MSW "
                                             "SDMSW MLW SDMLW STRATA X Y"
                                       : "unknown key in --output " + *v +
                                             ": use KEY=PATH with KEY one of MHW SDMHW MSW SDMSW "
                                             "MLW SDMLW");
                (column ? r.columns : r.outputs).emplace_back(role, v->substr(eq + 1));
            } else if (arg == "--missing") {
                r.missingCode = *v;
            } else if (arg == "--mxw") {
                std::array<bool, 3> mxw{};
                std::istringstream list(*v);
                std::string item;
                while (std::getline(list, item, ',')) {
                    const int m = indexOf(kMxwNames.data(), 3, item);
                    if (m < 0)
                        return fail("unknown MxW \"" + item + "\" in --mxw: use MHW, MSW and MLW");
                    mxw[static_cast<std::size_t>(m)] = true;
                }
                if (!mxw[0] && !mxw[1] && !mxw[2])
                    return fail("--mxw names no MxW");
                r.mxw = mxw;
            } else if (arg == "--grids") {
                r.gridsFile = *v;
            } else if (arg == "--archive") {
                if (*v == "all")
                    r.archive = ArchiveChoice::AllFiles;
                else if (*v == "best")
                    r.archive = ArchiveChoice::OnlyBest;
                else if (*v == "none")
                    r.archive = ArchiveChoice::NoFile;
                else
                    return fail("bad --archive \"" + *v + "\": use all, best or none");
            }
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

namespace {

// The column whose title is `title`, or -1 (also for an empty title).
int columnTitled(const PointDataSet& data, const std::string& title)
{
    if (title.empty())
        return -1;
    for (int c = 0; c < data.ColCount(); ++c)
        if (data.cell(c, 0) == title)
            return c;
    return -1;
}

fs::path absoluteIn(const fs::path& workDir, const std::string& name)
{
    const fs::path p(name);
    return p.is_absolute() ? p : workDir / p;
}

// Everything that can be checked before the working directory is touched:
// the point file read into the editor with its column roles.
void prepareImport(const BatchRequest& request, const fs::path& workDir, PointEditor& editor,
                   std::array<bool, 3>& mxw, bool& needsLibrary)
{
    const fs::path pointFile = absoluteIn(workDir, request.pointFile);
    std::error_code ec;
    if (!fs::is_regular_file(pointFile, ec))
        throw BatchFailure{"the point file " + pointFile.string() + " does not exist"};
    const std::string gridsFile =
        request.gridsFile.empty() ? std::string() : absoluteIn(workDir, request.gridsFile).string();
    if (!gridsFile.empty() && !fs::is_regular_file(gridsFile, ec))
        throw BatchFailure{"the grids file " + gridsFile + " does not exist"};
    if (gridsFile.empty() && !WorkDir(workDir).fileExists(kBatchStartFileName))
        throw BatchFailure{"no grids: give --grids FILE or put wendbat.txt in the working directory"};
    // A grids file that would be refused at start-up stops the run here, before
    // the working directory is touched.
    try {
        Registry probe;
        probe.startUp();
        kikstart(gridsFile.empty() ? WorkDir(workDir).resolve(kBatchStartFileName) : fs::path(gridsFile), probe);
        needsLibrary = probe.anyLibraryGrid();
    } catch (const IoError& e) {
        throw BatchFailure{e.what()};
    }

    editor.open();
    editor.sourceFile = pointFile.string();
    const char delimiter = request.delimiter.value_or(bepaalsepFile(pointFile).preselectedDelimiter());
    editor.read(pointFile, delimiter, request.collapse);
    for (const auto& [role, title] : request.columns) {
        if (columnTitled(editor.data, title) < 0 && !title.empty())
            throw BatchFailure{"the point file has no column titled \"" + title + "\" (--column " +
                               kRoleNames[role] + "=" + title + ")"};
        editor.roleTexts[static_cast<std::size_t>(role)] = title;
    }
    if (request.missingCode) {
        editor.state.missingCode = *request.missingCode;
        editor.applyMissingCode();
    }
    // The MxW that have a column; --mxw must not ask for others.
    for (int m = 0; m < 3; ++m) {
        const std::string& text = editor.roleTexts[static_cast<std::size_t>(mxwRole(m))];
        const bool has = columnTitled(editor.data, text) >= 0;
        const bool wanted = request.mxw ? (*request.mxw)[static_cast<std::size_t>(m)] : has;
        if (wanted && !has)
            throw BatchFailure{std::string("the point file has no ") + kMxwNames[static_cast<std::size_t>(m)] +
                               " column: name it with --column " + kMxwNames[static_cast<std::size_t>(m)] +
                               "=TITLE or leave it out of --mxw"};
        mxw[static_cast<std::size_t>(m)] = wanted;
    }
    if (!mxw[0] && !mxw[1] && !mxw[2])
        throw BatchFailure{"the point file has no MHW, MSW or MLW column: name one with --column"};

    // Without a record that has numeric coordinates every map would be empty:
    // most often a wrong delimiter, which the editor's table would have shown.
    const int xColumn = columnTitled(editor.data, editor.roleTexts[kX]);
    const int yColumn = columnTitled(editor.data, editor.roleTexts[kY]);
    if (xColumn < 0 || yColumn < 0)
        throw BatchFailure{std::string("the point file has no ") + (xColumn < 0 ? "X" : "Y") +
                           " column: name it with --column " + (xColumn < 0 ? "X" : "Y") + "=TITLE"};
    bool located = false;
    for (int r = 1; r < editor.data.RowCount() && !located; ++r)
        located = parseReal(editor.data.cell(xColumn, r)) && parseReal(editor.data.cell(yColumn, r));
    if (!located)
        throw BatchFailure{"no record of the point file has numeric X and Y values (columns \"" +
                           editor.data.cell(xColumn, 0) + "\" and \"" + editor.data.cell(yColumn, 0) +
                           "\"): check the delimiter (--delimiter) and the column roles (--column)"};
}

int runSession(const BatchRequest& request, const fs::path& workDir, BatchFeedback& fb,
               const CanvasFactory& canvases, std::ostream& out)
{
    PointEditor editor;
    std::array<bool, 3> mxw{};
    bool needsLibrary = false;
    prepareImport(request, workDir, editor, mxw, needsLibrary);

    AppState state(WorkDir(workDir), fb);
    // Without dialogs a library that does not bind ends the run, before the
    // working directory is touched; its message has been shown.
    state.gridLibrary.offerManualAttach = false;
    if (needsLibrary && (!state.gridLibrary.need(state.workDir, fb) || !state.gridLibrary.usable()))
        return 1;
    startUp(state);
    if (!request.gridsFile.empty())
        kikstart(absoluteIn(workDir, request.gridsFile), state.registry);

    // "Ready!" and what the main window takes over from it.
    const PointColumns columns = editor.ready(state.workDir, fb);
    state.pointDataSourceFile = editor.sourceFile;
    const std::array<int, 3> sdColumns{columns[kSDMHW], columns[kSDMSW], columns[kSDMLW]};
    RegressionSettings settings;
    settings.mxwChecked = mxw;
    settings.weighted = !request.unweighted && ReCheck(mxw, sdColumns);
    settings.usedFile = editor.sourceFile;
    settings.edits = editor.state;
    settings.roleTexts = editor.roleTexts;

    int status = 0;
    const RegressionOutcome regression = runRegression(state, settings);
    if (!regression.completed) {
        status = 1;
    } else {
        MappingSettings mapping;
        mapping.mapped = mxw;
        for (int i = 0; i < 6; ++i)
            mapping.outputNames[static_cast<std::size_t>(i)] =
                regression.outputNames[static_cast<std::size_t>(i)].text;
        for (const auto& [key, path] : request.outputs)
            mapping.outputNames[static_cast<std::size_t>(key)] = absoluteIn(workDir, path).string();
        mapping.orderCheck = regression.orderCheckOffered && !request.noOrderCheck;
        mapping.residuals = !request.noResiduals;
        mapping.noMaps = request.noMaps;
        const auto fit = canvases(350, 250);
        const auto status350 = canvases(350, 350);
        const MappingOutcome mapped = runPrediction(state, mapping, *fit, *status350);
        if (!mapped.completed) {
            status = 1;
        } else if (!request.quiet) {
            if (!mapping.noMaps)
                for (int m = 0; m < 3; ++m)
                    if (mxw[static_cast<std::size_t>(m)])
                        out << "maps: " << mapping.outputNames[static_cast<std::size_t>(2 * m)] << " "
                            << mapping.outputNames[static_cast<std::size_t>(2 * m + 1)] << "\n";
            if (!mapped.residualFile.empty())
                out << "residuals: " << (workDir / mapped.residualFile).string() << "\n";
        }
    }
    if (!request.quiet)
        out << "log: " << (workDir / state.log.fileName()).string() << "\n";
    if (request.keep) {
        state.log.close();
    } else {
        const int session = state.SessionNumber;
        closeProgram(state);
        if (!request.quiet)
            out << "archive: " << (workDir / ("session" + std::to_string(session))).string() << "\n";
    }
    return status;
}

}  // namespace

int runBatch(const BatchRequest& request, const fs::path& workDir, std::ostream& out,
             std::ostream& err, bool terminal, const CanvasFactory& canvases)
{
    switch (request.kind) {
    case BatchRequest::Kind::Help:
        out << batchUsage();
        return 0;
    case BatchRequest::Kind::Version:
        out << batchVersion();
        return 0;
    case BatchRequest::Kind::Error:
        err << "tolvar-batch: " << request.error << "\n(tolvar-batch --help shows the options)\n";
        return 1;
    case BatchRequest::Kind::Run:
        break;
    }
    BatchFeedback fb(err, terminal, request.quiet, request.archive);
    try {
        return runSession(request, workDir, fb, canvases, out);
    } catch (const BatchFailure& f) {
        err << "tolvar-batch: " << f.text << "\n";
        return 1;
    } catch (const IoError& e) {
        err << "tolvar-batch: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        // A failure of the file system or the memory that no step foresaw.
        err << "tolvar-batch: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace tolvar
