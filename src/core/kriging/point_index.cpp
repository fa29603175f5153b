#include "kriging/point_index.h"

#include <nanoflann.hpp>

#include <cmath>

namespace tolvar {

namespace {
struct Cloud {
    const std::vector<KrigingPoint>& points;
    std::size_t kdtree_get_point_count() const { return points.size(); }
    double kdtree_get_pt(std::size_t i, std::size_t dim) const { return dim == 0 ? points[i].x : points[i].y; }
    template <class Box>
    bool kdtree_get_bbox(Box&) const
    {
        return false;
    }
};
using Tree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, Cloud>, Cloud, 2, std::size_t>;
}  // namespace

struct PointIndex::Impl {
    explicit Impl(const std::vector<KrigingPoint>& p) : cloud{p}, tree(2, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(10)) {}
    Cloud cloud;
    Tree tree;
};

PointIndex::PointIndex(const std::vector<KrigingPoint>& points) : impl_(std::make_unique<Impl>(points)) {}

PointIndex::~PointIndex() = default;

double PointIndex::kthSquaredDistance(double x, double y, int k) const
{
    const std::size_t n = impl_->cloud.points.size();
    const auto want = std::min<std::size_t>(static_cast<std::size_t>(k), n);
    if (want == 0)
        return 0.0;
    std::vector<std::size_t> index(want);
    std::vector<double> d2(want);
    const double q[2] = {x, y};
    const std::size_t found = impl_->tree.knnSearch(q, want, index.data(), d2.data());
    return found ? d2[found - 1] : 0.0;
}

void PointIndex::within(double x, double y, double squaredRadius, std::vector<std::size_t>& out) const
{
    std::vector<std::pair<std::size_t, double>> matches;
    const double q[2] = {x, y};
    impl_->tree.radiusSearch(q, squaredRadius, matches, nanoflann::SearchParams(32, 0, false));
    out.clear();
    for (const auto& m : matches)
        out.push_back(m.first);
}

double PointIndex::meanNearestDistance() const
{
    const auto& points = impl_->cloud.points;
    if (points.size() < 2)
        return 0.0;
    double sum = 0;
    std::size_t index[2];
    double d2[2];
    for (const KrigingPoint& p : points) {
        const double q[2] = {p.x, p.y};
        impl_->tree.knnSearch(q, 2, index, d2);
        sum += std::sqrt(d2[1]);
    }
    return sum / static_cast<double>(points.size());
}

}  // namespace tolvar
