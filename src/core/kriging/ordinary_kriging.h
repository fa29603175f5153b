#pragma once

#include "kriging/point_index.h"
#include "kriging/variogram.h"

#include <atomic>
#include <memory>
#include <vector>

namespace tolvar {

struct KrigingEstimate {
    bool ok = false;
    double value = 0.0;
    double variance = 0.0;
};

// A rectangle of grid cells: `cols` x `rows` cells of `cellsize`, the top left
// corner of its top left cell at (left, top); row 0 is the northern one.
struct CellWindow {
    double left = 0.0, top = 0.0, cellsize = 1.0;
    long long cols = 0, rows = 0;
};

// Ordinary kriging with a neighbourhood of the nearest `neighbours` points
// (ties broken by point order). Points at one place are merged into one with
// their mean value, since the kriging system would otherwise be singular.
//
// Cells share work: a window is cut into blocks of kBlockSide x kBlockSide
// cells; the points that can be among the nearest of any cell of a block are
// found once per block (those within r + 2d of its centre, r the distance of
// the centre's n-th nearest point and d its half diagonal), each cell picks
// its own nearest ones from these, and cells with the same neighbourhood use
// one factorization of the kriging system. The result equals kriging every
// cell on its own.
class OrdinaryKriging {
public:
    static constexpr int kBlockSide = 16;

    OrdinaryKriging(const std::vector<KrigingPoint>& points, const VariogramModel& model, int neighbours);
    ~OrdinaryKriging();

    // The points after merging.
    const std::vector<KrigingPoint>& points() const { return points_; }
    // Estimate and kriging variance at one place.
    KrigingEstimate at(double x, double y) const;
    // The cells of `window` whose `need` entry is set (row-major, cols x rows)
    // into `out`, on `threads` threads; other entries of `out` stay.
    void krige(const CellWindow& window, const std::vector<char>& need, std::vector<KrigingEstimate>& out,
               int threads) const;
    // How many kriging systems have been factorized so far.
    long long factorizations() const { return factorizations_.load(); }

private:
    struct System;
    std::shared_ptr<const System> factorize(std::vector<std::size_t> members) const;
    KrigingEstimate estimate(const System& s, double x, double y, std::vector<double>& b) const;
    void krigeBlock(const CellWindow& window, long long c0, long long r0, const std::vector<char>& need,
                    std::vector<KrigingEstimate>& out) const;

    std::vector<KrigingPoint> points_;
    VariogramModel model_;
    std::size_t neighbours_;
    std::unique_ptr<PointIndex> index_;
    std::shared_ptr<const System> all_;  // when every point is a neighbour
    mutable std::atomic<long long> factorizations_{0};
};

}  // namespace tolvar
