#pragma once

#include <cstddef>
#include <future>
#include <system_error>
#include <utility>

namespace pelorin {

// Below this many items a second thread costs more than it saves.
inline constexpr std::size_t kWorthTwoThreads = 8192;

// Runs here() on this thread and there() on another one at the same time, and
// returns when both are done; what either throws reaches the caller. Without a
// thread to spare, there() runs after here(): the outcome is the same.
template <class Here, class There> void bothAtOnce(Here &&here, There &&there) {
    std::future<void> other;
    try {
        other = std::async(std::launch::async, std::forward<There>(there));
    } catch (const std::system_error &) {
    }
    here();
    if (other.valid())
        other.get();
    else
        there();
}

// Runs work(from, to, half) over [0, n) as two halves, the upper one (half 1)
// on another thread when n is large enough to pay for it.
template <class Work> void inTwoHalves(std::size_t n, Work &&work) {
    const std::size_t middle = n / 2;
    if (n < kWorthTwoThreads) {
        work(std::size_t{0}, middle, 0);
        work(middle, n, 1);
        return;
    }
    bothAtOnce([&] { work(std::size_t{0}, middle, 0); }, [&] { work(middle, n, 1); });
}

} // namespace pelorin
