#pragma once

#include "fileio/File.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// Reads size bytes at offset into out; false when the source holds fewer.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t size, std::string &out)>;

// Reads from an open file at offsets (its position is left as it was), which
// must outlive the ReadAt; false at the end of the file or on an error.
ReadAt readAtFile(const File &file);

// The same for a file of fileSize bytes that is only read: each read fetches
// at least block bytes (short of the end) and the reads that fall inside the
// last block are served from it, so a WAV file's header and chunk list before
// the audio cost one read and the chunks after the audio one more.
ReadAt readAheadFile(const File &file, std::uint64_t fileSize, std::size_t block = 4096);

struct WavChunk {
    std::string id;           // four characters
    std::uint64_t offset = 0; // of the chunk's header
    std::uint64_t size = 0;   // of its body; an RF64 `data` chunk's from ds64
    bool truncated = false;   // the body runs past the end of the walk

    std::uint64_t body() const { return offset + 8; }
    std::uint64_t end() const { return offset + 8 + size + (size & 1); } // chunks are padded to even sizes
};

struct WavChunks {
    bool rf64 = false;
    std::uint64_t riffSize = 0;              // the RIFF header's, or ds64's for RF64
    std::optional<std::uint64_t> ds64Offset; // of the ds64 chunk's body
    std::vector<WavChunk> chunks;            // in file order; only the last may be truncated
    std::string error;                       // not a WAV file we can walk; chunks then incomplete

    std::uint64_t riffEnd() const { return 8 + riffSize; }
};

enum class WalkLimit {
    FileEnd, // what a lenient reader sees: every chunk the file holds
    RiffEnd, // what the container declares, for editing in place
};

// Walks the RIFF/RF64 WAVE chunk list reading only the chunk headers and the
// ds64 chunk, so a large file costs a few small reads. Untrusted sizes are
// never used to allocate.
WavChunks walkWavChunks(std::uint64_t fileSize, const ReadAt &readAt, WalkLimit limit = WalkLimit::FileEnd);

std::uint16_t readLe16(const char *p);
std::uint32_t readLe32(const char *p);
std::uint64_t readLe64(const char *p);
std::string le32Bytes(std::uint32_t value);
std::string le64Bytes(std::uint64_t value);

} // namespace pelorin
