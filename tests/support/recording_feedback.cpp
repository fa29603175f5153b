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
