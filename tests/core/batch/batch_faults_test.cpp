// Faults injected into a real batch run of the example: a full disk, a
// working directory that turns read-only, a grid truncated between the check
// and the mapping, an archive directory that cannot be made, and a kill in
// the middle of the regression run and of the mapping. The batch runs in a
// child process, so limits and kills stay there. Every fault must end with a
// message and exit status 2, change no input and no earlier archive, and leave
// what the next start-up stores in session0 without losing a byte.
#include "app/app_state.h"
#include "app/session.h"
#include "batch/batch_run.h"
#include "support/faults.h"
#include "support/recording_canvas.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvar {
namespace {

namespace fs = std::filesystem;

// The files directly in a directory with their contents.
using Snapshot = std::map<std::string, std::string>;

Snapshot snapshot(const fs::path& dir)
{
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = test::readFile(entry.path());
    return files;
}

// Which line of the batch's messages a fault is timed by.
using Trigger = std::function<bool(const std::string& line)>;

Trigger holding(std::string text)
{
    return [text](const std::string& line) { return line.find(text) != std::string::npos; };
}

// A progress line of at least `percent` whose text holds `label`.
Trigger progressAt(int percent, std::string label)
{
    return [percent, label](const std::string& line) {
        const auto sign = line.find('%');
        if (sign == std::string::npos || line.find(label, sign) == std::string::npos)
            return false;
        try {
            return std::stoi(line.substr(0, sign)) >= percent;
        } catch (const std::exception&) {
            return false;
        }
    };
}

// Passes the batch's messages line by line to a file (written at once, so a
// killed child loses none) and runs `action` once at the first line the
// trigger accepts.
class TriggerBuf : public std::streambuf {
public:
    TriggerBuf(int fd, Trigger trigger, std::function<void()> action)
        : fd_(fd), trigger_(std::move(trigger)), action_(std::move(action))
    {
    }

protected:
    int overflow(int c) override
    {
        if (c == EOF)
            return 0;
        line_ += static_cast<char>(c);
        if (c == '\n')
            endLine();
        return c;
    }
    int sync() override
    {
        endLine();
        return 0;
    }

private:
    void endLine()
    {
        if (line_.empty())
            return;
        [[maybe_unused]] const auto written = ::write(fd_, line_.data(), line_.size());
        const bool fire = !fired_ && trigger_ && trigger_(line_);
        line_.clear();
        if (fire) {
            fired_ = true;
            action_();
        }
    }

    int fd_;
    Trigger trigger_;
    std::function<void()> action_;
    std::string line_;
    bool fired_ = false;
};

struct ChildOutcome {
    bool exited = false;
    int status = -1;   // the exit status when exited
    int signal = 0;    // the signal that ended it otherwise
    std::string err;   // what the batch wrote to standard error
};

constexpr int kCannotInject = 99;

// Runs tolvar-batch with `args` in `dir`, in a child process: `prepare` first,
// `action` when a message line holds `trigger`.
ChildOutcome runBatchChild(const fs::path& dir, const std::vector<std::string>& args,
                           const std::function<void()>& prepare, const Trigger& trigger = {},
                           const std::function<void()>& action = {})
{
    test::TempDir side;
    const fs::path errPath = side / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (prepare)
            prepare();
        TriggerBuf buf(fd, trigger, action);
        std::ostream err(&buf);
        std::ostringstream out;
        const int status = runBatch(parseBatchArguments(args), dir, out, err, false,
                                    [](int w, int h) -> std::unique_ptr<Canvas> {
                                        return std::make_unique<test::RecordingCanvas>(w, h);
                                    });
        err.flush();
        ::close(fd);
        _exit(status);
    }
    ChildOutcome outcome;
    int raw = 0;
    waitpid(pid, &raw, 0);
    outcome.exited = WIFEXITED(raw);
    outcome.status = outcome.exited ? WEXITSTATUS(raw) : -1;
    outcome.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    outcome.err = test::readFile(errPath);
    return outcome;
}

