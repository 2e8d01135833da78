#include "gpx/BuildingThread.h"

#include <system_error>

namespace pelorin {

namespace {

// Batches in flight: the one the parser fills, the one being built, and two
// to absorb the difference in pace.
constexpr int kBatches = 4;

} // namespace

bool BuildingThread::start() {
    try {
        thread_ = std::thread(&BuildingThread::run, this);
        return true;
    } catch (const std::system_error &) {
        return false;
    }
}

std::unique_ptr<CapturedPoints> BuildingThread::exchange(std::unique_ptr<CapturedPoints> full) {
    std::unique_lock lock(mutex_);
    full_.push_back(std::move(full));
    ready_.notify_one();
    freed_.wait(lock, [this] { return !spare_.empty() || made_ < kBatches; });
    if (spare_.empty()) {
        ++made_;
        return std::make_unique<CapturedPoints>();
    }
    std::unique_ptr<CapturedPoints> empty = std::move(spare_.back());
    spare_.pop_back();
    return empty;
}

void BuildingThread::close() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    ready_.notify_one();
    thread_.join();
}

void BuildingThread::run() {
    for (;;) {
        std::unique_ptr<CapturedPoints> batch;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return !full_.empty() || closing_; });
            if (full_.empty())
                return;
            batch = std::move(full_.front());
            full_.pop_front();
        }
        build_(*batch);
        {
            std::lock_guard lock(mutex_);
            spare_.push_back(std::move(batch));
        }
        freed_.notify_one();
    }
}

} // namespace pelorin
