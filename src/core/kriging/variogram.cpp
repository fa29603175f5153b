#include "kriging/variogram.h"

#include "kriging/point_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tolvar {

LagClasses lagClassesFor(const std::vector<KrigingPoint>& points, std::optional<double> width,
                         std::optional<double> cutoff)
{
    LagClasses c;
    if (points.empty())
        return c;
    double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const KrigingPoint& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    c.cutoff = cutoff.value_or(std::hypot(x1 - x0, y1 - y0) / 3.0);
    if (width) {
        c.width = std::clamp(*width, c.cutoff / kMaxVariogramClasses, c.cutoff);
    } else {
        const double spacing = PointIndex(points).meanNearestDistance();
        c.width = std::clamp(spacing, c.cutoff / 30.0, c.cutoff / 5.0);
    }
    return c;
}

ExperimentalVariogram experimentalVariogram(const std::vector<KrigingPoint>& points, const LagClasses& classes)
{
    ExperimentalVariogram v;
    v.classes = classes;
    if (!(classes.width > 0) || !(classes.cutoff > 0))
        return v;
    const auto count = static_cast<std::size_t>(std::ceil(classes.cutoff / classes.width - 1e-12));
    std::vector<long long> n(count, 0);
    std::vector<double> sumH(count, 0.0), sumSq(count, 0.0);
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            const double h = std::hypot(points[i].x - points[j].x, points[i].y - points[j].y);
            if (h > classes.cutoff)
                continue;
            // Class k holds (k width, (k + 1) width]; distance 0 goes to the first.
            std::size_t k = h > 0 ? static_cast<std::size_t>(std::ceil(h / classes.width)) - 1 : 0;
            k = std::min(k, count - 1);
            const double d = points[i].value - points[j].value;
            ++n[k];
            sumH[k] += h;
            sumSq[k] += d * d;
        }
    for (std::size_t k = 0; k < count; ++k)
        if (n[k] > 0) {
            v.pairs.push_back(n[k]);
            v.distance.push_back(sumH[k] / static_cast<double>(n[k]));
            v.gamma.push_back(0.5 * sumSq[k] / static_cast<double>(n[k]));
        }
    return v;
}

double shapeValue(VariogramShape shape, double h, double range)
{
    if (h <= 0)
        return 0.0;
    if (shape == VariogramShape::Exponential)
        return 1.0 - std::exp(-h / range);
    if (h >= range)
        return 1.0;
    const double t = h / range;
    return 1.5 * t - 0.5 * t * t * t;
}

double VariogramModel::gamma(double h) const
{
    return h <= 0 ? 0.0 : nugget + psill * shapeValue(shape, h, range);
}

double VariogramModel::covariance(double h) const
{
    return h <= 0 ? sill() : psill * (1.0 - shapeValue(shape, h, range));
}

const char* VariogramModel::shapeName() const
{
    return shape == VariogramShape::Spherical ? "spherical" : "exponential";
}

