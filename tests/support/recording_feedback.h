#pragma once

#include "common/feedback.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tolvar::test {

// Keeps every call so a test can assert on the exact texts.
class RecordingFeedback : public Feedback {
public:
    struct Progress {
        double actueel;
        double maxi;
        std::string txt;
    };

    void message(const std::string& text) override { messages.push_back(text); }
    void statusText(const std::string& text) override { statusTexts.push_back(text); }
    void progress(double actueel, double maxi, const Stage& stage) override
    {
        progressCalls.push_back({actueel, maxi, stage.label()});
    }
    void milestone(Mijlpaal m) override { milestones.push_back(m); }
    void busy(bool on) override { busyCalls.push_back(on); }
    ArchiveChoice askArchiveChoice(const std::string& caption, ArchiveChoice preset) override;
    std::optional<std::string> chooseFile(const std::string& title, const std::string& proposedName,
                                          const std::string& filter, const std::string& directory) override;

    std::vector<std::string> messages;
    std::vector<std::string> statusTexts;
    std::vector<Progress> progressCalls;
    std::vector<Mijlpaal> milestones;
    std::vector<bool> busyCalls;
    // Questions asked (caption, preset) and the answers to give, in order; the
    // preset is given when no answer is queued.
    std::vector<std::pair<std::string, ArchiveChoice>> archiveQuestions;
    std::deque<ArchiveChoice> archiveAnswers;
    // File dialogs shown (title, proposed name) and the answers to give, in
    // order; a dialog without a queued answer is cancelled.
    std::vector<std::pair<std::string, std::string>> fileQuestions;
    std::deque<std::optional<std::string>> fileAnswers;
};

}  // namespace tolvar::test
