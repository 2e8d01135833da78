#pragma once

namespace pelorin::cli {

// The batch command's exit statuses; scripts depend on them.
enum ExitStatus : int {
    kWritten = 0,
    kNoTimeOverlap = 1,
    kBadInput = 2, // usage error, unreadable or invalid input
    kWriteFailed = 3,
    kSomeRefused = 4, // --write-guano: files refused, the others written
};

} // namespace pelorin::cli
