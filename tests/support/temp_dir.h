#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar::test {

// A fresh temporary directory, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / std::string(name); }

    // Writes `content` byte for byte to a file in the directory.
    std::filesystem::path write(std::string_view name, std::string_view content) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file, byte for byte.
std::string readFile(const std::filesystem::path& path);
// The lines of a text file without their CR LF or LF ends.
std::vector<std::string> readLines(const std::filesystem::path& path);
// The rows of a table file after its title row, each ended by "\n": what two
// runs over differently named grids can be compared on.
std::string rowsAfterTitles(const std::filesystem::path& path);
// A fixture file in tests/data.
std::filesystem::path dataFile(std::string_view name);

}  // namespace tolvar::test
