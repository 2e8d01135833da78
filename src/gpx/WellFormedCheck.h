#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace pelorin {

// Reads up to `size` bytes from `at` into `into`: how many (0 at the end), or
// nothing on a read error. Called from more than one thread at once.
using ReadDocumentAt =
    std::function<std::optional<std::size_t>(std::uint64_t at, char *into, std::size_t size)>;

// Whether a document is well formed and declares no entity, as the reader's
// expat parser finds it, judged on a thread of its own while the reader's
// scan goes through the same bytes.
class WellFormedCheck {
public:
    WellFormedCheck() = default;
    ~WellFormedCheck();
    WellFormedCheck(const WellFormedCheck &) = delete;
    WellFormedCheck &operator=(const WellFormedCheck &) = delete;

    // False when there is no thread to spare.
    bool start(ReadDocumentAt readAt);
    // Waits for the verdict. A read error is no verdict: false, and the
    // reader's own read says why.
    bool wellFormed();
    // Whether the verdict is in, waiting at most `wait` for it.
    bool done(std::chrono::milliseconds wait);
    // Stops the check early; its verdict is then false.
    void cancel() noexcept { cancelled_ = true; }

private:
    void run(const ReadDocumentAt &readAt);
    void check(const ReadDocumentAt &readAt);

    std::thread thread_;
    std::atomic<bool> cancelled_{false};
    bool wellFormed_ = false;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false; // the thread has its verdict
};

} // namespace pelorin
