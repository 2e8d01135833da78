#pragma once

#include "georef/Recording.h"
#include "recordings/RecorderZone.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct WavRecording {
    Recording
        recording;    // filename is the file's name without folders; timeSource says where the time came from
    std::string path; // as found by readWavFolder; empty otherwise
    std::optional<std::string> position; // GUANO "Loc Position" as written, when the file has one
    std::string
        warning; // for the user at once (also the time note): a file name that disagrees with the comment
};

struct WavResult {
    std::optional<WavRecording> value;
    std::string error; // why the file was refused, when value is empty
};

// Reads the metadata of one WAV file (RIFF or RF64): only the chunk headers
// and the metadata chunks, never the audio. Start time, first found: GUANO
// Timestamp; Wildlife Acoustics' `wamd` start time; AudioMoth's comment
// (LIST/ICMT, else an id3 COMM frame); bext origination date and time
// (local); YYYYMMDD_HHMMSS in the file name (local), or AudioMoth's eight hex
// digits of Unix time; the file's modification time. Species: GUANO
// "Species Manual ID", else "Species Auto ID", else wamd's manual then auto
// IDs, split on commas. Zone-less times are read in recorderZone (the
// machine's when null); the recording's time note tells of a DST change's
// repeated or skipped hour, of a GUANO Timestamp that could not be read and
// of an AudioMoth file name that disagrees with its comment.
WavResult readWavRecording(const std::string &path, const RecorderZone *recorderZone = nullptr);

// The same from the bytes of the file's metadata (for tests and fuzzing);
// fileName and modification time stand in for what the file system gives.
WavResult parseWavMetadata(std::string_view bytes, std::string_view fileName,
                           std::optional<RecordingTime> modificationTime,
                           const RecorderZone *recorderZone = nullptr);

// Where readWavRecordings hands each file's result: on the worker thread that
// read it, with the file's index in the list.
using WavResultSink = std::function<void(std::size_t index, WavResult &&result)>;

// readWavRecording for many files, several at once (threads; 0: one per
// core): each file costs a few small reads, so with a warm cache the cores,
// not the disk, set the pace. progress runs on the calling thread every few
// milliseconds with how many files are done, and stops the reading by
// returning false; then false is returned and the files not yet read never
// reach take.
bool readWavRecordings(const std::vector<std::string> &paths, const WavResultSink &take,
                       const RecorderZone *recorderZone = nullptr,
                       const std::function<bool(std::size_t done)> &progress = {}, unsigned threads = 0);

struct WavFolderResult {
    std::vector<WavRecording> recordings;                     // in path order
    std::vector<std::pair<std::string, std::string>> skipped; // path, reason
};

// Every *.wav (any case) below folder, recursively.
WavFolderResult readWavFolder(const std::string &folder, const RecorderZone *recorderZone = nullptr);

} // namespace pelorin
