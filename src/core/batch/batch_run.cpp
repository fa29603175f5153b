#include "batch/batch_run.h"
#include "common/index.h"

#include "app/app_state.h"
#include "app/run_settings.h"
#include "app/session.h"
#include "batch/batch_feedback.h"
#include "common/io_error.h"
#include "common/number_format.h"
#include "grids/batch_start.h"
#include "mapping/prediction_run.h"
#include "pointdata/point_editor.h"
#include "regression/regression_run.h"

namespace fs = std::filesystem;

namespace tolvar {

namespace {

struct BatchFailure {
    std::string text;
};

// The column whose title is `title`, or -1 (also for an empty title).
int columnTitled(const PointDataSet& data, const std::string& title)
{
    if (title.empty())
        return -1;
    for (int c = 0; c < data.colCount(); ++c)
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
                   PerMxw<bool>& mxw, bool& needsLibrary)
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
                               kPointRoleNames[at(role)] + "=" + title + ")"};
        editor.roleTexts[at(role)] = title;
    }
    if (request.missingCode) {
        editor.state.missingCode = *request.missingCode;
        editor.applyMissingCode();
    }
    // The MxW that have a column; --mxw must not ask for others.
    for (Mxw m : kAllMxw) {
        const std::string& text = editor.roleTexts[at(mxwRole(m))];
        const bool has = columnTitled(editor.data, text) >= 0;
        const bool wanted = request.mxw ? (*request.mxw)[m] : has;
        if (wanted && !has)
            throw BatchFailure{std::string("the point file has no ") + mxwName(m) +
                               " column: name it with --column " + mxwName(m) +
                               "=TITLE or leave it out of --mxw"};
        mxw[m] = wanted;
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
    for (int r = 1; r < editor.data.rowCount() && !located; ++r)
        located = parseReal(editor.data.cell(xColumn, r)) && parseReal(editor.data.cell(yColumn, r));
    if (!located)
        throw BatchFailure{"no record of the point file has numeric X and Y values (columns \"" +
                           editor.data.cell(xColumn, 0) + "\" and \"" + editor.data.cell(yColumn, 0) +
                           "\"): check the delimiter (--delimiter) and the column roles (--column)"};
}

// After a failed run: where its files are, and what becomes of them.
std::string leftoverNote(const fs::path& workDir)
{
    try {
        if (!WorkDir(workDir).anyMatch("*.out"))
            return {};
    } catch (const std::exception&) {
        return {};
    }
    return "tolvar-batch: the files of this run stay in " + workDir.string() +
           "; the next run there stores them in session0 first\n";
}

int runSession(const BatchRequest& request, const fs::path& workDir, BatchFeedback& fb,
               const CanvasFactory& canvases, std::ostream& out)
{
    PointEditor editor;
    PerMxw<bool> mxw{};
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
    acceptImport(state, editor.sourceFile, editor.ready(state.workDir, fb));
    const RegressionSettings settings =
        regressionSettings(mxw, !request.unweighted && weightingOffered(state, mxw), editor);

    int status = 0;
    const RegressionOutcome regression = runRegression(state, settings);
    if (!regression.completed) {
        status = 1;
    } else {
        PerSlot<std::string> names;
        for (int i = 0; i < kSlotCount; ++i)
            names[at(i)] = regression.outputNames[at(i)].text;
        for (const auto& [key, path] : request.outputs)
            names[at(key)] = absoluteIn(workDir, path).string();
        MappingChoices choices;
        choices.orderCheck = regression.orderCheckOffered && !request.noOrderCheck;
        choices.residuals = !request.noResiduals;
        choices.noMaps = request.noMaps;
        choices.sdInMxwUnits = request.sdInMxwUnits;
        choices.kriging.on = request.krige;
        choices.kriging.lagWidth = request.lagWidth;
        choices.kriging.cutoff = request.cutoff;
        choices.kriging.neighbours = request.neighbours.value_or(choices.kriging.neighbours);
        const MappingSettings mapping = mappingSettings(state, names, choices);
        const auto fit = canvases(350, 250);
        const auto status350 = canvases(350, 350);
        const MappingOutcome mapped = runPrediction(state, mapping, *fit, *status350);
        if (!mapped.completed) {
            status = 1;
        } else if (!request.quiet) {
            if (!mapping.noMaps)
                for (Mxw m : kAllMxw)
                    if (mxw[m])
                        out << "maps: " << mapping.outputNames[at(valueSlot(m))] << " "
                            << mapping.outputNames[at(sdSlot(m))] << "\n";
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
        // Files that could not be archived stay in the directory, named in a
        // message; the next start-up stores them.
        if (!closeProgram(state))
            status = 2;
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
        err << "tolvar-batch: " << e.what() << "\n" << leftoverNote(workDir);
        return 2;
    } catch (const std::exception& e) {
        // A failure of the file system or the memory that no step foresaw.
        err << "tolvar-batch: " << e.what() << "\n" << leftoverNote(workDir);
        return 2;
    }
}

}  // namespace tolvar
