#pragma once

#include "georef/GeoRefRecord.h"
#include "gpx/TrackView.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pelorin {

struct KmlOptions {
    std::string transectName;
    std::string transectDesc;
    bool tessellate = false;
    bool elevation = false;    // the checkbox
    bool hasElevation = false; // the log carried an elevation
};

using ByteSink = std::function<void(std::string_view bytes)>;

// Streams the pretty-printed UTF-8 KML 2.2 document to sink in pieces of a
// few kilobytes, so a million-point track never sits in memory whole.
void writeKmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records,
                      const ByteSink &sink);

// The whole document as bytes.
std::string kmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records);

// Appends text as XML character data: reserved characters escaped, characters
// XML 1.0 cannot carry (controls other than tab, LF, CR; invalid UTF-8) dropped.
void appendXmlText(std::string &out, std::string_view text);

} // namespace pelorin
