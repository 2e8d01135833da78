#pragma once

// Recorder-like WAV files for the card benchmarks. The audio is a hole in
// each file (sparse): readers of metadata never touch it, so the files behave
// as full ones would and a card of thousands takes no disk space.

#include <cstdint>
#include <string>

namespace pelorin::bench {

struct WavCardFile {
    std::int64_t start = 0; // seconds since the epoch, for the GUANO Timestamp
    std::uint64_t audioBytes = 1 << 20;
    bool withGuano = true;        // otherwise the start time is left to the file's name
    bool guanoAfterAudio = false; // where recorders that write GUANO on closing put it
    bool recorderChunks = false;  // a LIST/INFO and a JUNK chunk before the audio, as some recorders write
    std::string extraGuano;       // more "Key: value\n" lines (species, position)
};

// "YYYY-MM-DDTHH:MM:SSZ".
std::string isoTime(std::int64_t seconds);

// fmt, the recorder's chunks, the GUANO chunk and the audio, in the order the file asks for.
bool writeWavCardFile(const std::string &path, const WavCardFile &file);

} // namespace pelorin::bench
