#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Appends text as a JSON string, quotes included: '"' and '\' escaped, control
// characters as \n, \t, \r or \u00XX, bytes that are not well-formed UTF-8
// dropped (a JSON text is UTF-8, RFC 8259).
void appendJsonString(std::string &out, std::string_view text);

} // namespace pelorin