// A file-size limit as a full disk shows it: writes past it fail with EFBIG.
// The child keeps it until it ends.
std::function<void()> diskFullAt(rlim_t bytes)
{
    return [bytes] {
        static std::optional<test::FileSizeLimit> limit;
        limit.emplace(bytes);
    };
}

// Root is bound by a read-only directory only without its file-permission
// override; the child gives it up before the run, so every thread it starts
// is bound too.
void dropFileOverride()
{
    if (geteuid() == 0)
        test::setFileOverrides(false);
}

// Makes the directory read-only; a child that still can write there cannot
// take part in the test and says so by its exit status.
std::function<void()> makeReadOnly(const fs::path& dir)
{
    return [dir] {
        static std::optional<test::ReadOnlyDirectory> readOnly;
        readOnly.emplace(dir);
        if (!readOnly->holds())
            _exit(kCannotInject);
    };
}

// The example in a fresh directory beside an earlier session's archive.
struct FaultRun {
    test::TempDir tmp;
    fs::path work = tmp / "work dir é";  // blanks and a non-ASCII letter
    Snapshot inputs;
    Snapshot earlierArchive;

    FaultRun()
    {
        fs::create_directory(work);
        for (const auto& entry : fs::directory_iterator(fs::path(TOLVAR_EXAMPLE_DIR)))
            fs::copy_file(entry.path(), work / entry.path().filename());
        fs::create_directory(work / "session1");
        std::ofstream(work / "session1" / "1-MHW-g01h01-gew.out") << "an earlier session\r\n";
        inputs = snapshot(work);
        earlierArchive = snapshot(work / "session1");
    }

