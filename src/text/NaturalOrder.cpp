#include "text/NaturalOrder.h"

#include <cstddef>

namespace pelorin {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitRunEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

} // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    int zerosTieBreak = 0; // more leading zeros sorts later, decided only when all else is equal
    while (i < a.size() && j < b.size()) {
        if (!isDigit(a[i]) || !isDigit(b[j])) {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i, ++j;
            continue;
        }
        const std::size_t aEnd = digitRunEnd(a, i), bEnd = digitRunEnd(b, j);
        std::size_t aStart = i, bStart = j;
        while (aStart + 1 < aEnd && a[aStart] == '0')
            ++aStart;
        while (bStart + 1 < bEnd && b[bStart] == '0')
            ++bStart;
        // Without leading zeros, the longer run is the larger number; else the first differing digit decides.
        if (aEnd - aStart != bEnd - bStart)
            return aEnd - aStart < bEnd - bStart;
        if (const int byDigits = a.substr(aStart, aEnd - aStart).compare(b.substr(bStart, bEnd - bStart)))
            return byDigits < 0;
        if (zerosTieBreak == 0 && aEnd - i != bEnd - j)
            zerosTieBreak = aEnd - i < bEnd - j ? -1 : 1;
        i = aEnd, j = bEnd;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return zerosTieBreak < 0;
}

} // namespace pelorin
