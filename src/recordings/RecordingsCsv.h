#pragma once

#include "georef/Recording.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct CsvError {
    long line = 0; // 1-based line of the file where the problem is
    std::string message;
};

struct RecordingsCsvResult {
    std::vector<Recording> recordings; // file order
    std::vector<CsvError> errors;      // empty when ok
    bool ok() const noexcept { return errors.empty(); }
};

// RFC 4180 CSV in UTF-8 (BOM and CRLF accepted) with a header row naming
// filename, recording_time and species, in any order; other columns ignored.
// recording_time: YYYY-MM-DDTHH:MM:SS, optional fraction, then Z, +HH:MM,
// -HH:MM or nothing (local time). species: abbreviations separated by ';'.
RecordingsCsvResult parseRecordingsCsv(std::string_view text);
RecordingsCsvResult readRecordingsCsv(const std::string &path);

// The reverse, for saving a catalogue: times as UTC with 'Z'.
std::string recordingsCsv(const std::vector<Recording> &recordings);

} // namespace pelorin
