#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tolvar {

// An input/output failure: the command under way stops and the text is shown
// to the user; the program itself goes on.
class IoError : public std::runtime_error {
public:
    IoError(std::string fileName, std::string reason);

    const std::string& fileName() const { return fileName_; }
    const std::string& reason() const { return reason_; }

private:
    std::string fileName_;
    std::string reason_;
};

}  // namespace tolvar
