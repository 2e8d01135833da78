#pragma once

#include <functional>
#include <string_view>

namespace pelorin {

// Where a document writer sends its bytes, piece by piece.
using ByteSink = std::function<void(std::string_view bytes)>;

} // namespace pelorin
