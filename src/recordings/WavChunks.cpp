#include "recordings/WavChunks.h"

#include <algorithm>
#include <memory>

namespace pelorin {

std::uint16_t readLe16(const char *p) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1])
                                                                             << 8);
}

std::uint32_t readLe32(const char *p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

std::uint64_t readLe64(const char *p) {
    return static_cast<std::uint64_t>(readLe32(p)) | (static_cast<std::uint64_t>(readLe32(p + 4)) << 32);
}

std::string le32Bytes(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (auto &byte : bytes) {
        byte = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

std::string le64Bytes(std::uint64_t value) {
    return le32Bytes(static_cast<std::uint32_t>(value)) + le32Bytes(static_cast<std::uint32_t>(value >> 32));
}

WavChunks walkWavChunks(std::uint64_t fileSize, const ReadAt &readAt, WalkLimit limit) {
    WavChunks walk;
    std::string header;
    if (!readAt(0, 12, header)) {
        walk.error = "too short for a WAV file";
        return walk;
    }
    const std::string_view form(header.data(), 4);
    if ((form != "RIFF" && form != "RF64") || std::string_view(header.data() + 8, 4) != "WAVE") {
        walk.error = "not a WAV file (no RIFF/RF64 WAVE header)";
        return walk;
    }
    walk.rf64 = form == "RF64";
    walk.riffSize = readLe32(header.data() + 4);
    std::optional<std::uint64_t> rf64DataSize;

    const auto end = [&] {
        return limit == WalkLimit::FileEnd ? fileSize : std::min(fileSize, walk.riffEnd());
    };
    std::uint64_t offset = 12;
    while (offset + 8 <= end()) {
        std::string chunkHeader;
        if (!readAt(offset, 8, chunkHeader))
            break;
        WavChunk chunk{chunkHeader.substr(0, 4), offset, readLe32(chunkHeader.data() + 4), false};
        if (walk.rf64 && chunk.id == "data" && chunk.size == 0xFFFFFFFFu) {
            if (!rf64DataSize) {
                walk.error = "RF64 file without a ds64 chunk before its audio";
                return walk;
            }
            chunk.size = *rf64DataSize;
        }
        chunk.truncated = chunk.size > end() - chunk.body();
        if (chunk.id == "ds64" && walk.rf64 && !walk.ds64Offset) {
            std::string sizes;
            if (chunk.truncated || chunk.size < 16 || !readAt(chunk.body(), 16, sizes)) {
                walk.error = "the ds64 chunk is cut short";
                return walk;
            }
            walk.ds64Offset = chunk.body();
            walk.riffSize = readLe64(sizes.data()); // ds64: riffSize, dataSize, sampleCount
            rf64DataSize = readLe64(sizes.data() + 8);
        }
        walk.chunks.push_back(chunk);
        if (chunk.truncated)
            break; // a recording cut short: its audio ends early, nothing after it
        offset = chunk.end();
    }
    return walk;
}

ReadAt readAtFile(const File &file) {
    return [&file](std::uint64_t offset, std::size_t size, std::string &out) {
        out.resize(size);
        const auto got = file.readAt(offset, out.data(), size);
        return got && *got == size;
    };
}

ReadAt readAheadFile(const File &file, std::uint64_t fileSize, std::size_t block) {
    struct Window {
        std::uint64_t offset = 0;
        std::string bytes;
    };
    return [&file, fileSize, block, window = std::make_shared<Window>()](std::uint64_t offset,
                                                                         std::size_t size, std::string &out) {
        const auto inWindow = [&] {
            return offset >= window->offset && offset - window->offset <= window->bytes.size() &&
                   size <= window->bytes.size() - (offset - window->offset);
        };
        if (!inWindow()) {
            if (offset > fileSize || size > fileSize - offset)
                return false;
            window->offset = offset;
            // Short of the end, so that the read needs no second call to find it.
            window->bytes.resize(
                static_cast<std::size_t>(std::min<std::uint64_t>(std::max(size, block), fileSize - offset)));
            const auto got = file.readAt(offset, window->bytes.data(), window->bytes.size());
            window->bytes.resize(got.value_or(0));
            if (!got || !inWindow())
                return false;
        }
        out.assign(window->bytes, static_cast<std::size_t>(offset - window->offset), size);
        return true;
    };
}

} // namespace pelorin
