#pragma once

#include <QString>

namespace pelorin {

// The longest length of the form 1, 2 or 5 times a power of ten that is at
// most maxMetres (maxMetres > 0).
double niceScaleLength(double maxMetres);

// "250 m", "2 km", "1.5 km" and so on.
QString scaleLengthText(double metres);

// The graticule's spacing in degrees: the smallest of a fixed ladder of
// steps that draws at most maxLines lines across span degrees.
double graticuleStep(double spanDegrees, int maxLines);

} // namespace pelorin
