#include "common/work_dir.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace tolvar {

namespace {
char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::string toLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string toUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    // Iterative match with back-tracking to the last '*'.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

WorkDir::WorkDir(fs::path directory) : dir_(std::move(directory)) {}

std::vector<std::string> WorkDir::list(std::string_view pattern) const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc))
            continue;
        std::string name = it->path().filename().string();
        if (wildcardMatch(pattern, name))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = toLowerAscii(a), lb = toLowerAscii(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

bool WorkDir::anyMatch(std::string_view pattern) const
{
    return !list(pattern).empty();
}

fs::path WorkDir::resolve(std::string_view name) const
{
    const fs::path plain = dir_ / fs::path(std::string(name));
    std::error_code ec;
    if (fs::exists(plain, ec))
        return plain;
    // Only a bare name is looked up case-insensitively; a path with directories
    // is taken as it stands.
    if (fs::path(std::string(name)).has_parent_path())
        return plain;
    for (fs::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
        if (equalsIgnoreCase(it->path().filename().string(), name))
            return it->path();
    }
    return plain;
}

bool WorkDir::fileExists(std::string_view name) const
{
    std::error_code ec;
    return fs::is_regular_file(resolve(name), ec);
}

bool WorkDir::dirExists(std::string_view name) const
{
    std::error_code ec;
    return fs::is_directory(resolve(name), ec);
}

namespace {
// A copy that fails half-way (a full disk) leaves no truncated file that could
// pass for the original.
bool copyWhole(const fs::path& src, const fs::path& dst)
{
    std::error_code ec;
    if (fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec) && !ec)
        return true;
    std::error_code ignored;
    if (fs::exists(src, ignored))
        fs::remove(dst, ignored);
    return false;
}
}  // namespace

bool WorkDir::copyFile(const fs::path& from, const fs::path& to) const
{
    std::error_code ec;
    const fs::path src = from.is_absolute() ? from : dir_ / from;
    const fs::path dst = to.is_absolute() ? to : dir_ / to;
    if (fs::equivalent(src, dst, ec))
        return true;
    return copyWhole(src, dst);
}

bool WorkDir::moveFile(const fs::path& from, const fs::path& to) const
{
    std::error_code ec;
    const fs::path src = from.is_absolute() ? from : dir_ / from;
    const fs::path dst = to.is_absolute() ? to : dir_ / to;
    if (fs::equivalent(src, dst, ec))
        return true;
    fs::rename(src, dst, ec);
    if (!ec)
        return true;
    // Another file system: copy, and remove the original only once it is safe.
    if (!copyWhole(src, dst))
        return false;
    fs::remove(src, ec);
    return true;
}

bool WorkDir::removeFile(std::string_view name) const
{
    std::error_code ec;
    const fs::path target = resolve(name);
    if (!fs::is_regular_file(target, ec))
        return false;
    return fs::remove(target, ec);
}

bool WorkDir::makeDir(std::string_view name) const
{
    std::error_code ec;
    return fs::create_directory(dir_ / fs::path(std::string(name)), ec);
}

bool WorkDir::removeDir(std::string_view name) const
{
    std::error_code ec;
    const fs::path target = resolve(name);
    if (!fs::is_directory(target, ec))
        return false;
    return fs::remove(target, ec);
}

}  // namespace tolvar
