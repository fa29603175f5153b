#include "kriging/regression_kriging.h"

#include "common/number_format.h"
#include "selection/model_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tolvar {

namespace {
// Three significant digits, without an exponent for distances in metres.
std::string short3(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, std::abs(v) >= 100 ? "%.0f" : "%.3g", v);
    return buf;
}
}  // namespace

void drawVariogram(Canvas& canvas, const MxwKriging& k)
{
    const int w = canvas.width(), h = canvas.height();
    const int left = 44, right = w - 10, top = 22, bottom = h - 44;
    const ExperimentalVariogram& v = k.variogram;
    canvas.setBrush(colors::kWhite);
    canvas.fillRect(0, 0, w, h);
    canvas.setFont(FontStyle{8, true});
    canvas.text(left, 4, std::string(mxwName(k.mxw)) +
                             ": variogram of the normalized residuals");
    const double xMax = std::max(v.classes.cutoff, v.distance.empty() ? 1.0 : v.distance.back());
    double yMax = 0;
    for (double g : v.gamma)
        yMax = std::max(yMax, g);
    if (k.fit.model)
        yMax = std::max(yMax, k.fit.model->sill());
    yMax = yMax > 0 ? yMax * 1.15 : 1.0;
    auto px = [&](double x) { return left + static_cast<int>(std::lround((right - left) * x / xMax)); };
    auto py = [&](double y) { return bottom - static_cast<int>(std::lround((bottom - top) * y / yMax)); };

    canvas.setPen(colors::kBlack, 1);
    canvas.line(left, top, left, bottom + 1);
    canvas.line(left, bottom, right + 1, bottom);
    canvas.setFont(FontStyle{7});
    for (int t = 0; t <= 4; ++t) {
        const double x = xMax * t / 4, y = yMax * t / 4;
        canvas.line(px(x), bottom, px(x), bottom + 4);
        const std::string xs = short3(x);
        canvas.text(std::min(px(x) - canvas.textWidth(xs) / 2, w - 2 - canvas.textWidth(xs)), bottom + 5, xs);
        canvas.line(left - 4, py(y), left, py(y));
        const std::string ys = short3(y);
        canvas.text(left - 6 - canvas.textWidth(ys), py(y) - canvas.textHeight(ys) / 2, ys);
    }
    canvas.text((left + right) / 2 - 30, bottom + 18, "distance");

    if (k.fit.model) {
        canvas.setPen(colors::kRed, 2);
        int lastX = px(0), lastY = py(k.fit.model->nugget);
        for (int i = 1; i <= 200; ++i) {
            const double x = xMax * i / 200;
            const int nx = px(x), ny = py(k.fit.model->gamma(x));
            canvas.line(lastX, lastY, nx, ny);
            lastX = nx;
            lastY = ny;
        }
    }
    canvas.setPen(colors::kBlack, 1);
    canvas.setBrush(colors::kBlack);
    canvas.setFont(FontStyle{6});
    for (std::size_t j = 0; j < v.gamma.size(); ++j) {
        const int x = px(v.distance[j]), y = py(v.gamma[j]);
        canvas.rectangle(x - 2, y - 2, x + 3, y + 3);
        canvas.text(x + 3, y - 12, std::to_string(v.pairs[j]));
    }
    canvas.setFont(FontStyle{7});
    const std::string parameters =
        k.fit.model ? std::string(k.fit.model->shapeName()) + ": nugget " + short3(k.fit.model->nugget) +
                          ", partial sill " + short3(k.fit.model->psill) + ", range " + short3(k.fit.model->range)
                    : "no model: " + k.fit.problem;
    canvas.text(left, h - 14, parameters);
}

}  // namespace tolvar
