#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

// Little-endian, width bytes wide; the tests' own, so that a fault in the code
// under test cannot agree with itself.
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

    std::string bytes(const std::string &form = "RIFF") const {
        std::string body = "WAVE";
        for (const auto &[id, content] : chunks_)
            body += id + leBytes(content.size(), 4) + content + std::string(content.size() % 2, '\0');
        return form + leBytes(body.size(), 4) + body;
    }

private:
    std::vector<std::pair<std::string, std::string>> chunks_;
};

} // namespace pelorin::test
