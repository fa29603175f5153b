#include "app/session_log.h"

#include "common/io_error.h"
#include "common/text_file.h"

#include <cstdio>

namespace tolvar {

std::string SessionLog::fileNameFor(const std::tm& t)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Tolvar at %02d-%02d-%04d %02dh%02dm%02ds.log", t.tm_mday,
                  t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

void SessionLog::open(const std::filesystem::path& directory, const std::tm& localTime)
{
    close();
    const std::string base = fileNameFor(localTime);
    fileName_ = base;
    std::error_code ec;
    for (int k = 2; std::filesystem::exists(directory / fileName_, ec); ++k)
        fileName_ = base.substr(0, base.size() - 4) + " (" + std::to_string(k) + ").log";
    path_ = directory / fileName_;
    out_ = openForWriting(path_);
    add("Logfile of " + fileName_.substr(0, fileName_.size() - 4));
    add("");
}

void SessionLog::open(const std::filesystem::path& directory)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    open(directory, local);
}

void SessionLog::add(std::string_view txt)
{
    if (!out_.is_open())
        return;
    out_ << withCrLf(txt) << kLineEnd;
    out_.flush();
    checkWritten(out_, path_);
}

void SessionLog::flush()
{
    if (out_.is_open())
        out_.flush();
}

void SessionLog::close()
{
    if (out_.is_open()) {
        out_.flush();
        out_.close();
    }
}

}  // namespace tolvar
