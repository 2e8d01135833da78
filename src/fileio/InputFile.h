#pragma once

#include <string>

namespace pelorin {

// Why the file at path cannot be read as an input, before anything opens it:
// missing, a folder, or not a regular file (a FIFO or a device could block or
// never end). Empty when it can be read.
std::string inputFileProblem(const std::string &path);

} // namespace pelorin
