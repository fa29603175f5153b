#pragma once

#include "common/feedback.h"

#include <optional>
#include <ostream>
#include <string>

namespace tolvar {

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

    void message(const std::string& text) override;
    void statusText(const std::string&) override {}
    void progress(double actueel, double maxi, const Stage& stage) override;
    void milestone(Mijlpaal) override {}
    void busy(bool) override {}
    ArchiveChoice askArchiveChoice(const std::string&, ArchiveChoice preset) override
    {
        return archive_.value_or(preset);
    }

    int messages = 0;

private:
    void endBar();

    std::ostream& err_;
    bool terminal_;
    bool quiet_;
    std::optional<ArchiveChoice> archive_;
    int lastPercent_ = -1;
    std::string lastText_;
    bool barOpen_ = false;
};

}  // namespace tolvar
