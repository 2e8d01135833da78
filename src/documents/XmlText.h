#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

// Appends text as XML character data: reserved characters escaped, characters
// XML 1.0 cannot carry (controls other than tab, LF, CR; invalid UTF-8;
// U+FFFE, U+FFFF) dropped. A CR is written as a character reference, since a
// literal one would read back as a line feed.
void appendXmlText(std::string &out, std::string_view text);

// Length of the well-formed UTF-8 sequence at text[i] (a byte of 0x80 or more)
// naming a character XML 1.0 allows, or 0 when the bytes there are not one.
std::size_t xmlCharSequence(std::string_view text, std::size_t i) noexcept;

// Copies text to out in runs: an ASCII byte that plain(c) passes and a
// well-formed character as XML allows it go as they are; any other byte is
// handed to escape(out, c), which appends what stands for it, or nothing.
template <class Plain, class Escape>
void appendEscaped(std::string &out, std::string_view text, Plain plain, Escape escape) {
    std::size_t run = 0; // start of the bytes not yet copied
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 && plain(c)) {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t length = xmlCharSequence(text, i)) {
                i += length;
                continue;
            }
        }
        out.append(text.substr(run, i - run));
        escape(out, c);
        run = ++i;
    }
    out.append(text.substr(run));
}

} // namespace pelorin
