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
        return chunk("fmt ",
                     std::string("\x01\x00\x01\x00\x80\xbb\x00\x00\x00\x77\x01\x00\x02\x00\x10\x00", 16));
    }
    WavWriter &audio(std::size_t bytes) { return chunk("data", std::string(bytes, '\x11')); }
    WavWriter &guano(const std::string &lines) { return chunk("guan", "GUANO|Version: 1.0\n" + lines); }
    WavWriter &bext(const std::string &date, const std::string &time) {
        std::string body(602, '\0');
        body.replace(320, date.size(), date);
        body.replace(330, time.size(), time);
        return chunk("bext", body);
    }

    std::string bytes(const std::string &form = "RIFF") const {
        std::string body = "WAVE";
        for (const auto &[id, content] : chunks_) {
            body += id;
            body += le32(static_cast<std::uint32_t>(content.size()));
            body += content;
            if (content.size() % 2)
                body += '\0';
        }
        return form + le32(static_cast<std::uint32_t>(body.size())) + body;
    }

    static std::string le32(std::uint32_t v) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i)
            s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    }

private:
    std::vector<std::pair<std::string, std::string>> chunks_;
};

} // namespace pelorin::test
