#include "mapping/map_status.h"

#include "common/number_format.h"

#include <algorithm>

namespace tolvar {

void MapStatusPicture::blank()
{
    canvas_.setPen(colors::kBlack, 1);
    canvas_.setBrush(colors::kButtonFace);
    canvas_.fillRect(1, 1, kMapStatusSize, kMapStatusSize);
}

void MapStatusPicture::param(const GridHeader& strata)
{
    xmin_ = 1;
    xmax_ = static_cast<double>(strata.ncols);
    ymin_ = 1;
    ymax_ = static_cast<double>(strata.nrows);
    if (xmax_ - xmin_ >= ymax_ - ymin_)
        ymax_ = ymin_ + (xmax_ - xmin_);
    else
        xmax_ = xmin_ + (ymax_ - ymin_);
    // A grid of one cell has no extent: give it one so the scale is defined.
    if (xmax_ - xmin_ < 1) {
        xmax_ = xmin_ + 1;
        ymax_ = ymin_ + 1;
    }
    s_ = kMapStatusSize / (xmax_ - xmin_);
    if (s_ < 1)
        s_ = 1;
}

int MapStatusPicture::pixelX(double x) const
{
    return roundToInt(kMapStatusSize * (x - xmin_) / (xmax_ - xmin_) - 0.5 * s_);
}

int MapStatusPicture::pixelY(double y) const
{
    return roundToInt(kMapStatusSize * (y - ymin_) / (ymax_ - ymin_) - 0.5 * s_);
}

int MapStatusPicture::squareSide() const
{
    return roundToInt(s_);
}

void MapStatusPicture::pixel(Rgb color, double x, double y)
{
    const int px = pixelX(x), py = pixelY(y), side = squareSide();
    canvas_.setBrush(color);
    canvas_.fillRect(px, py, px + side, py + side);
}

Rgb greyLevel(double x, const MxwRange& range)
{
    if (!(range.hi > range.lo))
        return colors::grey(128);
    const double level = roundHalfEven(255.0 * (x - range.lo) / (range.hi - range.lo));
    if (!(level == level))
        return colors::grey(1);
    return colors::grey(static_cast<int>(std::clamp(level, 1.0, 255.0)));
}

}  // namespace tolvar
