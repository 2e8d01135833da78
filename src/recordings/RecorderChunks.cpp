#include "recordings/RecorderChunks.h"

#include "recordings/WavChunks.h"

#include <algorithm>
#include <cstdint>

namespace pelorin {

namespace {

std::uint32_t be(std::string_view bytes, std::size_t at, bool syncSafe) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = syncSafe ? value << 7 | (static_cast<unsigned char>(bytes[at + i]) & 0x7F)
                         : value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string withoutNuls(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c != '\0')
            out += c;
    return out;
}

// An ID3 text in its declared encoding: 0 Latin-1, 3 UTF-8 (both kept as
// bytes); 1 and 2 UTF-16, of which a recorder's comment uses ASCII only.
std::string id3Text(std::string_view text, unsigned char encoding) {
    if (encoding != 1 && encoding != 2)
        return withoutNuls(text);
    bool bigEndian = encoding == 2;
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const auto a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(text[i + 1]);
        if ((a == 0xFE && b == 0xFF) || (a == 0xFF && b == 0xFE)) {
            bigEndian = a == 0xFE;
            continue;
        }
        const unsigned unit = bigEndian ? (a << 8 | b) : (b << 8 | a);
        if (unit != 0)
            out += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return out;
}

// COMM: encoding, language, a short description ended by one NUL (two in
// UTF-16, on an even place), then the comment.
std::optional<std::string> commText(std::string_view frame) {
    if (frame.size() < 4)
        return std::nullopt;
    const auto encoding = static_cast<unsigned char>(frame[0]);
    const std::string_view rest = frame.substr(4);
    const bool wide = encoding == 1 || encoding == 2;
    std::size_t end = 0;
    if (wide) {
        while (end + 1 < rest.size() && (rest[end] != '\0' || rest[end + 1] != '\0'))
            end += 2;
        end += 2;
    } else {
        end = rest.find('\0');
        end = end == std::string_view::npos ? rest.size() : end + 1;
    }
    if (end > rest.size())
        return std::nullopt;
    return id3Text(rest.substr(end), encoding);
}

} // namespace

WamdFields readWamd(std::string_view body) {
    WamdFields fields;
    for (std::size_t at = 0; body.size() - at >= 6;) {
        const std::uint32_t id = readLe16(body.data() + at), length = readLe32(body.data() + at + 2);
        at += 6;
        if (length > body.size() - at)
            break;
        std::string value(body.substr(at, length));
        at += length;
        switch (id) {
        case 0x0005:
            fields.startTime = std::move(value);
            break;
        case 0x0006:
            fields.firstFix = std::move(value);
            break;
        case 0x000B:
            fields.autoId = std::move(value);
            break;
        case 0x000C:
            fields.manualId = std::move(value);
            break;
        case 0x0014:
            fields.lastPosition = std::move(value);
            break;
        default:
            break;
        }
    }
    for (std::optional<std::string> *text :
         {&fields.startTime, &fields.firstFix, &fields.lastPosition, &fields.autoId, &fields.manualId})
        if (*text)
            **text = withoutNuls(**text); // C strings in some firmware
    return fields;
}

std::optional<std::string> listInfoComment(std::string_view body) {
    if (body.size() < 4 || body.substr(0, 4) != "INFO")
        return std::nullopt;
    for (std::size_t at = 4; body.size() - at >= 8;) {
        const std::string_view id = body.substr(at, 4);
        const std::uint32_t size = readLe32(body.data() + at + 4);
        at += 8;
        if (size > body.size() - at)
            return std::nullopt;
        if (id == "ICMT")
            return withoutNuls(body.substr(at, size));
        at += size + (size & 1);
    }
    return std::nullopt;
}

std::optional<std::string> id3Comment(std::string_view body) {
    if (body.size() < 10 || body.substr(0, 3) != "ID3")
        return std::nullopt;
    const auto version = static_cast<unsigned char>(body[3]);
    if (version != 3 && version != 4)
        return std::nullopt;
    if (static_cast<unsigned char>(body[5]) & 0x40)
        return std::nullopt; // an extended header: no recorder writes one
    const std::size_t tagEnd = std::min<std::size_t>(body.size(), 10 + be(body, 6, true));
    for (std::size_t at = 10; at < tagEnd && tagEnd - at >= 10;) {
        const std::string_view id = body.substr(at, 4);
        if (id[0] == '\0')
            break; // padding
        const std::uint32_t size = be(body, at + 4, version == 4);
        at += 10;
        if (size > tagEnd - at)
            return std::nullopt;
        if (id == "COMM")
            return commText(body.substr(at, size));
        at += size;
    }
    return std::nullopt;
}

} // namespace pelorin
