#include "batch/batch_feedback.h"

#include <iomanip>

namespace tolvar {

void BatchFeedback::message(const std::string& text)
{
    endBar();
    std::string plain;
    for (char c : text)
        if (c != '\r')
            plain += c;
    err_ << plain << "\n";
    ++messages;
}

void BatchFeedback::progress(double actueel, double maxi, const Stage& stage)
{
    if (quiet_ || !stage.work)
        return;
    const int percent = progressPercent(actueel, maxi);
    const std::string& txt = stage.name;
    const std::string& label = stage.name;
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

void BatchFeedback::endBar()
{
    if (barOpen_) {
        err_ << "\n";
        barOpen_ = false;
    }
    lastPercent_ = -1;
    lastText_.clear();
}

}  // namespace tolvar
