#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// One CSV field as RFC 4180 writes it: quoted, with its quotes doubled, when
// it holds a comma, a quote or a line break, or starts or ends with a blank
// that a reader would trim; as it is otherwise.
void appendCsvField(std::string &out, std::string_view value);

} // namespace pelorin
