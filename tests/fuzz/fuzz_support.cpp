#include "fuzz_support.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tolvar::fuzz {

namespace {
fs::path makeScratch()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tolvar-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a scratch directory in " + pattern);
    return pattern;
}

struct Scratch {
    fs::path path = makeScratch();
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};
}  // namespace

const fs::path& scratchDir()
{
    static const Scratch scratch;
    return scratch.path;
}

fs::path freshWorkDir()
{
    const fs::path dir = scratchDir() / "work";
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    return dir;
}

fs::path writeInput(const fs::path& dir, const std::string& name, std::string_view bytes)
{
    const fs::path path = dir / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write the fuzz input " + path.string());
    return path;
}

}  // namespace tolvar::fuzz
