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

    friend bool operator==(const Recording &, const Recording &) = default;
};

} // namespace pelorin
