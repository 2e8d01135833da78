#pragma once

#include "georef/Recording.h"
#include "recordings/RecorderZone.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct CsvError {
    long line = 0; // 1-based line of the fault (a row's start, or where its quoting went wrong); 0: the file
    std::string message;
};

struct RecordingsCsvResult {
    std::vector<Recording> recordings; // file order
    std::vector<CsvError> errors;      // empty when ok
    bool ok() const noexcept { return errors.empty(); }
};

// RFC 4180 CSV in UTF-8 (BOM and CRLF accepted) with a header row naming
// filename, recording_time and species, in any order (blanks around a name
// are allowed); other columns ignored. recording_time: YYYY-MM-DDTHH:MM:SS,
// optional fraction, then Z, +HH:MM, -HH:MM or nothing (local time).
// species: abbreviations separated by ';', each trimmed, empty ones dropped.
// Blank lines are skipped. Every bad row gives one error and no recording;
// the good rows are kept in file order. Zone-less times are read in
// recorderZone, the machine's zone when null; one in a DST change's repeated
// or skipped hour gets a time note.
RecordingsCsvResult parseRecordingsCsv(std::string_view text, const RecorderZone *recorderZone = nullptr);
// Refuses what is not a regular file (a folder, a FIFO) before opening it.
RecordingsCsvResult readRecordingsCsv(const std::string &path, const RecorderZone *recorderZone = nullptr);

// The reverse, for saving a catalogue: times as UTC with 'Z' (milliseconds
// only when there are any), CRLF line ends.
std::string recordingsCsv(const std::vector<Recording> &recordings);

} // namespace pelorin
