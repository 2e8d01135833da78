#include "documents/KmlTrackStream.h"

#include <string_view>
#include <utility>

namespace pelorin {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// True when the elevation writes the line a point without one writes.
bool readsAsNone(std::string_view elevation) {
    std::string kept;
    appendXmlText(kept, elevation);
    return kept.empty() || kept == "0";
}

} // namespace

KmlTrackStream::KmlTrackStream(KmlOptions options, ByteSink sink)
    : options_(std::move(options))
    , sink_(std::move(sink)) {}

void KmlTrackStream::add(const TrackPoint &point, bool hasElevationSoFar) noexcept {
    if (halted_)
        return;
    const std::string_view elevation =
        options_.elevation ? point.elevation().value_or(std::string_view{}) : "";
    try {
        // Only an elevation read before the log's first `ele` (an attribute) needs a look.
        if (!hasElevationSoFar && !elevation.empty() && !readsAsNone(elevation)) {
            halted_ = true;
            send();
            return;
        }
        if (!headWritten_) {
            out_ = kmlHead(options_);
            out_.reserve(kChunk + 4096);
            headWritten_ = true;
        }
        appendKmlTrackLine(out_, point.lon().value_or(std::string_view{}),
                           point.lat().value_or(std::string_view{}), elevation);
        ++linesAhead_;
    } catch (...) {
        failure_ = std::current_exception();
        halted_ = true;
        return;
    }
    if (out_.size() >= kChunk)
        send();
}

void KmlTrackStream::send() noexcept {
    if (out_.empty() || failure_)
        return;
    try {
        sink_(out_);
        out_.clear();
    } catch (...) {
        failure_ = std::current_exception();
        halted_ = true;
    }
}

void KmlTrackStream::abandon() noexcept {
    halted_ = true;
    out_.clear();
    out_.shrink_to_fit();
}

void KmlTrackStream::finish(bool hasElevation, std::span<const TrackPoint> track,
                            std::span<const GeoRefRecord> records) {
    send();
    if (failure_)
        std::rethrow_exception(failure_);
    KmlOptions options = options_;
    options.hasElevation = hasElevation;
    if (!headWritten_)
        sink_(kmlHead(options));
    writeKmlDocumentFrom(options, TrackView{track, {}}, linesAhead_, records, sink_);
}

} // namespace pelorin
