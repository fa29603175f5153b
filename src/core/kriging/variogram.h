#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tolvar {

// A value at a place, in map units.
struct KrigingPoint {
    double x = 0.0, y = 0.0, value = 0.0;
};

// The distance classes of an experimental variogram: [0, width], (width,
// 2 width], ... up to and including `cutoff`.
struct LagClasses {
    double width = 0.0;
    double cutoff = 0.0;
};

inline constexpr double kMaxVariogramClasses = 1000;

// The classes a set of points suggests, when the user names none:
// - cutoff: a third of the diagonal of the points' bounding box; pairs farther
//   apart are few and lie mostly along the edges of the area;
// - width: the mean distance of a point to its nearest neighbour (the spacing
//   of the points), kept between cutoff / 30 and cutoff / 5, so that the
//   first classes hold the closest pairs and there are 5 to 30 classes.
// A given width or cutoff replaces its default; a width larger than the
// cutoff is cut to it, one that would give more than kMaxVariogramClasses
// classes is widened to give that many. All points at one place give a zero
// cutoff.
LagClasses lagClassesFor(const std::vector<KrigingPoint>& points, std::optional<double> width = {},
                         std::optional<double> cutoff = {});

// The semivariance of the pairs of each class that holds any.
struct ExperimentalVariogram {
    LagClasses classes;
    std::vector<long long> pairs;  // N(h) of each class
    std::vector<double> distance;  // mean distance h of its pairs
    std::vector<double> gamma;     // half the mean squared difference
};

ExperimentalVariogram experimentalVariogram(const std::vector<KrigingPoint>& points, const LagClasses& classes);

enum class VariogramShape { Spherical, Exponential };

// nugget + partial sill * shape(h / range). The exponential one uses
// 1 - exp(-h / range), so its practical range (95 % of the sill) is 3 range.
struct VariogramModel {
    VariogramShape shape = VariogramShape::Spherical;
    double nugget = 0.0;
    double psill = 0.0;
    double range = 1.0;

    double sill() const { return nugget + psill; }
    double gamma(double h) const;
    // The covariance: the sill at distance 0, sill - gamma(h) beyond.
    double covariance(double h) const;
    const char* shapeName() const;  // "spherical", "exponential"
};

// The structured part of the model at h, from 0 to 1.
double shapeValue(VariogramShape shape, double h, double range);

// Weighted least squares of a model to the classes, weights N(h) / h^2.
double weightedSquaredError(const ExperimentalVariogram& v, const VariogramModel& m);

struct VariogramFit {
    std::optional<VariogramModel> model;  // the better of the two shapes
    std::vector<VariogramModel> tried;    // both shapes as fitted, when fitted
    std::vector<double> errors;           // their weighted squared errors
    std::string problem;                  // why there is no model, else empty
};

inline constexpr int kMinVariogramPoints = 10;
inline constexpr int kMinVariogramClasses = 3;

// Fits nugget + spherical and nugget + exponential (nugget and partial sill
// not negative) and keeps the one with the smaller weighted squared error.
// For each range the two sills follow by least squares; the range is found
// by a scan over a wide bracket refined by golden section, so the fit does
// not depend on starting values. No model comes back, with the reason, when
// the points are too few, the classes too few, or the variogram shows no
// spatial structure (a pure nugget: the model is at 95 % of its sill or more
// at the first class already, so the classes show no structure to krige).
VariogramFit fitVariogram(const ExperimentalVariogram& v, int pointCount);

}  // namespace tolvar
