#pragma once

#include <string>
#include <string_view>

namespace pelorin::test {

// The smallest survey that gets written: two timed points ten minutes apart
// and one recording half-way between them.
inline constexpr std::string_view kTwoTrackPoints =
    "<trkpt lat=\"48.137000\" lon=\"11.575000\"><ele>519.0</ele><time>2009-05-01T10:00:00Z</time></trkpt>\n"
    "<trkpt lat=\"48.138000\" lon=\"11.576000\"><ele>520.5</ele><time>2009-05-01T10:10:00Z</time></trkpt>\n";

inline constexpr std::string_view kOneRecordingCsv =
    "filename,recording_time,species\nrec001.wav,2009-05-01T10:05:00Z,Ppip\n";

inline std::string gpxDocument(std::string_view trackSegment, std::string_view encoding = "UTF-8") {
    std::string doc = "<?xml version=\"1.0\" encoding=\"";
    doc.append(encoding).append("\"?>\n<gpx version=\"1.1\" creator=\"hardening\"><trk><trkseg>\n");
    doc.append(trackSegment).append("</trkseg></trk></gpx>\n");
    return doc;
}

} // namespace pelorin::test
