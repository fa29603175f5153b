// Without libFuzzer: feeds every file of the corpus directories (or the files)
// named on the command line to the target once, so whatever the fuzzer found
// stays fixed. A fault aborts under the sanitizers and fails the test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char* argv[])
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::cerr << "no corpus files given\n";
        return 1;
    }
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.eof() && in.fail()) {
            std::cerr << "cannot read " << file << "\n";
            return 1;
        }
        std::cout << file.filename().string() << " (" << bytes.size() << " bytes)" << std::endl;
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << files.size() << " corpus files replayed" << std::endl;
    return 0;
}
