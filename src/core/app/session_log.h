#pragma once

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tolvar {

// The session log: one file per run of the program in the working directory,
// open from start-up until the main window closes. Every line is flushed as it
// is written, so a crash or a kill loses nothing that was logged.
class SessionLog {
public:
    // "Tolvar at DD-MM-YYYY HHhMMmSSs.log" for the given local time.
    static std::string fileNameFor(const std::tm& localTime);

    // INITLOG: creates the log and writes its two header lines. A log of the
    // same second (an earlier run not yet archived) is kept: this one is then
    // named "... (2).log", "... (3).log". Throws IoError when the file cannot
    // be created.
    void open(const std::filesystem::path& directory, const std::tm& localTime);
    // INITLOG at the current local time.
    void open(const std::filesystem::path& directory);

    // ADDLOG: appends one line; line breaks inside `txt` give several lines.
    // Nothing is written once the log is closed (or before it is opened).
    void add(std::string_view txt);

    void flush();
    void close();

    bool isOpen() const { return out_.is_open(); }
    // The name of the log file, kept for the closing message of the mapping run.
    const std::string& fileName() const { return fileName_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::ofstream out_;
    std::string fileName_;
    std::filesystem::path path_;
};

}  // namespace tolvar
