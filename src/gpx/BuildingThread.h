#pragma once

#include "gpx/CapturedPoints.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pelorin {

// Builds the captured points on its own thread, batch by batch in the order
// they come; the parser's thread waits only when every batch is in use.
// One thread, not one per core: it is the second stage of a pipeline whose
// first (the parser) is a single stream, and the points must be built, and
// the observer called, in file order. More builders would only wait on the
// parser and on each other.
class BuildingThread {
public:
    using Build = std::function<void(CapturedPoints &batch)>;
    explicit BuildingThread(Build build)
        : build_(std::move(build)) {}
    ~BuildingThread() { close(); }
    BuildingThread(const BuildingThread &) = delete;
    BuildingThread &operator=(const BuildingThread &) = delete;

    // False when there is no thread to spare: the parser's thread then builds.
    bool start();
    // Takes a full batch and gives an empty one back.
    std::unique_ptr<CapturedPoints> exchange(std::unique_ptr<CapturedPoints> full);
    // Builds what is left and stops.
    void close();

private:
    void run();

    Build build_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable freed_;
    std::deque<std::unique_ptr<CapturedPoints>> full_;
    std::vector<std::unique_ptr<CapturedPoints>> spare_;
    int made_ = 1; // the one the parser fills
    bool closing_ = false;
    std::thread thread_;
};

} // namespace pelorin
