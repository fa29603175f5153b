#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

// The working directory, captured once. Every file name the program uses is
// relative to it and, as on the system the files come from, compared without
// regard to letter case: "*.OUT" finds "a.out" and "WendBat.txt" finds
// "wendbat.txt". This is the only place that lists a directory.
class WorkDir {
public:
    explicit WorkDir(std::filesystem::path directory);

    const std::filesystem::path& path() const { return dir_; }

    // Names (not paths) of the regular files that match the wildcard pattern
    // ('*' any run, '?' one character), letter case ignored, sorted the same way.
    std::vector<std::string> list(std::string_view pattern) const;
    bool anyMatch(std::string_view pattern) const;

    // The path of an existing entry whose name equals `name` without regard to
    // letter case; the plain path in the directory when there is none.
    std::filesystem::path resolve(std::string_view name) const;

    bool fileExists(std::string_view name) const;
    bool dirExists(std::string_view name) const;

    // File operations that report success instead of throwing, for the steps
    // (archiving, pruning) that go on past a failed copy or removal.
    bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to) const;
    // Moves a file (a rename, or a copy first and the removal after); false,
    // with the original in place, when it cannot.
    bool moveFile(const std::filesystem::path& from, const std::filesystem::path& to) const;
    bool removeFile(std::string_view name) const;
    bool makeDir(std::string_view name) const;
    bool removeDir(std::string_view name) const;

private:
    std::filesystem::path dir_;
};

// Wildcard match without regard to letter case.
bool wildcardMatch(std::string_view pattern, std::string_view name);
// Equality without regard to (ASCII) letter case.
bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);

}  // namespace tolvar
