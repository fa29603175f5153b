#pragma once

#include "common/canvas.h"
#include "grids/ascii_grid.h"
#include "grids/sampling.h"

namespace tolvar {

inline constexpr int kMapStatusSize = 350;

// The map-status picture: every mapped cell painted at its place in a grey
// level of its predicted value.
class MapStatusPicture {
public:
    explicit MapStatusPicture(Canvas& canvas) : canvas_(canvas) {}

    // blankimgMAPSTATUS.
    void blank();
    // paramimgMAPSTATUS: the scale from the strata grid.
    void param(const GridHeader& strata);
    // pixelimgMAPSTATUS: paints the cell at column x, row y (from 1).
    void pixel(Rgb color, double x, double y);

    // The pixel column and row a cell lands on, and the square's side.
    int pixelX(double x) const;
    int pixelY(double y) const;
    int squareSide() const;
    double cellSize() const { return s_; }

private:
    Canvas& canvas_;
    double xmin_ = 1, xmax_ = 2, ymin_ = 1, ymax_ = 2, s_ = 1;
};

// The grey level of a predicted value in the observed range [lo, hi]:
// 1..255; the middle grey when the range is empty.
Rgb greyLevel(double x, const MxwRange& range);

}  // namespace tolvar
