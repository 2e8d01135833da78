#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

using RecordingTime = std::chrono::sys_time<std::chrono::milliseconds>;

// Where a recording's start time came from. A WAV file's sources are tried in
// the order listed; None is for a host's row that has no date at all, which
// the pass reports as no-time.
enum class StartTimeSource : std::uint8_t {
    Catalogue,
    Guano,
    Wamd, // Wildlife Acoustics' own chunk
    AudioMothComment,
    Bext,
    FileName,
    ModificationTime,
    None
};

// "catalogue", "GUANO", "wamd", "AudioMoth comment", "bext", "file name",
// "modification time"; "" for None.
std::string_view startTimeSourceName(StartTimeSource source);

// WGS84 degrees.
struct LatLon {
    double lat = 0;
    double lon = 0;
    friend bool operator==(const LatLon &, const LatLon &) = default;
};

// A sound recording as the geo-referencing sees it: plain values, whatever
// the source (host table, CSV catalogue, WAV metadata).
struct Recording {
    RecordingTime recordingTime{};    // absolute instant of the start
    std::string filename;             // a file name with extension
    std::vector<std::string> species; // abbreviations in order; a missing one is ""
    // What someone checking the night should know about the start time, empty
    // when nothing: a zone-less time in the hour a DST change repeats or skips
    // (and which reading was taken), a GUANO Timestamp that could not be read.
    std::string timeNote{}; // (an initializer, so lists without it stay complete)

    // Provenance of the start time, for the report; this and what follows are not part of equality.
    StartTimeSource timeSource = StartTimeSource::Catalogue;
    std::string timeAsGiven{}; // the text its source gave (a modification time: ISO 8601 local with offset)

    // Where the recorder says it was (its own GPS, or a stationary unit's
    // configured position); a check on the placement, never a replacement.
    std::optional<LatLon> recorderPosition{};
    // Its length, from the catalogue's duration_s or the WAV file; unknown when neither says.
    std::optional<double> durationSeconds{};

    bool hasTime() const noexcept { return timeSource != StartTimeSource::None; }

    friend bool operator==(const Recording &a, const Recording &b) {
        return a.recordingTime == b.recordingTime && a.filename == b.filename && a.species == b.species;
    }
};

} // namespace pelorin
