#include "kml/KmlWriter.h"

#include "georef/NumberText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace pelorin {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Collects the document and hands it to the sink in pieces of about kChunk
// bytes; without a sink it keeps the whole document.
class Output {
public:
    explicit Output(const ByteSink *sink)
        : sink_(sink) {
        if (sink_)
            text_.reserve(kChunk + 4096);
    }

    std::string &text() noexcept { return text_; }

    void raw(std::string_view bytes) {
        text_.append(bytes);
        flushIfFull();
    }

    // An element with character data on one line of its own.
    void element(int depth, std::string_view name, std::string_view content) {
        indent(depth);
        text_.append("<").append(name).append(">");
        appendXmlText(text_, content);
        text_.append("</").append(name).append(">\n");
        flushIfFull();
    }

    void open(int depth, std::string_view tag) {
        indent(depth);
        text_.append("<").append(tag).append(">\n");
    }

    void close(int depth, std::string_view name) {
        indent(depth);
        text_.append("</").append(name).append(">\n");
        flushIfFull();
    }

    void indent(int depth) { text_.append(static_cast<std::size_t>(depth) * 4, ' '); }

    void flushIfFull() {
        if (sink_ && text_.size() >= kChunk)
            flush();
    }

    void flush() {
        if (sink_ && !text_.empty()) {
            (*sink_)(text_);
            text_.clear();
        }
    }

private:
    const ByteSink *sink_;
    std::string text_;
};

// Lines of the track text from the arranged point `from` on, longitude first.
void trackText(Output &out, TrackView track, std::size_t from, bool withElevation) {
    for (std::size_t i = from; i < track.size(); ++i) {
        const TrackPoint &point = track[i];
        appendKmlTrackLine(
            out.text(), point.lon().value_or(std::string_view{}), point.lat().value_or(std::string_view{}),
            withElevation ? point.elevation().value_or(std::string_view{}) : std::string_view{});
        out.flushIfFull();
    }
}

// Everything before the track's first coordinate.
void head(const KmlOptions &options, Output &out) {
    out.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
            "    <Document>\n"
            "        <Style id=\"pathStyle\">\n"
            "            <LineStyle>\n"
            "                <color>#990000ff</color>\n"
            "                <width>6</width>\n"
            "            </LineStyle>\n"
            "        </Style>\n");
    out.element(2, "name", options.transectName);
    out.element(2, "description", options.transectDesc);
    out.raw("        <Placemark>\n"
            "            <name>Transekt</name>\n"
            "            <styleUrl>#pathStyle</styleUrl>\n"
            "            <LineString>\n");
    if (options.tessellate)
        out.raw("                <tessellate>1</tessellate>\n");
    out.raw("                <coordinates>");
}

// The track's lines from the arranged point `from` on, the placemarks and the end.
void rest(const KmlOptions &options, TrackView track, std::size_t from, std::span<const GeoRefRecord> records,
          Output &out) {
    trackText(out, track, from, options.hasElevation && options.elevation);
    out.raw("</coordinates>\n"
            "            </LineString>\n"
            "        </Placemark>\n");
    for (const GeoRefRecord &record : records) {
        out.open(2, "Placemark");
        out.element(3, "name", record.name);
        out.element(3, "description", record.desc);
        out.open(3, "Point");
        std::string &text = out.text();
        out.indent(4);
        text += "<coordinates>";
        appendFixed6(text, record.lon);
        text += ',';
        appendFixed6(text, record.lat);
        text += "</coordinates>\n";
        out.close(3, "Point");
        out.close(2, "Placemark");
    }
    out.raw("    </Document>\n"
            "</kml>\n");
    out.flush();
}

// Length of the well-formed UTF-8 sequence at text[i] that XML 1.0 allows, or
// 0 when the bytes there are not one.
std::size_t allowedSequence(std::string_view text, std::size_t i) noexcept {
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

} // namespace

void appendXmlText(std::string &out, std::string_view text) {
    std::size_t run = 0; // start of the bytes not yet copied
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>') {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t length = allowedSequence(text, i)) {
                i += length;
                continue;
            }
        }
        if (c == '\t' || c == '\n') {
            ++i;
            continue;
        }
        out.append(text.substr(run, i - run));
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#13;"; // a literal one would read back as a line feed
            break;
        default:
            break; // a control character or a byte outside valid UTF-8: dropped
        }
        run = ++i;
    }
    out.append(text.substr(run));
}

void writeKmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records,
                      const ByteSink &sink) {
    Output out(&sink);
    head(options, out);
    rest(options, track, 0, records, out);
}

std::string kmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records) {
    Output out(nullptr);
    out.text().reserve(1024 + track.size() * 40 + records.size() * 200);
    head(options, out);
    rest(options, track, 0, records, out);
    return std::move(out.text());
}

std::string kmlHead(const KmlOptions &options) {
    Output out(nullptr);
    head(options, out);
    return std::move(out.text());
}

void appendKmlTrackLine(std::string &out, std::string_view lon, std::string_view lat,
                        std::string_view elevation) {
    appendFixed6(out, floatValue(lon));
    out += ',';
    appendFixed6(out, floatValue(lat));
    out += ',';
    // An elevation that leaves nothing once cleaned would leave the tuple
    // without a number: it counts as none.
    const std::size_t before = out.size();
    appendXmlText(out, elevation);
    if (out.size() == before)
        out += '0';
    out += '\n';
}

void writeKmlDocumentFrom(const KmlOptions &options, TrackView track, std::size_t from,
                          std::span<const GeoRefRecord> records, const ByteSink &sink) {
    Output out(&sink);
    rest(options, track, from, records, out);
}

} // namespace pelorin
