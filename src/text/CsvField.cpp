#include "text/CsvField.h"

#include "text/Blank.h"

namespace pelorin {

void appendCsvField(std::string &out, std::string_view value) {
    if (value.find_first_of(",\"\r\n") == std::string_view::npos && trimmed(value).size() == value.size()) {
        out.append(value);
        return;
    }
    out.push_back('"');
    for (const char c : value) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

} // namespace pelorin
