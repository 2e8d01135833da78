// Bytes into the WAV metadata reader and the chunk walker under it: chunk
// headers are untrusted sizes. Chunks come in file order, inside the walk.
#include "FuzzCheck.h"
#include "recordings/WavChunks.h"
#include "recordings/WavRecording.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const pelorin::ReadAt readAt = [&bytes](std::uint64_t offset, std::size_t n, std::string &out) {
        if (offset > bytes.size() || n > bytes.size() - offset)
            return false;
        out.assign(bytes, static_cast<std::size_t>(offset), n);
        return true;
    };
    for (const auto limit : {pelorin::WalkLimit::FileEnd, pelorin::WalkLimit::RiffEnd}) {
        const pelorin::WavChunks walk = pelorin::walkWavChunks(bytes.size(), readAt, limit);
        std::uint64_t next = 12;
        for (std::size_t i = 0; i < walk.chunks.size(); ++i) {
            const pelorin::WavChunk &chunk = walk.chunks[i];
            PELORIN_FUZZ_CHECK(chunk.offset == next && chunk.id.size() == 4);
            PELORIN_FUZZ_CHECK(chunk.body() <= bytes.size());
            PELORIN_FUZZ_CHECK(chunk.truncated ? i + 1 == walk.chunks.size()
                                               : chunk.body() + chunk.size <= bytes.size());
            next = chunk.end();
        }
    }
    // A time in the name, and AudioMoth's hex name, which its comment must agree with.
    for (const char *name : {"x_20190501_221429.wav", "5E885E5C.WAV"}) {
        const pelorin::WavResult result = pelorin::parseWavMetadata(bytes, name, std::nullopt);
        PELORIN_FUZZ_CHECK(result.value.has_value() != !result.error.empty());
        if (result.value && result.value->recording.timeSource == pelorin::StartTimeSource::AudioMothComment)
            PELORIN_FUZZ_CHECK(result.value->recording.timeAsGiven.ends_with(')'));
    }
    return 0;
}
