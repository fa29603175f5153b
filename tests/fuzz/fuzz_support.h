#pragma once

#include "common/canvas.h"
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

// Draws nothing; the sizes are those of a real font, roughly.
class NullCanvas : public Canvas {
public:
    NullCanvas(int width, int height) : width_(width), height_(height) {}
    int width() const override { return width_; }
    int height() const override { return height_; }
    void setPen(Rgb, int) override {}
    void setBrush(Rgb) override {}
    void setFont(const FontStyle&) override {}
    void fillRect(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void line(int, int, int, int) override {}
    void setPixel(int, int, Rgb) override {}
    void text(int, int, std::string_view) override {}
    int textWidth(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    int textHeight(std::string_view) override { return 12; }
    void saveBmp(const std::filesystem::path&) override {}

private:
    int width_, height_;
};

}  // namespace tolvar::fuzz
