#include "app/session.h"

#include "common/io_error.h"
#include "common/mxw.h"
#include "grids/batch_start.h"
#include "selection/prune.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
const Stage kInitializing = Stage::titled("Initializing", false);
constexpr const char* kDeterminingSession = "Session number determination...";
constexpr const char* kOldFilesFound = "Please wait; old files found; storing ...";
constexpr const char* kDeletingModels = "deleting regression models ";
constexpr const char* kArchivedPatterns[] = {"*.dat", "*.OUT", "*.wmf", "*.log", "session*.csv"};
constexpr const char* kScratchFiles[] = {"data.csv",   "hulpvargroups.txt", "selectie.txt",
                                         "subsel.txt", "XY.txt",            "scatterdat.txt"};

std::string sessionName(int n)
{
    return "session" + std::to_string(n);
}

bool sessionTaken(const WorkDir& dir, int n)
{
    return dir.fileExists(sessionName(n) + ".zip") || dir.dirExists(sessionName(n));
}

bool isPredictionGrid(const std::string& name)
{
    // An sd name holds its MxW name, so the three MxW names find every map.
    for (Mxw m : kAllMxw)
        if (name.find(mxwName(m)) != std::string::npos)
            return true;
    return false;
}
}  // namespace

void bepaalsessie(AppState& state)
{
    int n = state.SessionNumber;
    if (sessionTaken(state.workDir, n))
        state.fb().statusText(kDeterminingSession);
    while (sessionTaken(state.workDir, n))
        ++n;
    state.SessionNumber = n;
    state.fb().statusText("New session = " + sessionName(n) + ".zip");
}

std::string archiveDirectoryName(const AppState& state)
{
    const std::string base = sessionName(state.SessionNumber);
    if (!state.workDir.dirExists(base) && !state.workDir.fileExists(base))
        return base;
    for (int k = 1;; ++k) {
        const std::string name = base + "-" + std::to_string(k);
        if (!state.workDir.dirExists(name) && !state.workDir.fileExists(name))
            return name;
    }
}

ArchiveOutcome zipit(AppState& state)
{
    const WorkDir& dir = state.workDir;
    ArchiveOutcome outcome;
    if (state.archiveChoice == ArchiveChoice::OnlyBest)
        DeleteNonBest(dir, state.registry.GroupCount, state.sampling.StrataCodes, state.mxwChecked,
                      state.fb());
    else if (state.archiveChoice == ArchiveChoice::NoFile)
        DeleteAllReg(state);

    const std::string archive = archiveDirectoryName(state);
    outcome.directory = archive;
    const bool made = dir.makeDir(archive);
    const fs::path target = dir.path() / archive;
    // Every file that did not reach the archive is named to the user; it stays
    // where it was.
    auto store = [&](bool stored, const std::string& name) {
        if (!stored)
            outcome.notStored.push_back(name);
    };

    if (!state.pointDataSourceFile.empty()) {
        const fs::path source(state.pointDataSourceFile);
        std::error_code ec;
        if (fs::is_regular_file(source, ec))
            store(made && dir.copyFile(source, target / source.filename()), source.string());
    }
    // The session's own files move into the archive (a rename where it can,
    // otherwise a copy, and the original goes only once the copy is made);
    // input grids and the running log are copied and stay.
    for (const std::string& name : dir.list("*.asc")) {
        if (isPredictionGrid(name))
            store(made && dir.moveFile(name, target / name), name);
        else
            store(made && dir.copyFile(name, target / name), name);
    }
    // The running log is copied as far as it has been written and stays.
    state.log.flush();
    const std::string runningLog = state.log.isOpen() ? state.log.fileName() : std::string();
    for (const char* pattern : kArchivedPatterns)
        for (const std::string& name : dir.list(pattern)) {
            if (name != runningLog)
                store(made && dir.moveFile(name, target / name), name);
            else
                store(made && dir.copyFile(name, target / name), name);
        }
    state.fb().busy(false);
    if (!outcome.complete()) {
        std::string text = made ? "Not every file could be stored in the archive directory " + archive
                                : "The archive directory " + archive + " could not be made";
        text += "; these files stay where they are:";
        for (const std::string& name : outcome.notStored)
            text += "\r\n  " + name;
        state.fb().message(text);
        state.ADDLOG(text);
    }
    state.fb().idle("idle");
    return outcome;
}

void DeleteAllReg(AppState& state)
{
    state.fb().busy(true);
    state.fb().statusText(kDeletingModels);
    for (const std::string& name : state.workDir.list("*.out")) {
        const std::string base = name.substr(0, name.find('.'));
        for (const char* ext : {".dat", ".out", ".wmf"})
            state.workDir.removeFile(base + ext);
    }
    state.fb().busy(false);
}

bool AfsluitInstructie(AppState& state, const std::string& caption)
{
    if (state.sampling.StrataCodes.size() < 2)
        state.archiveChoice = ArchiveChoice::AllFiles;
    else
        state.archiveChoice = state.fb().askArchiveChoice(caption, ArchiveChoice::OnlyBest);
    const bool complete = zipit(state).complete();
    state.SessionNumber += 1;
    bepaalsessie(state);
    return complete;
}

bool closeProgram(AppState& state)
{
    state.setMilestone(Mijlpaal::bij_einde, false);
    state.gridLibrary.release();
    const bool complete = AfsluitInstructie(state, "Closure instruction");
    for (const char* name : kScratchFiles)
        state.workDir.removeFile(name);
    state.log.close();
    return complete;
}

bool again(AppState& state)
{
    const int session = state.SessionNumber;
    if (!AfsluitInstructie(state, "Storing results previous session")) {
        state.SessionNumber = session;
        return false;
    }
    state.setMilestone(Mijlpaal::na_start);
    return true;
}

bool bindForRegistry(AppState& state)
{
    if (!state.registry.anyLibraryGrid())
        return true;
    return state.gridLibrary.need(state.workDir, state.fb());
}

void startUp(AppState& state)
{
    Feedback& fb = state.fb();
    for (MxwRange& range : state.sampling.ranges)
        range = MxwRange{};
    state.log.open(state.workDir.path());
    state.resultBannerWritten = false;
    state.SessionNumber = 1;
    bepaalsessie(state);
    if (state.workDir.anyMatch("*.out")) {
        fb.busy(true);
        fb.statusText(kOldFilesFound);
        state.SessionNumber = 0;
        state.archiveChoice = ArchiveChoice::AllFiles;
        zipit(state);
        state.SessionNumber = 1;
        bepaalsessie(state);
    }
    fb.busy(false);
    state.setMilestone(Mijlpaal::na_start);
    fb.progress(0, 100, kInitializing);
    state.registry.InitHulpVarRec();
    clearGroupMembership(state.GroupMembership);
    fb.progress(50, 100, kInitializing);
    InitGridProps(state.GridProps);
    fb.progress(100, 100, kInitializing);
    state.registry.startUp();
    if (state.workDir.fileExists(kBatchStartFileName)) {
        try {
            kikstart(state.workDir.resolve(kBatchStartFileName), state.registry);
            bindForRegistry(state);
        } catch (const IoError& e) {
            fb.message(e.what());
        }
    }
    fb.idle();
}

}  // namespace tolvar
