// Random texts and points into the KML writer. Whatever they hold, the
// document must be well-formed XML that expat reads back, with every element
// in its place and every text intact, less the characters XML cannot carry.
#include "FuzzCheck.h"
#include "documents/KmlTrackStream.h"
#include "documents/KmlWriter.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

#include <expat.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using pelorin::GeoRefRecord;
using pelorin::KmlOptions;
using pelorin::TrackPoint;

// The length of the well-formed UTF-8 sequence at s[i], or 0; sets code.
std::size_t utf8Sequence(std::string_view s, std::size_t i, char32_t &code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || code > 0x10FFFF || surrogate ? 0 : length;
}

bool xmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

// What of text an XML 1.0 document can carry.
std::string carriable(std::string_view text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = utf8Sequence(text, i, code);
        if (length == 0) {
            ++i;
            continue;
        }
        if (xmlChar(code))
            kept.append(text.substr(i, length));
        i += length;
    }
    return kept;
}

// Every element with text of its own, by path, in the order its end tag comes.
using Leaves = std::vector<std::pair<std::string, std::string>>;

struct ReadBack {
    std::vector<std::string> path;
    std::vector<std::string> texts;
    Leaves leaves;
    std::string rootNamespace;
};

bool isLeaf(std::string_view name) {
    for (std::string_view leaf :
         {"color", "width", "name", "description", "styleUrl", "tessellate", "coordinates"})
        if (name == leaf)
            return true;
    return false;
}

void XMLCALL startElement(void *user, const XML_Char *name, const XML_Char **attributes) {
    auto &doc = *static_cast<ReadBack *>(user);
    if (doc.path.empty())
        for (const XML_Char **a = attributes; *a; a += 2)
            if (std::string_view(a[0]) == "xmlns")
                doc.rootNamespace = a[1];
    doc.path.emplace_back(name);
    doc.texts.emplace_back();
}

void XMLCALL endElement(void *user, const XML_Char *name) {
    auto &doc = *static_cast<ReadBack *>(user);
    if (isLeaf(name)) {
        std::string path;
        for (const std::string &step : doc.path)
            path += "/" + step;
        doc.leaves.emplace_back(std::move(path), std::move(doc.texts.back()));
    }
    doc.path.pop_back();
    doc.texts.pop_back();
}

void XMLCALL characters(void *user, const XML_Char *text, int length) {
    auto &doc = *static_cast<ReadBack *>(user);
    if (!doc.texts.empty())
        doc.texts.back().append(text, static_cast<std::size_t>(length));
}

std::string coordinates(float lon, float lat) {
    std::string text;
    pelorin::appendFixed6(text, lon);
    text += ',';
    pelorin::appendFixed6(text, lat);
    return text;
}

Leaves expectedLeaves(const KmlOptions &options, pelorin::TrackView track,
                      const std::vector<GeoRefRecord> &records) {
    const std::string doc = "/kml/Document";
    Leaves leaves = {{doc + "/Style/LineStyle/color", "#990000ff"},
                     {doc + "/Style/LineStyle/width", "6"},
                     {doc + "/name", carriable(options.transectName)},
                     {doc + "/description", carriable(options.transectDesc)},
                     {doc + "/Placemark/name", "Transekt"},
                     {doc + "/Placemark/styleUrl", "#pathStyle"}};
    if (options.tessellate)
        leaves.emplace_back(doc + "/Placemark/LineString/tessellate", "1");
    const bool elevationMode = options.elevation && options.hasElevation;
    std::string line;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const TrackPoint &point = track[i];
        line += coordinates(pelorin::coordinateValue(point.lon()), pelorin::coordinateValue(point.lat()));
        line += ',';
        // An elevation that is empty once cleaned counts as none, so every tuple ends in a number.
        const std::string elevation = carriable(elevationMode ? point.elevation().value_or("") : "");
        line += elevation.empty() ? "0" : elevation;
        line += '\n';
    }
    leaves.emplace_back(doc + "/Placemark/LineString/coordinates", std::move(line));
    for (const GeoRefRecord &record : records) {
        leaves.emplace_back(doc + "/Placemark/name", carriable(record.name));
        leaves.emplace_back(doc + "/Placemark/description", carriable(record.desc));
        leaves.emplace_back(doc + "/Placemark/Point/coordinates", coordinates(record.lon, record.lat));
    }
    return leaves;
}

