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

void BatchFeedback::progress(double actueel, double maxi, const std::string& txt)
{
    if (quiet_ || txt == "Idle" || txt == "idle" || txt == "Initializing")
        return;
    const int percent = progressPercent(actueel, maxi);
    // The window's run label reads "% mapping" beside its gauge; here the
    // number stands in front of the text.
    const std::string label = txt.rfind("% ", 0) == 0 ? txt.substr(2) : txt;
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
