#pragma once

#include <string>
#include <vector>

namespace pelorin {

// Starts the program argv[0] (found on PATH) with argv in a session of its
// own, its standard streams on /dev/null, and does not wait for it: once the
// caller exits, init reaps it. Whether it could be started is not reported.
void startDetached(const std::vector<std::string> &argv);

} // namespace pelorin
