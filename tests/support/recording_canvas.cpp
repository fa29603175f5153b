#include "support/recording_canvas.h"

namespace tolvar::test {

void RecordingCanvas::setPixel(int x, int y, Rgb color)
{
    record(Op::Pixel, x, y, x, y, {}, color);
}

void RecordingCanvas::text(int x, int y, std::string_view text)
{
    record(Op::Text, x, y, x, y, std::string(text));
}

void RecordingCanvas::record(Op op, int x1, int y1, int x2, int y2, std::string text, Rgb pixel)
{
    calls.push_back(Call{op, x1, y1, x2, y2, std::move(text), pen_, penWidth_, brush_, font_, pixel});
}

std::vector<RecordingCanvas::Call> RecordingCanvas::of(Op op) const
{
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.op == op)
            out.push_back(c);
    return out;
}

}  // namespace tolvar::test
