#include "WavCard.h"

#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace pelorin::bench {

namespace {

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
            static_cast<char>(v >> 24)};
}

std::string chunk(const std::string &id, const std::string &body) {
    return id + le32(static_cast<std::uint32_t>(body.size())) + body + std::string(body.size() % 2, '\0');
}

bool writeAt(int fd, const std::string &bytes, off_t offset) {
    return ::pwrite(fd, bytes.data(), bytes.size(), offset) == static_cast<ssize_t>(bytes.size());
}

} // namespace

std::string isoTime(std::int64_t seconds) {
    const std::time_t t = seconds;
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

bool writeWavCardFile(const std::string &path, const WavCardFile &file) {
    const std::string fmt =
        chunk("fmt ", std::string("\x01\0\x01\0\x00\xee\x02\0\x00\xdc\x05\0\x02\0\x10\0", 16));
    const std::string own = !file.recorderChunks
                                ? std::string()
                                : chunk("LIST", "INFO" + chunk("ISFT", "Night 2 firmware 3.1.4")) +
                                      chunk("JUNK", std::string(502, '\0'));
    const std::string guano =
        !file.withGuano ? std::string()
                        : chunk("guan", "GUANO|Version: 1.0\nMake: Acme\nModel: Night 2\nSerial: 0042\n"
                                        "Timestamp: " +
                                            isoTime(file.start) +
                                            "\nSamplerate: 384000\nLength: 1.365\nTemperature Int: 14.5\n" +
                                            file.extraGuano);
    const std::uint64_t riffSize = 4 + fmt.size() + own.size() + guano.size() + 8 + file.audioBytes;
    const std::string before = file.guanoAfterAudio ? std::string() : guano;
    const std::string head = "RIFF" + le32(static_cast<std::uint32_t>(riffSize)) + "WAVE" + fmt + own +
                             before + "data" + le32(static_cast<std::uint32_t>(file.audioBytes));
    const auto audioEnd = static_cast<off_t>(head.size() + file.audioBytes);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = writeAt(fd, head, 0);
    if (file.guanoAfterAudio)
        ok = ok && writeAt(fd, guano, audioEnd); // the audio before it stays a hole
    else
        ok = ok && ::ftruncate(fd, audioEnd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace pelorin::bench
