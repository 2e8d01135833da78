#include "documents/JsonText.h"

#include "documents/XmlText.h"

namespace pelorin {

// XML's notion of a character is stricter only by U+FFFE and U+FFFF, two
// non-characters no survey text needs.
void appendJsonString(std::string &out, std::string_view text) {
    out += '"';
    appendEscaped(
        out, text, [](unsigned char c) { return c >= 0x20 && c != '"' && c != '\\'; },
        [](std::string &to, unsigned char c) {
            switch (c) {
            case '"':
                to += "\\\"";
                break;
            case '\\':
                to += "\\\\";
                break;
            case '\n':
                to += "\\n";
                break;
            case '\r':
                to += "\\r";
                break;
            case '\t':
                to += "\\t";
                break;
            default:
                if (c < 0x20) {
                    constexpr char kDigits[] = "0123456789abcdef";
                    to += "\\u00";
                    to += kDigits[c >> 4];
                    to += kDigits[c & 0xF];
                } // else: a byte outside well-formed UTF-8, dropped
                break;
            }
        });
    out += '"';
}

} // namespace pelorin
