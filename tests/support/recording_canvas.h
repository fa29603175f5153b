#pragma once

#include "common/canvas.h"

#include <string>
#include <vector>

namespace tolvar::test {

// Records every drawing call with the pen, brush and font in force, so a test
// can assert where the rules put things. Text is measured as 6 pixels per
// character and 13 pixels high.
class RecordingCanvas : public Canvas {
public:
    enum class Op { FillRect, Rectangle, Line, Pixel, Text };
    struct Call {
        Op op;
        int x1, y1, x2, y2;
        std::string text;
        Rgb pen;
        int penWidth;
        Rgb brush;
        FontStyle font;
        Rgb pixel;
    };

    RecordingCanvas(int width, int height) : width_(width), height_(height) {}

    int width() const override { return width_; }
    int height() const override { return height_; }
    void setPen(Rgb color, int width) override
    {
        pen_ = color;
        penWidth_ = width;
    }
    void setBrush(Rgb color) override { brush_ = color; }
    void setFont(const FontStyle& font) override { font_ = font; }
    void fillRect(int x1, int y1, int x2, int y2) override { record(Op::FillRect, x1, y1, x2, y2); }
    void rectangle(int x1, int y1, int x2, int y2) override { record(Op::Rectangle, x1, y1, x2, y2); }
    void line(int x1, int y1, int x2, int y2) override { record(Op::Line, x1, y1, x2, y2); }
    void setPixel(int x, int y, Rgb color) override;
    void text(int x, int y, std::string_view text) override;
    int textWidth(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    int textHeight(std::string_view) override { return 13; }
    void saveBmp(const std::filesystem::path& path) override { savedTo.push_back(path); }

    // The calls of one kind, in order.
    std::vector<Call> of(Op op) const;

    std::vector<Call> calls;
    std::vector<std::filesystem::path> savedTo;

private:
    void record(Op op, int x1, int y1, int x2, int y2, std::string text = {}, Rgb pixel = {});

    int width_, height_;
    Rgb pen_ = colors::kBlack;
    int penWidth_ = 1;
    Rgb brush_ = colors::kWhite;
    FontStyle font_;
};

}  // namespace tolvar::test
