#pragma once

#include "common/io_error.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tolvar::fuzz {

// A scratch directory of this process, made on first use and removed at exit.
const std::filesystem::path& scratchDir();

// A fresh empty sub-directory of the scratch directory: every input starts
// from a clean working directory.
std::filesystem::path freshWorkDir();

// Writes the input byte for byte into `dir/name` and returns the path.
std::filesystem::path writeInput(const std::filesystem::path& dir, const std::string& name,
                                 std::string_view bytes);

inline std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// A reader may refuse an input with IoError, the program's answer to a bad
// file; anything else that escapes (a crash of the sanitizers aside) is a
// fault and must stop the fuzzer.
template <typename Body>
void expectOnlyIoError(Body&& body)
{
    try {
        body();
    } catch (const IoError&) {
    }
}

}  // namespace tolvar::fuzz
