#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tolvar {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colors {
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kSilver{0xC0, 0xC0, 0xC0};
inline constexpr Rgb kRed{255, 0, 0};
// The button face of a classic desktop scheme.
inline constexpr Rgb kButtonFace{0xF0, 0xF0, 0xF0};
inline constexpr Rgb grey(int level)
{
    return Rgb{static_cast<std::uint8_t>(level), static_cast<std::uint8_t>(level),
               static_cast<std::uint8_t>(level)};
}
}  // namespace colors

struct FontStyle {
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    Rgb color = colors::kBlack;
    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

// The drawing surface the pictures are drawn on: core code decides every
// position and colour, an implementation only puts them on pixels. Coordinates
// are pixels, x to the right and y downwards from (0, 0) at the top left.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void setPen(Rgb color, int width) = 0;
    virtual void setBrush(Rgb color) = 0;
    virtual void setFont(const FontStyle& font) = 0;

    // Fills the rectangle from (x1, y1) up to but not including (x2, y2) with the
    // brush, without outline.
    virtual void fillRect(int x1, int y1, int x2, int y2) = 0;
    // Fills with the brush and outlines with the pen the same rectangle.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    // A line with the pen from (x1, y1) to (x2, y2), the end point excluded.
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void setPixel(int x, int y, Rgb color) = 0;
    // Text in the current font with its top-left corner at (x, y).
    virtual void text(int x, int y, std::string_view text) = 0;
    virtual int textWidth(std::string_view text) = 0;
    virtual int textHeight(std::string_view text) = 0;

    // Saves the picture as a Windows bitmap file; throws IoError on failure.
    virtual void saveBmp(const std::filesystem::path& path) = 0;
};

// Draws nothing and saves nothing, for runs whose pictures nobody looks at
// (benchmarks, fuzzing); text sizes are roughly those of a real font.
class NullCanvas : public Canvas {
public:
    NullCanvas(int w, int h) : w_(w), h_(h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    void setPen(Rgb, int) override {}
    void setBrush(Rgb) override {}
    void setFont(const FontStyle&) override {}
    void fillRect(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void line(int, int, int, int) override {}
    void setPixel(int, int, Rgb) override {}
    void text(int, int, std::string_view) override {}
    int textWidth(std::string_view t) override { return 6 * static_cast<int>(t.size()); }
    int textHeight(std::string_view) override { return 13; }
    void saveBmp(const std::filesystem::path&) override {}

private:
    int w_, h_;
};

}  // namespace tolvar
