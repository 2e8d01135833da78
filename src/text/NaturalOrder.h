#pragma once

#include <string_view>

namespace pelorin {

// Natural order of file names without Qt: runs of decimal digits compare by
// value ("night2" before "night10"), the bytes between them as they are; equal
// values with more leading zeros come after, so no two names tie unless equal.
bool naturalLess(std::string_view a, std::string_view b);

} // namespace pelorin
