#pragma once

#include "parallel/Parallel.h"

#include <cstddef>

namespace pelorin {

// Runs work(from, to, half) over [0, n) as two halves, the upper one (half 1)
// on another thread when n is large enough to pay for it. Kept for the one
// caller that gathers its output in two lists; new code splits with
// inParts(n, partsFor(n), ...), over every core.
template <class Work> void inTwoHalves(std::size_t n, Work &&work) {
    inParts(n, partsFor(n) < 2 ? 1 : 2, [&work](std::size_t from, std::size_t to, std::size_t part) {
        work(from, to, static_cast<int>(part));
    });
}

} // namespace pelorin