// Says which element differs, bytes escaped, before the check stops the run.
void reportMismatch(const Leaves &actual, const Leaves &expected) {
    const auto show = [](const std::string &text) {
        std::string shown;
        for (unsigned char c : text) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, c < 0x20 || c >= 0x7F ? "\\x%02x" : "%c", c);
            shown += buffer;
        }
        return shown;
    };
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const bool both = i < actual.size() && i < expected.size();
        if (both && actual[i] == expected[i])
            continue;
        std::fprintf(stderr, "element %zu: read back %s \"%s\", expected %s \"%s\"\n", i,
                     i < actual.size() ? actual[i].first.c_str() : "(none)",
                     i < actual.size() ? show(actual[i].second).c_str() : "",
                     i < expected.size() ? expected[i].first.c_str() : "(none)",
                     i < expected.size() ? show(expected[i].second).c_str() : "");
        return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    KmlOptions options;
    options.tessellate = in.ConsumeBool();
    options.elevation = in.ConsumeBool();
    options.hasElevation = in.ConsumeBool();
    options.transectName = in.ConsumeRandomLengthString(128);
    options.transectDesc = in.ConsumeRandomLengthString(128);

    std::vector<TrackPoint> points(in.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (TrackPoint &point : points) {
        point.setAttribute("lat", in.ConsumeRandomLengthString(24));
        point.setAttribute("lon", in.ConsumeRandomLengthString(24));
        if (in.ConsumeBool())
            point.setElevation(in.ConsumeRandomLengthString(24));
    }
    std::vector<std::uint32_t> order;
    if (!points.empty() && in.ConsumeBool()) {
        order.resize(in.ConsumeIntegralInRange<std::size_t>(1, 8));
        for (std::uint32_t &index : order)
            index =
                in.ConsumeIntegralInRange<std::uint32_t>(0, static_cast<std::uint32_t>(points.size() - 1));
    }
    std::vector<GeoRefRecord> records(in.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (GeoRefRecord &record : records) {
        record.name = in.ConsumeRandomLengthString(64);
        record.desc = in.ConsumeRandomLengthString(64);
        record.lat = in.ConsumeFloatingPoint<float>();
        record.lon = in.ConsumeFloatingPoint<float>();
    }
    const pelorin::TrackView track{points, order};

    const std::string document = pelorin::kmlDocument(options, track, records);
    std::string streamed;
    pelorin::writeKmlDocument(options, track, records, [&](std::string_view bytes) { streamed += bytes; });
    PELORIN_FUZZ_CHECK(streamed == document);

    // Written while the log is read, the track in file order: the same bytes,
    // wherever the log's first elevation turned up.
    if (order.empty()) {
        const std::size_t firstElevation =
            options.hasElevation ? in.ConsumeIntegralInRange<std::size_t>(0, points.size()) : points.size();
        std::string ahead;
        pelorin::KmlTrackStream stream(options, [&](std::string_view bytes) { ahead += bytes; });
        for (std::size_t i = 0; i < points.size(); ++i)
            stream.add(points[i], i >= firstElevation);
        stream.finish(options.hasElevation, points, records);
        PELORIN_FUZZ_CHECK(ahead == document);
    }

    ReadBack doc;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &doc);
    XML_SetElementHandler(parser, startElement, endElement);
    XML_SetCharacterDataHandler(parser, characters);
    const XML_Status status = XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE);
    if (status != XML_STATUS_OK)
        std::fprintf(stderr, "expat: %s at line %lu, column %lu\n", XML_ErrorString(XML_GetErrorCode(parser)),
                     XML_GetCurrentLineNumber(parser), XML_GetCurrentColumnNumber(parser) + 1);
    XML_ParserFree(parser);

    PELORIN_FUZZ_CHECK(status == XML_STATUS_OK);
    PELORIN_FUZZ_CHECK(doc.rootNamespace == "http://www.opengis.net/kml/2.2");
    const Leaves expected = expectedLeaves(options, track, records);
    if (doc.leaves != expected)
        reportMismatch(doc.leaves, expected);
    PELORIN_FUZZ_CHECK(doc.leaves == expected);
    return 0;
}
