#include "text/Utf8.h"

namespace pelorin {

bool isValidUtf8(std::string_view text) noexcept {
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *const end = p + text.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char lo = 0x80, hi = 0xBF; // bounds of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                lo = 0xA0; // overlong
            if (b == 0xED)
                hi = 0x9F; // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                lo = 0x90; // overlong
            if (b == 0xF4)
                hi = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (end - p < length || p[1] < lo || p[1] > hi)
            return false;
        for (int i = 2; i < length; ++i)
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        p += length;
    }
    return true;
}

void appendUtf8(std::string &into, char32_t c) {
    if (c < 0x80) {
        into += static_cast<char>(c);
    } else if (c < 0x800) {
        into += static_cast<char>(0xC0 | (c >> 6));
        into += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        into += static_cast<char>(0xE0 | (c >> 12));
        into += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        into += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        into += static_cast<char>(0xF0 | (c >> 18));
        into += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        into += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        into += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace pelorin
