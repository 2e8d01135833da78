#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

// Little-endian, width bytes wide; the tests' own, so that a fault in the code under test cannot agree with
// itself.
inline std::string leBytes(std::uint64_t value, std::size_t width) {
    std::string bytes;
    for (; width > 0; --width, value >>= 8)
        bytes += static_cast<char>(value & 0xFF);
    return bytes;
}

inline std::uint64_t readLe(const std::string &bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// Builds RIFF/RF64 WAV files chunk by chunk, for the metadata reader's tests.
class WavWriter {
public:
    WavWriter &chunk(std::string id, std::string body) {
        chunks_.emplace_back(std::move(id), std::move(body));
        return *this;
    }
    WavWriter &fmt() {
        return chunk("fmt ", std::string("\x01\0\x01\0\x80\xbb\0\0\0\x77\x01\0\x02\0\x10\0", 16));
    }
    WavWriter &audio(std::size_t bytes) { return chunk("data", std::string(bytes, '\x11')); }
    WavWriter &guano(const std::string &lines) { return chunk("guan", "GUANO|Version: 1.0\n" + lines); }
    WavWriter &bext(const std::string &date, const std::string &time) {
        std::string body(602, '\0');
        body.replace(320, date.size(), date).replace(330, time.size(), time);
        return chunk("bext", body);
    }

    // AudioMoth's INFO list: the comment and the artist, each in a field of fixed size padded with NULs.
    WavWriter &audioMothList(const std::string &comment) {
        std::string icmt = comment, iart = "AudioMoth 24526B065D325963";
        icmt.resize(384, '\0');
        iart.resize(32, '\0');
        return chunk("LIST",
                     "INFO" + std::string("ICMT") + leBytes(384, 4) + icmt + "IART" + leBytes(32, 4) + iart);
    }
    // An ID3v2 tag of one COMM frame: version 3 (plain frame size) or 4 (sync-safe).
    static std::string id3Tag(int version, const std::string &frameBody) {
        const auto n = static_cast<std::uint32_t>(frameBody.size());
        const std::string frames =
            "COMM" + (version == 4 ? syncSafe(n) : be32(n)) + std::string(2, '\0') + frameBody;
        return "ID3" + std::string{static_cast<char>(version), '\0', '\0'} +
               syncSafe(static_cast<std::uint32_t>(frames.size())) + frames;
    }
    // Wildlife Acoustics' sub-chunks, after the version (1): uint16 id, uint32 length, value.
    WavWriter &wamd(const std::vector<std::pair<std::uint16_t, std::string>> &fields) {
        std::string body = std::string("\0\0", 2) + leBytes(2, 4) + std::string("\x01\0", 2);
        for (const auto &[id, value] : fields)
            body += leBytes(id, 2) + leBytes(value.size(), 4) + value;
        return chunk("wamd", body);
    }

    std::string bytes(const std::string &form = "RIFF") const {
        std::string body = "WAVE";
        for (const auto &[id, content] : chunks_)
            body += id + leBytes(content.size(), 4) + content + std::string(content.size() % 2, '\0');
        return form + leBytes(body.size(), 4) + body;
    }

    static std::string syncSafe(std::uint32_t n) {
        return {static_cast<char>(n >> 21 & 0x7F), static_cast<char>(n >> 14 & 0x7F),
                static_cast<char>(n >> 7 & 0x7F), static_cast<char>(n & 0x7F)};
    }
    static std::string be32(std::uint32_t v) {
        return {static_cast<char>(v >> 24), static_cast<char>(v >> 16 & 0xFF),
                static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)};
    }

private:
    std::vector<std::pair<std::string, std::string>> chunks_;
};

} // namespace pelorin::test
