#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace pelorin::cli {

// Where a message points: a file and, when known, a line and a column (1-based).
struct Place {
    std::string_view file;
    long line = 0;
    long column = 0;
};

// Every message of the command is one line on standard error, "pelorin: " first,
// then "FILE:LINE:COL: " as far as the place is known, as compilers write them.
// A message from the core may already name the file: it is named once.
void say(std::ostream &err, std::string_view message);
void say(std::ostream &err, const Place &place, std::string_view message);

// The wordings several paths share.
std::string noTimeOverlap(std::string_view why);
std::string noWavFilesUnder(std::string_view folder, std::size_t skipped);
std::string usageHint(std::string_view error);

} // namespace pelorin::cli
