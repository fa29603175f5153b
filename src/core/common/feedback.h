#pragma once

#include <optional>
#include <string>

namespace tolvar {

// The workflow milestones, in order.
enum class Mijlpaal {
    na_start,
    na_instellen,
    na_uitvoeren,
    na_rapporteren,
    na_voorspellen,
    na_kriging,
    bij_einde,
};

// Position of the milestone gauge in percent.
int milestonePercent(Mijlpaal m);

// What the closure dialog offers to archive.
enum class ArchiveChoice {
    AllFiles = 0,
    OnlyBest = 1,
    NoFile = 2,
};

// A stage of a run as its progress names it. The window's run label shows
// label(): "% " + name for a stage counted in percent, beside the gauge; the
// batch prints the percentage and the name. Start-up and rest are no work:
// the batch does not show them.
struct Stage {
    std::string name;
    bool inPercent = true;
    bool work = true;

    std::string label() const { return inPercent ? "% " + name : name; }
    // A stage whose label is `text` as it stands.
    static Stage titled(std::string text, bool work = true) { return {std::move(text), false, work}; }
};

// The one way core speaks to the user. The main window implements it with
// widgets, the batch with the terminal, tests with a recorder.
class Feedback {
public:
    virtual ~Feedback() = default;

    // A modal message box.
    virtual void message(const std::string& text) = 0;
    // The main status bar.
    virtual void statusText(const std::string& text) = 0;
    // voortgang: the progress of a run through `stage`.
    virtual void progress(double actueel, double maxi, const Stage& stage) = 0;
    // The gauge at rest, its label reading `text`.
    void idle(const std::string& text = "Idle") { progress(0, 100, Stage::titled(text, false)); }
    // status: display a milestone.
    virtual void milestone(Mijlpaal m) = 0;
    // The busy cursor.
    virtual void busy(bool on) = 0;
    // The closure dialog: which files to archive, with `caption` as its title.
    virtual ArchiveChoice askArchiveChoice(const std::string& caption, ArchiveChoice preset) = 0;
    // An open-file dialog with `title`, the proposed file name, a filter and
    // a start directory: the chosen path, or nothing when cancelled. Whoever
    // cannot ask (the batch) answers nothing.
    virtual std::optional<std::string> chooseFile(const std::string& title, const std::string& proposedName,
                                                  const std::string& filter, const std::string& directory)
    {
        (void)title, (void)proposedName, (void)filter, (void)directory;
        return std::nullopt;
    }
};

// Says nothing and answers every question with its preset.
class SilentFeedback : public Feedback {
public:
    void message(const std::string&) override {}
    void statusText(const std::string&) override {}
    void progress(double, double, const Stage&) override {}
    void milestone(Mijlpaal) override {}
    void busy(bool) override {}
    ArchiveChoice askArchiveChoice(const std::string&, ArchiveChoice preset) override
    {
        return preset;
    }
};

// Reports the progress of a long loop a bounded number of times (about
// `steps`), so a run of millions of units is not slowed by its own gauge: the
// one place where progress is thinned.
class ProgressThrottle {
public:
    ProgressThrottle(Feedback& feedback, double total, Stage stage, int steps = 200)
        : feedback_(feedback), total_(total), stage_(std::move(stage)),
          step_(total / steps >= 1 ? total / steps : 1)
    {
    }
    // Reports `done` once it has moved a step on from the last report, and
    // always at the end.
    void update(double done)
    {
        if (!(total_ > 0) || (done < next_ && done < total_))
            return;
        feedback_.progress(done, total_, stage_);
        next_ = done + step_;
    }

private:
    Feedback& feedback_;
    double total_;
    Stage stage_;
    double step_;
    double next_ = 0;
};

// The whole-percent value a progress gauge shows for (actueel, maxi): capped
// at 100, rounded half to even.
int progressPercent(double actueel, double maxi);

}  // namespace tolvar
