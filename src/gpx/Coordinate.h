#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// The one reading of a latitude's or longitude's text, for the pass, the KML
// writer, the tables and the reader's check alike.

// How a decimal text reads. The value is the longest decimal prefix after
// leading blanks (full stop as separator, optional exponent), 0 when none,
// rounded to single precision: what the track line and the pins have always
// shown, so "5l.8427" reads 5. Whether that was the whole text is a separate
// question, answered by `whole`.
struct DecimalReading {
    float value = 0;
    double precise = 0; // the same prefix in double precision, for ordering
    bool whole = false; // a number, with nothing but blanks around it
};

DecimalReading readDecimal(std::string_view text);

// Why a coordinate cannot be used; None when it can.
enum class CoordinateFault : std::uint8_t { None, Missing, NotANumber, OutOfRange };

struct CoordinateReading {
    float value = 0;    // as readDecimal, 0 when missing
    double precise = 0; // as readDecimal
    CoordinateFault fault = CoordinateFault::None;

    bool usable() const noexcept { return fault == CoordinateFault::None; }
};

// The value alone, for drawing and placing (0 when missing): what readLatitude
// and readLongitude give as `value`, without judging the text.
float coordinateValue(std::optional<std::string_view> text);

// Usable: the whole text is a number within ±90 (latitude) or ±180 (longitude).
CoordinateReading readLatitude(std::optional<std::string_view> text);
CoordinateReading readLongitude(std::optional<std::string_view> text);

// readLatitude(text).usable() without the value, in a fraction of the time,
// for checking every point as it is read.
bool usableLatitude(std::optional<std::string_view> text);
bool usableLongitude(std::optional<std::string_view> text);

// What is wrong with a point's coordinates, for a warning:
// `latitude "5l.8427" is not a number`, `longitude missing`; "" when both are usable.
std::string coordinateProblemText(std::optional<std::string_view> lat, std::optional<std::string_view> lon);

} // namespace pelorin
