#include "support/temp_dir.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tolvar::test {

namespace {
std::atomic<int> counter{0};
}

TempDir::TempDir()
{
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        path_ = base / ("tolvar-test-" + std::to_string(::getpid()) + "-" +
                        std::to_string(counter++));
        if (fs::create_directory(path_))
            break;
    }
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path TempDir::write(std::string_view name, std::string_view content) const
{
    const fs::path p = path_ / std::string(name);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write test file " + p.string());
    return p;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> readLines(const fs::path& path)
{
    std::istringstream in(readFile(path));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

fs::path dataFile(std::string_view name)
{
    return fs::path(TOLVAR_TEST_DATA) / std::string(name);
}

std::string rowsAfterTitles(const std::filesystem::path& path)
{
    const std::vector<std::string> lines = readLines(path);
    std::string all;
    for (std::size_t i = 1; i < lines.size(); ++i)
        all += lines[i] + "\n";
    return all;
}

}  // namespace tolvar::test
