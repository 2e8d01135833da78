#include "kml/KmlTrackStream.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace pelorin {

namespace {

// Few enough points in flight to stay in the caches, enough to lock rarely.
constexpr std::size_t kBatchPoints = 2048;
constexpr std::size_t kBatchBytes = 256 * 1024; // a batch of unusually long texts goes early
constexpr int kBatches = 4;
constexpr std::size_t kChunk = 64 * 1024;

// True when the elevation writes the line a point without one writes.
bool readsAsNone(std::string_view elevation) {
    std::string kept;
    appendXmlText(kept, elevation);
    return kept.empty() || kept == "0";
}

} // namespace

// Copies of the texts a line needs, since the reader's list of points may move
// while the thread reads.
struct KmlTrackStream::Batch {
    struct Entry {
        std::size_t lon, lat, elevation; // lengths in texts, back to back
        bool hasElevationSoFar;
    };
    std::vector<char> texts; // used up to `used`: grown, never shrunk, so filling is a copy
    std::size_t used = 0;
    std::vector<Entry> entries;

    void clear() noexcept {
        used = 0;
        entries.clear();
    }
    void append(std::string_view lon, std::string_view lat, std::string_view elevation, bool soFar) {
        const std::size_t size = lon.size() + lat.size() + elevation.size();
        if (texts.size() - used < size)
            texts.resize(std::max(texts.size() * 2, used + size));
        char *at = texts.data() + used;
        for (const std::string_view text : {lon, lat, elevation}) {
            if (!text.empty()) // an absent text has no address
                std::memcpy(at, text.data(), text.size());
            at += text.size();
        }
        used += size;
        entries.push_back({lon.size(), lat.size(), elevation.size(), soFar});
    }
};

KmlTrackStream::KmlTrackStream(KmlOptions options, ByteSink sink)
    : options_(std::move(options))
    , sink_(std::move(sink)) {
    try {
        thread_ = std::thread(&KmlTrackStream::run, this);
    } catch (const std::system_error &) {
        halted_ = true; // no thread to spare: finish writes it all
    }
}

KmlTrackStream::~KmlTrackStream() {
    abandon();
}

void KmlTrackStream::add(const TrackPoint &point, bool hasElevationSoFar) {
    if (halted_.load(std::memory_order_relaxed))
        return;
    if (!filling_) {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [this] { return !free_.empty() || batchesMade_ < kBatches; });
        if (free_.empty()) {
            ++batchesMade_;
            lock.unlock();
            filling_ = std::make_unique<Batch>();
            filling_->texts.resize(kBatchPoints * 32);
            filling_->entries.reserve(kBatchPoints);
        } else {
            filling_ = std::move(free_.back());
            free_.pop_back();
        }
    }
    const std::string_view lon = point.lon().value_or(std::string_view{});
    const std::string_view lat = point.lat().value_or(std::string_view{});
    const std::string_view elevation =
        options_.elevation ? point.elevation().value_or(std::string_view{}) : "";
    filling_->append(lon, lat, elevation, hasElevationSoFar);
    if (filling_->entries.size() == kBatchPoints || filling_->used >= kBatchBytes)
        submit();
}

void KmlTrackStream::submit() {
    if (!filling_)
        return;
    {
        std::lock_guard lock(mutex_);
        ready_.push_back(std::move(filling_));
    }
    readyOrClosed_.notify_one();
}

void KmlTrackStream::run() {
    std::string out;
    try {
        out = kmlHead(options_);
        out.reserve(kChunk + 4096);
        headWritten_ = true;
        for (;;) {
            std::unique_ptr<Batch> batch;
            {
                std::unique_lock lock(mutex_);
                readyOrClosed_.wait(lock, [this] { return !ready_.empty() || closing_ || abandoned_; });
                if (abandoned_)
                    return;
                if (ready_.empty())
                    break; // closing, and everything sent is written
                batch = std::move(ready_.front());
                ready_.pop_front();
            }
            if (!halted_.load(std::memory_order_relaxed) && !format(*batch, out))
                halted_ = true;
            if (out.size() >= kChunk) {
                sink_(out);
                out.clear();
            }
            batch->clear();
            {
                std::lock_guard lock(mutex_);
                free_.push_back(std::move(batch));
            }
            freed_.notify_one();
        }
        sink_(out);
    } catch (...) {
        failure_ = std::current_exception();
        halted_ = true;
        std::lock_guard lock(mutex_);
        ready_.clear(); // the caller must not wait for batches that will not come back
        batchesMade_ = 0;
        freed_.notify_all();
    }
}

// Appends the batch's lines; false at the first line whose elevation would
// make it read differently once the log turns out to have no elevation at all.
bool KmlTrackStream::format(const Batch &batch, std::string &out) {
    std::string_view texts(batch.texts.data(), batch.used);
    for (const Batch::Entry &entry : batch.entries) {
        const std::string_view lon = texts.substr(0, entry.lon);
        const std::string_view lat = texts.substr(entry.lon, entry.lat);
        const std::string_view elevation = texts.substr(entry.lon + entry.lat, entry.elevation);
        // Only an elevation read before the log's first `ele` (an attribute) needs a look.
        if (!entry.hasElevationSoFar && !elevation.empty() && !readsAsNone(elevation))
            return false;
        appendKmlTrackLine(out, lon, lat, elevation);
        texts.remove_prefix(entry.lon + entry.lat + entry.elevation);
        ++linesAhead_;
    }
    return true;
}

void KmlTrackStream::stop(bool abandoning) noexcept {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        (abandoning ? abandoned_ : closing_) = true;
    }
    readyOrClosed_.notify_one();
    thread_.join();
}

void KmlTrackStream::abandon() noexcept {
    halted_ = true;
    stop(true);
}

void KmlTrackStream::finish(bool hasElevation, std::span<const TrackPoint> track,
                            std::span<const GeoRefRecord> records) {
    if (!halted_)
        submit();
    stop(false);
    if (failure_)
        std::rethrow_exception(failure_);
    assert(linesAhead_ <= track.size());
    KmlOptions options = options_;
    options.hasElevation = hasElevation;
    if (!headWritten_)
        sink_(kmlHead(options));
    writeKmlDocumentFrom(options, TrackView{track, {}}, linesAhead_, records, sink_);
}

} // namespace pelorin
