#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

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
            body += id + le32(static_cast<std::uint32_t>(content.size())) + content +
                    std::string(content.size() % 2, '\0');
        return form + le32(static_cast<std::uint32_t>(body.size())) + body;
    }

    static std::string le32(std::uint32_t v) {
        return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF),
                static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 24)};
    }

private:
    std::vector<std::pair<std::string, std::string>> chunks_;
};

} // namespace pelorin::test