namespace {

double weightOf(const ExperimentalVariogram& v, std::size_t j)
{
    // A class of pairs at distance 0 only would get an infinite weight.
    const double h = std::max(v.distance[j], 1e-12 * v.classes.width);
    return static_cast<double>(v.pairs[j]) / (h * h);
}

// The nugget and partial sill (both >= 0) that fit best for one range.
VariogramModel bestSills(const ExperimentalVariogram& v, VariogramShape shape, double range)
{
    double sw = 0, sf = 0, sff = 0, sg = 0, sfg = 0;
    for (std::size_t j = 0; j < v.gamma.size(); ++j) {
        const double w = weightOf(v, j), f = shapeValue(shape, v.distance[j], range);
        sw += w;
        sf += w * f;
        sff += w * f * f;
        sg += w * v.gamma[j];
        sfg += w * f * v.gamma[j];
    }
    std::vector<VariogramModel> candidates;
    const double det = sw * sff - sf * sf;
    if (det > 1e-14 * sw * sff) {
        const double c0 = (sff * sg - sf * sfg) / det, c1 = (sw * sfg - sf * sg) / det;
        if (c0 >= 0 && c1 >= 0)
            return {shape, c0, c1, range};
    }
    if (sff > 0)  // no nugget
        candidates.push_back({shape, 0.0, std::max(0.0, sfg / sff), range});
    candidates.push_back({shape, std::max(0.0, sg / sw), 0.0, range});  // no structure
    VariogramModel best = candidates.front();
    double bestError = std::numeric_limits<double>::infinity();
    for (const VariogramModel& m : candidates)
        if (const double e = weightedSquaredError(v, m); e < bestError) {
            bestError = e;
            best = m;
        }
    return best;
}

// The range (with its sills) that minimizes the weighted error.
VariogramModel fitShape(const ExperimentalVariogram& v, VariogramShape shape)
{
    const double lo = v.distance.front() / 10.0, hi = 10.0 * std::max(v.classes.cutoff, v.distance.back());
    constexpr int kScan = 240;
    auto rangeAt = [&](double t) { return lo * std::pow(hi / lo, t); };
    auto error = [&](double range) { return weightedSquaredError(v, bestSills(v, shape, range)); };
    int bestK = 0;
    double bestError = std::numeric_limits<double>::infinity();
    for (int k = 0; k <= kScan; ++k)
        if (const double e = error(rangeAt(static_cast<double>(k) / kScan)); e < bestError) {
            bestError = e;
            bestK = k;
        }
    // Golden section between the scan's neighbours of the best range.
    double a = static_cast<double>(std::max(0, bestK - 1)) / kScan;
    double b = static_cast<double>(std::min(kScan, bestK + 1)) / kScan;
    const double g = (std::sqrt(5.0) - 1) / 2;
    double c = b - g * (b - a), d = a + g * (b - a);
    double ec = error(rangeAt(c)), ed = error(rangeAt(d));
    for (int i = 0; i < 100 && b - a > 1e-12; ++i) {
        if (ec < ed) {
            b = d;
            d = c;
            ed = ec;
            c = b - g * (b - a);
            ec = error(rangeAt(c));
        } else {
            a = c;
            c = d;
            ec = ed;
            d = a + g * (b - a);
            ed = error(rangeAt(d));
        }
    }
    const double t = ec < ed ? c : d;
    VariogramModel found = bestSills(v, shape, rangeAt(t));
    const VariogramModel scanned = bestSills(v, shape, rangeAt(static_cast<double>(bestK) / kScan));
    return weightedSquaredError(v, found) <= weightedSquaredError(v, scanned) ? found : scanned;
}

}  // namespace

double weightedSquaredError(const ExperimentalVariogram& v, const VariogramModel& m)
{
    double e = 0;
    for (std::size_t j = 0; j < v.gamma.size(); ++j) {
        const double r = v.gamma[j] - m.gamma(v.distance[j]);
        e += weightOf(v, j) * r * r;
    }
    return e;
}

VariogramFit fitVariogram(const ExperimentalVariogram& v, int pointCount)
{
    VariogramFit fit;
    if (pointCount < kMinVariogramPoints) {
        fit.problem = "too few points for a variogram (" + std::to_string(pointCount) + ", at least " +
                      std::to_string(kMinVariogramPoints) + " are needed)";
        return fit;
    }
    if (static_cast<int>(v.gamma.size()) < kMinVariogramClasses) {
        fit.problem = "too few distance classes with pairs (" + std::to_string(v.gamma.size()) +
                      ", at least " + std::to_string(kMinVariogramClasses) + " are needed)";
        return fit;
    }
    double bestError = std::numeric_limits<double>::infinity();
    for (const VariogramShape shape : {VariogramShape::Spherical, VariogramShape::Exponential}) {
        const VariogramModel m = fitShape(v, shape);
        const double e = weightedSquaredError(v, m);
        fit.tried.push_back(m);
        fit.errors.push_back(e);
        if (e < bestError) {
            bestError = e;
            fit.model = m;
        }
    }
    const VariogramModel& m = *fit.model;
    if (!(m.sill() > 0)) {
        fit.problem = "the normalized residuals do not vary";
        fit.model.reset();
    } else if (m.gamma(v.distance.front()) >= 0.95 * m.sill()) {
        fit.problem = "the variogram shows no spatial correlation (pure nugget)";
        fit.model.reset();
    }
    return fit;
}

}  // namespace tolvar
