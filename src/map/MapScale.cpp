#include "map/MapScale.h"

#include <array>
#include <cmath>

namespace pelorin {

double niceScaleLength(double maxMetres) {
    const double power = std::pow(10.0, std::floor(std::log10(maxMetres)));
    for (double step : {5.0, 2.0, 1.0}) {
        if (step * power <= maxMetres)
            return step * power;
    }
    return power;
}

QString scaleLengthText(double metres) {
    if (metres >= 1000)
        return QStringLiteral("%1 km").arg(metres / 1000, 0, 'g', 6);
    if (metres >= 1)
        return QStringLiteral("%1 m").arg(metres, 0, 'g', 6);
    return QStringLiteral("%1 cm").arg(metres * 100, 0, 'g', 6);
}

double graticuleStep(double spanDegrees, int maxLines) {
    static constexpr std::array kSteps{0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05,
                                       0.1,    0.2,    0.5,    1.0,   2.0,   5.0,   10.0, 15.0, 30.0};
    for (double step : kSteps) {
        if (spanDegrees / step <= maxLines)
            return step;
    }
    return kSteps.back();
}

} // namespace pelorin
