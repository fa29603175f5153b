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

// The one way core speaks to the user. The main window implements it with
// widgets, the batch with the terminal, tests with a recorder.
class Feedback {
public:
    virtual ~Feedback() = default;

    // A modal message box.
    virtual void message(const std::string& text) = 0;
    // The main status bar.
    virtual void statusText(const std::string& text) = 0;
    // voortgang: the progress of a run; the run label shows `txt`.
    virtual void progress(double actueel, double maxi, const std::string& txt) = 0;
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
    void progress(double, double, const std::string&) override {}
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
    ProgressThrottle(Feedback& feedback, double total, std::string text, int steps = 200)
        : feedback_(feedback), total_(total), text_(std::move(text)),
          step_(total / steps >= 1 ? total / steps : 1)
    {
    }
    // Reports `done` once it has moved a step on from the last report, and
    // always at the end.
    void update(double done)
    {
        if (!(total_ > 0) || (done < next_ && done < total_))
            return;
        feedback_.progress(done, total_, text_);
        next_ = done + step_;
    }

private:
    Feedback& feedback_;
    double total_;
    std::string text_;
    double step_;
    double next_ = 0;
};

// The whole-percent value a progress gauge shows for (actueel, maxi): capped
// at 100, rounded half to even.
int progressPercent(double actueel, double maxi);

}  // namespace tolvar
