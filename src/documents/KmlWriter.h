#pragma once

#include "fileio/ByteSink.h"

#include "documents/XmlText.h" // appendXmlText, for the writers' callers
#include "georef/GeoRefRecord.h"
#include "gpx/TrackView.h"

#include <cstddef>
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

// Streams the pretty-printed UTF-8 KML 2.2 document to sink in pieces of about
// 64 KiB, so a million-point track never sits in memory whole. Coordinates are
// the float readings of the texts, "%f", longitude first; in elevation mode
// (hasElevation and the checkbox) a point without an elevation, or with an
// empty one, gets 0.
void writeKmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records,
                      const ByteSink &sink);

// The whole document as bytes.
std::string kmlDocument(const KmlOptions &options, TrackView track, std::span<const GeoRefRecord> records);

// The document in the order it is written, for a writer that streams the
// track while the log is still being read (KmlTrackStream): everything before
// the first coordinate; one point's line of the track (an empty elevation
// writes 0); everything after the first `from` lines of the track.
std::string kmlHead(const KmlOptions &options);
void appendKmlTrackLine(std::string &out, std::string_view lon, std::string_view lat,
                        std::string_view elevation);
void writeKmlDocumentFrom(const KmlOptions &options, TrackView track, std::size_t from,
                          std::span<const GeoRefRecord> records, const ByteSink &sink);

} // namespace pelorin
