#pragma once

#include <cstddef>
#include <future>
#include <system_error>

namespace pelorin {

// Below this many items a second thread costs more than it saves.
inline constexpr std::size_t kWorthTwoThreads = 8192;

// Runs work(from, to, half) over [0, n) as two halves, the upper one (half 1)
// on another thread when n is large enough to pay for it, and returns when
// both are done; what either throws reaches the caller. Without a thread to
// spare, the halves run one after the other: the outcome is the same.
template <class Work> void inTwoHalves(std::size_t n, Work &&work) {
    const std::size_t middle = n / 2;
    std::future<void> upper;
    if (n >= kWorthTwoThreads) {
        try {
            upper = std::async(std::launch::async, [&work, middle, n] { work(middle, n, 1); });
        } catch (const std::system_error &) {
        }
    }
    work(std::size_t{0}, middle, 0);
    if (upper.valid())
        upper.get();
    else
        work(middle, n, 1);
}

} // namespace pelorin
