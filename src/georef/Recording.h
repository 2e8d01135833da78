#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace pelorin {

using RecordingTime = std::chrono::sys_time<std::chrono::milliseconds>;

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

    friend bool operator==(const Recording &, const Recording &) = default;
};

} // namespace pelorin
