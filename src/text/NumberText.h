#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// Locale-independent readings and printings of numbers in texts, as the
// coordinates and the clock offset field need them.

// How a whole number's text reads: leading blanks skipped, optional sign,
// digits up to the first other character; 0 when none; clamped to the 32-bit
// signed range. `whole` when that was the entire text, without blanks, with a
// digit, and within the range: what a strict reader accepts.
struct IntReading {
    std::int32_t value = 0;
    bool whole = false;
};
IntReading readInt(std::string_view text);

// readInt(text).value: the clock offset field's lenient reading.
std::int32_t intValue(std::string_view text);

// A length in seconds as a catalogue or GUANO writes it ("30", "12.5"): a
// number of fixed notation, not negative, nothing else.
std::optional<double> readLengthSeconds(std::string_view text);

// "%f" of the value widened to double: six decimals, no exponent, full stop.
std::string formatFixed6(double value);
void appendFixed6(std::string &out, double value);

// At most `decimals` decimals, trailing zeros dropped: 6.25, 12, -0.5; "0", never "-0".
void appendDecimal(std::string &out, double value, int decimals);

} // namespace pelorin
