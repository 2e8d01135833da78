#include "kml/JsonText.h"

#include "kml/XmlText.h"

namespace pelorin {

void appendJsonString(std::string &out, std::string_view text) {
    out += '"';
    std::size_t run = 0; // start of the bytes not yet copied
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        // XML's notion of a character is stricter only by U+FFFE and U+FFFF,
        // two non-characters no survey text needs.
        if (c >= 0x80) {
            if (const std::size_t length = xmlCharSequence(text, i)) {
                i += length;
                continue;
            }
        }
        out.append(text.substr(run, i - run));
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                constexpr char kDigits[] = "0123456789abcdef";
                out += "\\u00";
                out += kDigits[c >> 4];
                out += kDigits[c & 0xF];
            } // else: a byte outside well-formed UTF-8, dropped
            break;
        }
        run = ++i;
    }
    out.append(text.substr(run));
    out += '"';
}

} // namespace pelorin
