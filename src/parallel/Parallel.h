#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <future>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace pelorin {

// How many threads parallel work runs on: one per core of the machine.
inline unsigned coresToUse() noexcept {
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

// Below this many items a part costs more in starting a thread than it saves.
inline constexpr std::size_t kWorthAThread = 4096;

// How many parts to split n items into: one per core, each of at least minItems.
inline std::size_t partsFor(std::size_t n, std::size_t minItems = kWorthAThread) noexcept {
    return std::clamp<std::size_t>(n / std::max<std::size_t>(minItems, 1), 1, coresToUse());
}

// Runs work(from, to, part) over [0, n) cut into `parts` consecutive ranges
// (part p before part p + 1), part 0 on this thread and every other on a
// thread of its own, and returns when all are done; what a part throws
// reaches the caller. A part no thread can be found for runs here after part
// 0: the outcome is the same.
template <class Work> void inParts(std::size_t n, std::size_t parts, Work &&work) {
    parts = std::max<std::size_t>(parts, 1);
    const auto start = [n, parts](std::size_t p) { return n / parts * p + std::min(p, n % parts); };
    std::vector<std::future<void>> others;
    others.reserve(parts - 1);
    std::size_t p = 1;
    for (; p < parts; ++p) {
        try {
            others.push_back(std::async(
                std::launch::async, [&work, from = start(p), to = start(p + 1), p] { work(from, to, p); }));
        } catch (const std::system_error &) {
            break;
        }
    }
    work(std::size_t{0}, start(1), std::size_t{0});
    for (; p < parts; ++p)
        work(start(p), start(p + 1), p);
    for (std::future<void> &other : others)
        other.get();
}

// Runs task(k) for every k in [0, count) at once, task(0) on this thread.
template <class Task> void eachAtOnce(std::size_t count, Task &&task) {
    inParts(count, count, [&task](std::size_t k, std::size_t, std::size_t) { task(k); });
}

// Threads that each run task(stop) until it returns, for work that takes its
// items from a shared queue; joined when the group goes. Fewer than asked for
// start when the system has no more to spare, perhaps none: then size() is 0
// and the caller does the work itself.
class WorkerThreads {
public:
    WorkerThreads(unsigned count, const std::function<void(std::stop_token)> &task) {
        threads_.reserve(count);
        try {
            for (unsigned t = 0; t < count; ++t)
                threads_.emplace_back(task);
        } catch (const std::system_error &) {
        }
    }
    std::size_t size() const noexcept { return threads_.size(); }
    void requestStop() noexcept {
        for (std::jthread &thread : threads_)
            thread.request_stop();
    }
    void join() { threads_.clear(); }

private:
    std::vector<std::jthread> threads_;
};

} // namespace pelorin
