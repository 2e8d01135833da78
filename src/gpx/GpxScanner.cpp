#include "gpx/GpxScanner.h"

#include "text/Utf8.h"

#include <cstring>
#include <string_view>

namespace pelorin {

namespace {

// XML's white space: what separates a tag's parts.
bool isSpace(char c) noexcept {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

const char *find(const char *p, const char *end, char c) noexcept {
    return static_cast<const char *>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}

const char *find(const char *p, const char *end, std::string_view what) noexcept {
    const std::string_view in(p, static_cast<std::size_t>(end - p));
    const std::size_t at = in.find(what);
    return at == std::string_view::npos ? nullptr : p + at;
}

bool startsWith(const char *p, const char *end, std::string_view prefix) noexcept {
    return static_cast<std::size_t>(end - p) >= prefix.size() &&
           std::memcmp(p, prefix.data(), prefix.size()) == 0;
}

// Whether what is there may still become `prefix` once more bytes come.
bool mayBecome(const char *p, const char *end, std::string_view prefix) noexcept {
    const std::size_t have = static_cast<std::size_t>(end - p);
    return have < prefix.size() && std::memcmp(p, prefix.data(), have) == 0;
}

bool sameLetters(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

// A character XML lets a reference name.
bool isXmlChar(char32_t c) noexcept {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The character a reference's name (between '&' and ';') stands for; 0 when
// the scan does not know it.
char32_t referenced(std::string_view name) noexcept {
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "amp")
        return '&';
    if (name == "quot")
        return '"';
    if (name == "apos")
        return '\'';
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x';
    std::size_t i = hex ? 2 : 1;
    if (i == name.size())
        return 0;
    char32_t c = 0;
    for (; i < name.size(); ++i) {
        const char d = name[i];
        unsigned digit;
        if (d >= '0' && d <= '9')
            digit = static_cast<unsigned>(d - '0');
        else if (hex && d >= 'a' && d <= 'f')
            digit = static_cast<unsigned>(d - 'a' + 10);
        else if (hex && d >= 'A' && d <= 'F')
            digit = static_cast<unsigned>(d - 'A' + 10);
        else
            return 0;
        c = c * (hex ? 16 : 10) + digit;
        if (c > 0x10FFFF)
            return 0;
    }
    return isXmlChar(c) ? c : 0;
}

// Of a text that may go on past the end, the part the next bytes cannot
// change: up to a reference they may complete or a CR they may pair.
const char *textThatCannotChange(const char *p, const char *end) noexcept {
    const char *stop = end;
    for (const char *q = end; q > p && end - q < 16; --q) {
        if (q[-1] == ';')
            break;
        if (q[-1] == '&') {
            stop = q - 1;
            break;
        }
    }
    if (stop > p && stop[-1] == '\r')
        --stop;
    return stop;
}

} // namespace

std::size_t GpxReader::Scanner::scan(const char *data, std::size_t size, std::int64_t offset, bool last) {
    const char *p = data;
    const char *const end = data + size;
    if (!started_) {
        p = declaration(p, end, last);
        if (!p)
            return 0;
        started_ = true;
    }
    while (p < end && !gaveUp_) {
        if (*p != '<') {
            const char *stop = find(p, end, '<');
            const bool whole = stop || last;
            if (!stop)
                stop = last ? end : textThatCannotChange(p, end);
            if (depth_ > 0 && stop > p)
                text(p, stop);
            p = stop;
            if (!whole)
                break; // the rest waits for the bytes that follow
            continue;
        }
        const char *next = markup(p, end, offset + (p - data));
        if (!next) {
            if (last)
                gaveUp_ = true; // the document ends inside a tag: expat says where
            break;
        }
        p = next;
    }
    return gaveUp_ ? size : static_cast<std::size_t>(p - data);
}

// The byte order mark and the XML declaration: only a UTF-8 document is
// scanned (US-ASCII is one).
const char *GpxReader::Scanner::declaration(const char *p, const char *end, bool last) {
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (!last && mayBecome(p, end, kBom))
        return nullptr;
    if (startsWith(p, end, kBom))
        p += kBom.size();
    if (p < end && (*p == '\0' || *p == '\xFE' || *p == '\xFF'))
        return giveUp(); // UTF-16 or UTF-32
    if (!last && mayBecome(p, end, "<?xml "))
        return nullptr;
    if (!startsWith(p, end, "<?xml") || end - p < 6 || !isSpace(p[5]))
        return p;
    const char *close = find(p, end, "?>");
    if (!close)
        return last ? giveUp() : nullptr;
    const std::string_view declared(p, static_cast<std::size_t>(close - p));
    const std::size_t at = declared.find("encoding");
    if (at == std::string_view::npos)
        return close + 2;
    std::size_t i = at + 8;
    while (i < declared.size() && (isSpace(declared[i]) || declared[i] == '='))
        ++i;
    if (i == declared.size() || (declared[i] != '"' && declared[i] != '\''))
        return giveUp();
    const std::size_t closing = declared.find(declared[i], i + 1);
    if (closing == std::string_view::npos)
        return giveUp();
    const std::string_view name = declared.substr(i + 1, closing - i - 1);
    if (!sameLetters(name, "UTF-8") && !sameLetters(name, "US-ASCII"))
        return giveUp();
    return close + 2;
}

const char *GpxReader::Scanner::markup(const char *p, const char *end, std::int64_t at) {
    if (end - p < 2)
        return nullptr;
    switch (p[1]) {
    case '/':
        return endTag(p, end);
    case '?': {
        const char *close = find(p + 2, end, "?>");
        if (!close)
            return nullptr;
        reader_.endOfText();
        return close + 2;
    }
    case '!':
        if (startsWith(p, end, "<!--")) {
            const char *close = find(p + 4, end, "-->");
            if (!close)
                return nullptr;
            reader_.endOfText();
            return close + 3;
        }
        if (startsWith(p, end, "<![CDATA[")) {
            const char *close = find(p + 9, end, "]]>");
            if (!close)
                return nullptr;
            if (depth_ > 0)
                cdata(p + 9, close);
            return close + 3;
        }
        if (mayBecome(p, end, "<!--") || mayBecome(p, end, "<![CDATA["))
            return nullptr;
        return giveUp(); // a DOCTYPE, whose declarations only expat knows
    default:
        return startTag(p, end, at);
    }
}

const char *GpxReader::Scanner::startTag(const char *p, const char *end, std::int64_t at) {
    const char *q = p + 1;
    while (q < end && !isSpace(*q) && *q != '/' && *q != '>')
        ++q;
    if (q == end)
        return nullptr;
    if (q == p + 1)
        return giveUp();
    tag_.assign(p + 1, q);
    tag_ += '\0';
    offsets_.clear();
    bool empty = false;
    for (;;) {
        while (q < end && isSpace(*q))
            ++q;
        if (q == end)
            return nullptr;
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 == end)
                return nullptr;
            if (q[1] != '>')
                return giveUp();
            q += 2;
            empty = true;
            break;
        }
        const char *name = q;
        while (q < end && !isSpace(*q) && *q != '=' && *q != '>' && *q != '/')
            ++q;
        const char *nameEnd = q;
        while (q < end && isSpace(*q))
            ++q;
        if (q == end)
            return nullptr;
        if (*q != '=' || nameEnd == name)
            return giveUp();
        ++q;
        while (q < end && isSpace(*q))
            ++q;
        if (q == end)
            return nullptr;
        if (*q != '"' && *q != '\'')
            return giveUp();
        const char *close = find(q + 1, end, *q);
        if (!close)
            return nullptr;
        offsets_.push_back(tag_.size());
        tag_.append(name, nameEnd);
        tag_ += '\0';
        offsets_.push_back(tag_.size());
        if (!resolve(q + 1, close, true, tag_))
            return giveUp();
        tag_ += '\0';
        q = close + 1;
    }
    attributes_.clear();
    for (const std::size_t offset : offsets_)
        attributes_.push_back(tag_.data() + offset);
    attributes_.push_back(nullptr);
    reader_.startElement(tag_.data(), attributes_.data(), at);
    if (empty)
        reader_.endElement(tag_.data());
    else
        ++depth_;
    return q;
}

const char *GpxReader::Scanner::endTag(const char *p, const char *end) {
    const char *close = find(p + 2, end, '>');
    if (!close)
        return nullptr;
    const char *name = p + 2;
    const char *nameEnd = name;
    while (nameEnd < close && !isSpace(*nameEnd))
        ++nameEnd;
    tag_.assign(name, nameEnd);
    reader_.endElement(tag_.c_str());
    --depth_;
    return close + 1;
}

void GpxReader::Scanner::text(const char *p, const char *end) {
    if (!find(p, end, '&') && !find(p, end, '\r')) {
        reader_.foundCharacters(p, end);
        return;
    }
    resolved_.clear();
    if (!resolve(p, end, false, resolved_)) {
        gaveUp_ = true;
        return;
    }
    reader_.foundCharacters(resolved_.data(), resolved_.data() + resolved_.size());
}

// A CDATA section's text is as it stands, but for its line ends.
void GpxReader::Scanner::cdata(const char *p, const char *end) {
    if (!find(p, end, '\r')) {
        reader_.foundCharacters(p, end);
        return;
    }
    resolved_.clear();
    for (; p < end; ++p) {
        if (*p != '\r') {
            resolved_ += *p;
            continue;
        }
        resolved_ += '\n';
        if (p + 1 < end && p[1] == '\n')
            ++p;
    }
    reader_.foundCharacters(resolved_.data(), resolved_.data() + resolved_.size());
}

// A line end is one '\n' (CR LF and a lone CR included); in an attribute's
// value it and a tab become a space, as XML normalises a value. A character
// a reference names is taken as it is.
bool GpxReader::Scanner::resolve(const char *p, const char *end, bool attribute, std::string &into) {
    while (p < end) {
        const char c = *p;
        if (c == '&') {
            const char *semicolon = find(p + 1, end, ';');
            if (!semicolon)
                return false;
            const char32_t named =
                referenced(std::string_view(p + 1, static_cast<std::size_t>(semicolon - p - 1)));
            if (named == 0)
                return false;
            appendUtf8(into, named);
            p = semicolon + 1;
            continue;
        }
        if (c == '\r') {
            into += attribute ? ' ' : '\n';
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
            continue;
        }
        into += attribute && (c == '\n' || c == '\t') ? ' ' : c;
        ++p;
    }
    return true;
}

} // namespace pelorin
