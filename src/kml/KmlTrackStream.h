#pragma once

#include "fileio/ByteSink.h"
#include "georef/GeoRefRecord.h"
#include "gpx/TrackPoint.h"
#include "kml/KmlWriter.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace pelorin {

// Writes the KML document of a GPS log while the log is still being read: the
// reader hands over each completed point, a thread of the stream's own formats
// the track's lines and sends them to the sink, and once the log is read and
// the recordings placed, finish writes the rest. The bytes are those of
// writeKmlDocument with the track in file order.
//
// Whether the track carries elevations depends on whether any point of the log
// had one, known only at the end; a line goes out ahead only when it reads the
// same either way, and from the first that does not the lines wait for finish.
// The sink is called by one thread at a time: the stream's own until finish or
// abandon returns, the caller's after. Only a few thousand points' texts are in
// flight at any time; add waits when the thread falls behind.
class KmlTrackStream {
public:
    KmlTrackStream(KmlOptions options, ByteSink sink); // options.hasElevation is not used
    ~KmlTrackStream();                                 // abandons unless finished
    KmlTrackStream(const KmlTrackStream &) = delete;
    KmlTrackStream &operator=(const KmlTrackStream &) = delete;

    // The next point of the log, in file order; hasElevationSoFar: whether the
    // log has had an elevation up to and including this point.
    void add(const TrackPoint &point, bool hasElevationSoFar);
    // The log is read: track holds the added points first, in order; whether
    // it had an elevation is now final. Writes what is left. Rethrows what the
    // sink threw on the stream's thread.
    void finish(bool hasElevation, std::span<const TrackPoint> track, std::span<const GeoRefRecord> records);
    // Stops the thread; nothing more reaches the sink.
    void abandon() noexcept;

    // How many of the track's lines were written ahead of finish.
    std::size_t linesAhead() const noexcept { return linesAhead_; }

private:
    struct Batch;
    void run();
    bool format(const Batch &batch, std::string &out);
    void submit();
    void stop(bool abandoning) noexcept;

    KmlOptions options_;
    ByteSink sink_;
    std::unique_ptr<Batch> filling_; // the caller's, until full

    std::mutex mutex_;
    std::condition_variable readyOrClosed_;
    std::condition_variable freed_;
    std::deque<std::unique_ptr<Batch>> ready_;
    std::vector<std::unique_ptr<Batch>> free_;
    int batchesMade_ = 0;
    bool closing_ = false;
    bool abandoned_ = false;

    std::atomic<bool> halted_{false}; // the thread writes no more lines ahead
    std::size_t linesAhead_ = 0;      // the thread's until joined
    bool headWritten_ = false;        // the thread's until joined
    std::exception_ptr failure_;      // the thread's until joined
    std::thread thread_;
};

} // namespace pelorin
