#include "documents/XmlText.h"

#include <cstdint>

namespace pelorin {

std::size_t xmlCharSequence(std::string_view text, std::size_t i) noexcept {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    char32_t c;
    if (lead < 0xC2)
        return 0; // continuation byte or overlong two-byte lead
    if (lead < 0xE0) {
        length = 2;
        c = lead & 0x1Fu;
    } else if (lead < 0xF0) {
        length = 3;
        c = lead & 0x0Fu;
    } else if (lead < 0xF5) {
        length = 4;
        c = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u)
            return 0;
        c = (c << 6) | (byte(i + k) & 0x3Fu);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    const bool nonCharacter = c == 0xFFFE || c == 0xFFFF; // outside XML's Char production
    if (overlong || surrogate || nonCharacter || c > 0x10FFFF)
        return 0;
    return length;
}

void appendXmlText(std::string &out, std::string_view text) {
    appendEscaped(
        out, text,
        [](unsigned char c) {
            return (c >= 0x20 && c != '&' && c != '<' && c != '>') || c == '\t' || c == '\n';
        },
        [](std::string &to, unsigned char c) {
            switch (c) {
            case '&':
                to += "&amp;";
                break;
            case '<':
                to += "&lt;";
                break;
            case '>':
                to += "&gt;";
                break;
            case '\r':
                to += "&#13;"; // a literal one would read back as a line feed
                break;
            default:
                break; // a control character or a byte outside valid UTF-8: dropped
            }
        });
}

} // namespace pelorin
