#pragma once

#include "kriging/variogram.h"

#include <memory>
#include <utility>
#include <vector>

namespace tolvar {

// The points in a k-d tree (nanoflann) for nearest-neighbour and radius
// searches. The points must outlive the index.
class PointIndex {
public:
    explicit PointIndex(const std::vector<KrigingPoint>& points);
    ~PointIndex();
    PointIndex(const PointIndex&) = delete;
    PointIndex& operator=(const PointIndex&) = delete;

    // The squared distance from (x, y) to its k-th nearest point (k from 1).
    double kthSquaredDistance(double x, double y, int k) const;
    // The points within sqrt(squaredRadius) of (x, y), as indices.
    void within(double x, double y, double squaredRadius, std::vector<std::size_t>& out) const;
    // The mean distance of a point to its nearest other point (0 for fewer
    // than two points).
    double meanNearestDistance() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tolvar
