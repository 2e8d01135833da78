#pragma once

#include <string>

namespace pelorin::cli {

// Hands the file to the desktop's default application (xdg-open) in its own
// session, with no terminal streams, and does not wait: whether a viewer
// exists or starts is not the batch command's concern.
void openWithDefaultApplication(const std::string &path);

} // namespace pelorin::cli
