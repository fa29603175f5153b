#include "kriging/ordinary_kriging.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <thread>

namespace tolvar {

struct OrdinaryKriging::System {
    std::vector<std::size_t> members;
    Eigen::MatrixXd inverse;  // of [C 1; 1' 0]
    Eigen::VectorXd alpha;    // inverse * [z; 0]
    bool ok = false;
};

namespace {
std::vector<KrigingPoint> merged(std::vector<KrigingPoint> points)
{
    std::stable_sort(points.begin(), points.end(), [](const KrigingPoint& a, const KrigingPoint& b) {
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    std::vector<KrigingPoint> out;
    for (std::size_t i = 0; i < points.size();) {
        std::size_t j = i;
        double sum = 0;
        while (j < points.size() && points[j].x == points[i].x && points[j].y == points[i].y)
            sum += points[j++].value;
        out.push_back({points[i].x, points[i].y, sum / static_cast<double>(j - i)});
        i = j;
    }
    return out;
}
}  // namespace

OrdinaryKriging::OrdinaryKriging(const std::vector<KrigingPoint>& points, const VariogramModel& model,
                                 int neighbours)
    : points_(merged(points)), model_(model), neighbours_(static_cast<std::size_t>(std::max(1, neighbours)))
{
    index_ = std::make_unique<PointIndex>(points_);
    if (neighbours_ >= points_.size() && !points_.empty()) {
        std::vector<std::size_t> every(points_.size());
        std::iota(every.begin(), every.end(), std::size_t{0});
        all_ = factorize(std::move(every));
    }
}

OrdinaryKriging::~OrdinaryKriging() = default;

std::shared_ptr<const OrdinaryKriging::System> OrdinaryKriging::factorize(std::vector<std::size_t> members) const
{
    ++factorizations_;
    auto s = std::make_shared<System>();
    const auto n = static_cast<Eigen::Index>(members.size());
    Eigen::MatrixXd a(n + 1, n + 1);
    Eigen::VectorXd z(n + 1);
    for (Eigen::Index i = 0; i < n; ++i) {
        const KrigingPoint& p = points_[members[static_cast<std::size_t>(i)]];
        for (Eigen::Index j = 0; j <= i; ++j) {
            const KrigingPoint& q = points_[members[static_cast<std::size_t>(j)]];
            a(i, j) = a(j, i) = model_.covariance(std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y)));
        }
        a(i, n) = a(n, i) = 1.0;
        z(i) = p.value;
    }
    a(n, n) = 0.0;
    z(n) = 0.0;
    const Eigen::PartialPivLU<Eigen::MatrixXd> lu(a);
    // A near-singular system (a model without nugget that barely decays) gives
    // no estimate rather than a wild one.
    s->ok = lu.rcond() > 1e-13;
    if (s->ok) {
        s->inverse = lu.inverse();
        s->alpha = s->inverse * z;
        s->ok = s->alpha.allFinite() && s->inverse.allFinite();
    }
    s->members = std::move(members);
    return s;
}

KrigingEstimate OrdinaryKriging::estimate(const System& s, double x, double y, std::vector<double>& b) const
{
    KrigingEstimate e;
    if (!s.ok)
        return e;
    const std::size_t n = s.members.size();
    // b holds [c; 1] and, behind it, room for A^-1 [c; 1]: no allocation per cell.
    b.resize(2 * (n + 1));
    for (std::size_t i = 0; i < n; ++i) {
        const KrigingPoint& p = points_[s.members[i]];
        b[i] = model_.covariance(std::sqrt((p.x - x) * (p.x - x) + (p.y - y) * (p.y - y)));
    }
    b[n] = 1.0;
    const auto size = static_cast<Eigen::Index>(n + 1);
    const Eigen::Map<const Eigen::VectorXd> bv(b.data(), size);
    Eigen::Map<Eigen::VectorXd> weights(b.data() + n + 1, size);
    e.value = bv.dot(s.alpha);
    weights.noalias() = s.inverse * bv;
    // sigma^2 = C(0) - [c; 1]' A^-1 [c; 1]; rounding may take it just below 0.
    e.variance = std::max(0.0, model_.sill() - bv.dot(weights));
    e.ok = std::isfinite(e.value) && std::isfinite(e.variance);
    return e;
}

KrigingEstimate OrdinaryKriging::at(double x, double y) const
{
    std::vector<double> b;
    if (all_)
        return estimate(*all_, x, y, b);
    if (points_.empty())
        return {};
    const double r2 = index_->kthSquaredDistance(x, y, static_cast<int>(neighbours_));
    std::vector<std::size_t> near;
    index_->within(x, y, r2 * (1 + 1e-9) + 1e-300, near);
    std::vector<std::pair<double, std::size_t>> order;
    for (std::size_t i : near)
        order.emplace_back(std::pow(points_[i].x - x, 2) + std::pow(points_[i].y - y, 2), i);
    std::sort(order.begin(), order.end());
    std::vector<std::size_t> members;
    for (std::size_t k = 0; k < std::min(neighbours_, order.size()); ++k)
        members.push_back(order[k].second);
    std::sort(members.begin(), members.end());
    return estimate(*factorize(std::move(members)), x, y, b);
}

void OrdinaryKriging::krigeBlock(const CellWindow& w, long long c0, long long r0, const std::vector<char>& need,
                                 std::vector<KrigingEstimate>& out) const
{
    const long long c1 = std::min(w.cols, c0 + kBlockSide), r1 = std::min(w.rows, r0 + kBlockSide);
    auto cellX = [&](long long c) { return w.left + (static_cast<double>(c) + 0.5) * w.cellsize; };
    auto cellY = [&](long long r) { return w.top - (static_cast<double>(r) + 0.5) * w.cellsize; };
    bool any = false;
    for (long long r = r0; r < r1 && !any; ++r)
        for (long long c = c0; c < c1 && !any; ++c)
            any = need[static_cast<std::size_t>(r * w.cols + c)] != 0;
    if (!any)
        return;
    std::vector<double> b;
    if (all_) {
        for (long long r = r0; r < r1; ++r)
            for (long long c = c0; c < c1; ++c)
                if (const auto k = static_cast<std::size_t>(r * w.cols + c); need[k])
                    out[k] = estimate(*all_, cellX(c), cellY(r), b);
        return;
    }
    // The candidates of every cell of the block.
    const double cx = (cellX(c0) + cellX(c1 - 1)) / 2, cy = (cellY(r0) + cellY(r1 - 1)) / 2;
    const double halfDiagonal = std::hypot(cellX(c1 - 1) - cx, cellY(r1 - 1) - cy);
    const double reach = std::sqrt(index_->kthSquaredDistance(cx, cy, static_cast<int>(neighbours_))) +
                         2 * halfDiagonal;
    std::vector<std::size_t> candidates;
    index_->within(cx, cy, reach * reach * (1 + 1e-9) + 1e-300, candidates);
    std::sort(candidates.begin(), candidates.end());
    const std::size_t keep = std::min(neighbours_, candidates.size());

    std::vector<std::shared_ptr<const System>> systems;  // of this block
    const System* current = nullptr;
    std::vector<char> inCurrent(candidates.size(), 0);  // by candidate position
    std::vector<double> d2(candidates.size());
    std::vector<std::pair<double, std::size_t>> order(candidates.size());  // (d2, position)
    std::vector<std::size_t> members(keep);
    for (long long r = r0; r < r1; ++r)
        for (long long c = c0; c < c1; ++c) {
            const auto k = static_cast<std::size_t>(r * w.cols + c);
            if (!need[k])
                continue;
            const double x = cellX(c), y = cellY(r);
            for (std::size_t i = 0; i < candidates.size(); ++i) {
                const KrigingPoint& p = points_[candidates[i]];
                d2[i] = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
            }
            // Mostly the neighbourhood of the cell before: every member nearer
            // than every other candidate (a tie takes the full way).
            if (current) {
                double farthestIn = 0, nearestOut = std::numeric_limits<double>::infinity();
                for (std::size_t i = 0; i < candidates.size(); ++i)
                    if (inCurrent[i])
                        farthestIn = std::max(farthestIn, d2[i]);
                    else
                        nearestOut = std::min(nearestOut, d2[i]);
                if (farthestIn < nearestOut) {
                    out[k] = estimate(*current, x, y, b);
                    continue;
                }
            }
            // Candidates are in point order, so positions break ties as indices do.
            for (std::size_t i = 0; i < candidates.size(); ++i)
                order[i] = {d2[i], i};
            std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(keep), order.end());
            std::fill(inCurrent.begin(), inCurrent.end(), 0);
            for (std::size_t i = 0; i < keep; ++i) {
                inCurrent[order[i].second] = 1;
                members[i] = candidates[order[i].second];
            }
            std::sort(members.begin(), members.end());
            const auto found = std::find_if(systems.begin(), systems.end(),
                                            [&](const auto& s) { return s->members == members; });
            current = found != systems.end() ? found->get() : systems.emplace_back(factorize(members)).get();
            out[k] = estimate(*current, x, y, b);
        }
}

void OrdinaryKriging::krige(const CellWindow& window, const std::vector<char>& need,
                            std::vector<KrigingEstimate>& out, int threads) const
{
    const long long blockCols = (window.cols + kBlockSide - 1) / kBlockSide;
    const long long blockRows = (window.rows + kBlockSide - 1) / kBlockSide;
    const long long blocks = blockCols * blockRows;
    std::atomic<long long> next{0};
    auto work = [&] {
        for (long long k = next++; k < blocks; k = next++)
            krigeBlock(window, (k % blockCols) * kBlockSide, (k / blockCols) * kBlockSide, need, out);
    };
    const int extra = std::clamp(threads, 1, 64) - 1;
    std::vector<std::thread> pool;
    for (int t = 0; t < extra && t + 1 < blocks; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
}

}  // namespace tolvar
