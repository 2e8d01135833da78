#pragma once

#include "documents/KmlWriter.h"
#include "fileio/ByteSink.h"
#include "georef/GeoRefRecord.h"
#include "gpx/TrackPoint.h"

#include <cstddef>
#include <exception>
#include <span>
#include <string>

namespace pelorin {

// Writes the KML document of a GPS log while the log is still being read: the
// reader hands over each completed point (from the thread that builds them,
// see GpxReader::setReadOnTwoCores), its track line goes to the sink at
// once, and once the log is read and the recordings placed, finish writes the
// rest. The bytes are those of writeKmlDocument with the track in file order.
//
// Whether the track carries elevations depends on whether any point of the log
// had one, known only at the end; a line goes out ahead only when it reads the
// same either way, and from the first that does not the lines wait for finish.
// One thread at a time calls the stream, and the sink through it.
class KmlTrackStream {
public:
    KmlTrackStream(KmlOptions options, ByteSink sink); // options.hasElevation is not used
    KmlTrackStream(const KmlTrackStream &) = delete;
    KmlTrackStream &operator=(const KmlTrackStream &) = delete;

    // The next point of the log, in file order; hasElevationSoFar: whether the
    // log has had an elevation up to and including this point. Never throws:
    // what the sink throws is kept for finish.
    void add(const TrackPoint &point, bool hasElevationSoFar) noexcept;
    // The log is read: track holds the added points first, in order; whether
    // it had an elevation is now final. Writes what is left. Rethrows what the
    // sink threw while points were added.
    void finish(bool hasElevation, std::span<const TrackPoint> track, std::span<const GeoRefRecord> records);
    // Nothing more reaches the sink.
    void abandon() noexcept;

    // How many of the track's lines were written ahead of finish.
    std::size_t linesAhead() const noexcept { return linesAhead_; }

private:
    void send() noexcept;

    KmlOptions options_;
    ByteSink sink_;
    std::string out_;     // formatted, not yet sent
    bool halted_ = false; // no more lines ahead
    bool headWritten_ = false;
    std::size_t linesAhead_ = 0;
    std::exception_ptr failure_;
};

} // namespace pelorin
