#include "support/recording_feedback.h"

namespace tolvar::test {

ArchiveChoice RecordingFeedback::askArchiveChoice(const std::string& caption, ArchiveChoice preset)
{
    archiveQuestions.emplace_back(caption, preset);
    if (archiveAnswers.empty())
        return preset;
    const ArchiveChoice answer = archiveAnswers.front();
    archiveAnswers.pop_front();
    return answer;
}

}  // namespace tolvar::test

namespace tolvar::test {

std::optional<std::string> RecordingFeedback::chooseFile(const std::string& title, const std::string& proposedName,
                                                         const std::string&, const std::string&)
{
    fileQuestions.emplace_back(title, proposedName);
    if (fileAnswers.empty())
        return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

}  // namespace tolvar::test
