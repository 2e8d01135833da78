#include "documents/KmlWriter.h"

#include "documents/ChunkedOutput.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin {

namespace {

// Lines of the track text from the arranged point `from` on, longitude first.
void trackText(ChunkedOutput &out, TrackView track, std::size_t from, bool withElevation) {
    for (std::size_t i = from; i < track.size(); ++i) {
        const TrackPoint &point = track[i];
        appendKmlTrackLine(
            out.text(), point.lon().value_or(std::string_view{}), point.lat().value_or(std::string_view{}),
            withElevation ? point.elevation().value_or(std::string_view{}) : std::string_view{});
        out.flushIfFull();
    }
}

// Everything before the track's first coordinate.
// Kept on purpose, so that documents stay byte for byte what surveyors already hold and compare:
// the Style ahead of the document's name, where KML would allow either order;
// the colour #990000ff, which KML reads as aabbggrr (a translucent red), not as rrggbbaa;
// the track's name "Transekt", untranslated.
void head(const KmlOptions &options, ChunkedOutput &out) {
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

void placemarks(ChunkedOutput &out, std::span<const GeoRefRecord> records);

// The track's lines from the arranged point `from` on, the placemarks and the end.
void rest(const KmlOptions &options, TrackView track, std::size_t from, std::span<const GeoRefRecord> records,
          ChunkedOutput &out) {
    trackText(out, track, from, options.hasElevation && options.elevation);
    out.raw("</coordinates>\n"
            "            </LineString>\n"
            "        </Placemark>\n");
    // Each placemark is its own: a hundred thousand of them are made on every core.
    makeInParallel(out, records.size(), [records](ChunkedOutput &into, std::size_t from, std::size_t to) {
        placemarks(into, records.subspan(from, to - from));
    });
    out.raw("    </Document>\n"
            "</kml>\n");
    out.flush();
}

void placemarks(ChunkedOutput &out, std::span<const GeoRefRecord> records) {
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
}

} // namespace

void writeKmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records,
                      const ByteSink &sink) {
    ChunkedOutput out(&sink);
    head(options, out);
    rest(options, track, 0, records, out);
}

std::string kmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records) {
    ChunkedOutput out(nullptr);
    out.text().reserve(1024 + track.size() * 40 + records.size() * 200);
    head(options, out);
    rest(options, track, 0, records, out);
    return std::move(out.text());
}

std::string kmlHead(const KmlOptions &options) {
    return chunkedText([&options](ChunkedOutput &out) { head(options, out); });
}

void appendKmlTrackLine(std::string &out, std::string_view lon, std::string_view lat,
                        std::string_view elevation) {
    appendFixed6(out, coordinateValue(lon));
    out += ',';
    appendFixed6(out, coordinateValue(lat));
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
    ChunkedOutput out(&sink);
    rest(options, track, from, records, out);
}

} // namespace pelorin