    ChildOutcome run(const std::function<void()>& prepare, const Trigger& trigger = {},
                     const std::function<void()>& action = {}, std::vector<std::string> extra = {})
    {
        // Not quiet: the progress lines are what the faults are timed by.
        std::vector<std::string> args = {"--missing", "-9999"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("piezometers.csv");
        return runBatchChild(work, args, prepare, trigger, action);
    }

    // No input changed and the earlier archive untouched.
    void expectInputsKept(const std::set<std::string>& changedOnPurpose = {}) const
    {
        const Snapshot now = snapshot(work);
        for (const auto& [name, content] : inputs) {
            if (changedOnPurpose.count(name))
                continue;
            ASSERT_TRUE(now.count(name)) << name << " is gone";
            EXPECT_TRUE(now.at(name) == content) << name << " was changed";
        }
        EXPECT_EQ(snapshot(work / "session1"), earlierArchive);
    }

    // The next start-up: every file the failed run left is either still in
    // place or in session0, byte for byte; the earlier archive is as it was.
    void expectNextStartUpStoresTheRest() const
    {
        chmod(work.c_str(), 0755);
        const Snapshot left = snapshot(work);
        ASSERT_FALSE(WorkDir(work).list("*.out").empty()) << "the run left no result file";
        test::RecordingFeedback fb;
        {
            AppState state(WorkDir(work), fb);
            startUp(state);
            state.log.close();
        }
        EXPECT_TRUE(fb.messages.empty()) << fb.messages.front();
        const Snapshot after = snapshot(work);
        const Snapshot stored = snapshot(work / "session0");
        for (const auto& [name, content] : left) {
            const bool kept = after.count(name) && after.at(name) == content;
            const bool archived = stored.count(name) && stored.at(name) == content;
            EXPECT_TRUE(kept || archived) << name << " was lost";
        }
        EXPECT_TRUE(WorkDir(work).list("*.out").empty());
        EXPECT_EQ(snapshot(work / "session1"), earlierArchive);
    }
};

// A full disk while writing: the disk fills (the limit is set) at a point of
// the run, and the first file that reaches the limit ends it with its name.
TEST(BatchFaults, DiskFullEndsTheRunWithStatus2AndLosesNothing)
{
    struct Case {
        const char* what;
        Trigger when;  // none: full from the start
        rlim_t limit;
        std::vector<std::string> extra;
        const char* named;        // the message names this file
        const char* notArchived;  // no copy, not even a part, in the archive
    };
    const Case cases[] = {
        {"a result file", progressAt(50, "regressions"), 5000, {}, ".out", nullptr},
        {"a map", holding("strata best model"), 100000, {}, "_R.asc", nullptr},
        {"the archive's copy of a grid", {}, 160000, {"--no-maps"}, "ditchdist.asc", "ditchdist.asc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FaultRun f;
        const ChildOutcome outcome = c.when ? f.run({}, c.when, diskFullAt(c.limit), c.extra)
                                            : f.run(diskFullAt(c.limit), {}, {}, c.extra);
        ASSERT_TRUE(outcome.exited) << outcome.err;
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
        if (c.notArchived) {
            EXPECT_FALSE(fs::exists(f.work / "session2" / c.notArchived));
        }
        f.expectInputsKept();
        if (WorkDir(f.work).anyMatch("*.out"))
            f.expectNextStartUpStoresTheRest();
    }
}

TEST(BatchFaults, WorkingDirectoryTurnedReadOnlyMidRun)
{
    FaultRun f;
    const ChildOutcome outcome = f.run(dropFileOverride, progressAt(50, "regressions"), makeReadOnly(f.work));
    if (outcome.exited && outcome.status == kCannotInject)
        GTEST_SKIP() << "this process cannot make a directory read-only for itself";
    ASSERT_TRUE(outcome.exited) << outcome.err;
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_NE(outcome.err.find("cannot open the file for writing"), std::string::npos) << outcome.err;
    f.expectInputsKept();
    f.expectNextStartUpStoresTheRest();
}

TEST(BatchFaults, ArchiveDirectoryThatCannotBeMade)
{
    FaultRun f;
    // The closing message of the mapping comes just before the closure.
    const ChildOutcome outcome = f.run(dropFileOverride, holding("Tolvar is ready"), makeReadOnly(f.work));
    if (outcome.exited && outcome.status == kCannotInject)
        GTEST_SKIP() << "this process cannot make a directory read-only for itself";
    ASSERT_TRUE(outcome.exited) << outcome.err;
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_NE(outcome.err.find("The archive directory session2 could not be made; these files stay "
                               "where they are:"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("MHW_R.asc"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(f.work / "session2"));
    f.expectInputsKept();
    f.expectNextStartUpStoresTheRest();
}

TEST(BatchFaults, GridTruncatedBetweenTheCheckAndTheMapping)
{
    FaultRun f;
    const fs::path grid = f.work / "elevation.asc";
    const std::string whole = test::readFile(grid);
    // After the regression run (the grids were checked and sampled), before
    // the maps are read.
    const ChildOutcome outcome = f.run({}, holding("strata best model"), [&] {
        fs::resize_file(grid, whole.size() / 3);
    });
    ASSERT_TRUE(outcome.exited) << outcome.err;
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_NE(outcome.err.find("elevation.asc"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("fewer values than its header declares"), std::string::npos) << outcome.err;
    EXPECT_EQ(test::readFile(grid), whole.substr(0, whole.size() / 3));  // as the fault left it
    f.expectInputsKept({"elevation.asc"});
    f.expectNextStartUpStoresTheRest();
}

// A kill (power cut, killed job) in the middle of each long command; the next
// start-up stores what it left.
TEST(BatchFaults, KilledMidRunThenStartedAgain)
{
    for (const char* stage : {"regressions", "mapping"}) {
        SCOPED_TRACE(stage);
        FaultRun f;
        const ChildOutcome outcome = f.run({}, progressAt(50, stage), [] { raise(SIGKILL); });
        ASSERT_FALSE(outcome.exited) << outcome.err;
        EXPECT_EQ(outcome.signal, SIGKILL);
        f.expectInputsKept();
        f.expectNextStartUpStoresTheRest();
    }
}

}  // namespace
}  // namespace tolvar
