#include "documents/GeoJsonWriter.h"
#include "documents/GpxWriter.h"
#include "documents/KmlWriter.h"
#include "documents/SurveyKmlWriter.h"
#include "georef/PlacementReport.h"

#include "ScopedTimeZone.h"
#include "SharedData.h"
#include "SurveyFixture.h"
#include "TempFolder.h"
#include "fileio/AtomicWrite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <sys/wait.h>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::SurveyFixture;

std::size_t count(const std::string &text, const std::string &part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

void expectInOrder(const std::string &text, std::initializer_list<std::string> parts) {
    std::size_t at = 0;
    for (const std::string &part : parts) {
        const std::size_t found = text.find(part, at);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << part << "\n" << text;
        at = found + part.size();
    }
}

TEST(SurveyKml, TrackBySegmentWaypointsApartAndOneFolderPerSpecies) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::string kml = surveyKml(SurveyFixture().survey());
    expectInOrder(
        kml, {
                 "<Document>\n        <name>Evening &amp; walk</name>",
                 "<description>Stream meadow\n\nNot placed (2 recordings):\nEarly.wav: before-track\n"
                 "Timeless.wav: no-time</description>",
                 "<Style id=\"species-0\">", // Eser: only in an unplaced recording, styled all the same
                 "<name>Evening &amp; walk</name>\n            <styleUrl>#track</styleUrl>",
                 "<MultiGeometry>\n                <LineString>\n                    "
                 "<tessellate>1</tessellate>\n                    <coordinates>9.500000,48.849998,312.4\n"
                 "9.501000,48.851002,313\n9.502000,48.852001\n</coordinates>",
                 "<coordinates>9.600000,48.860001,320\n9.601000,48.861000\n</coordinates>",
                 "<Folder>\n            <name>Waypoints</name>",
                 "<name>Car park &amp; bridge</name>\n                "
                 "<TimeStamp><when>2024-06-01T09:00:00Z</when></TimeStamp>",
                 "<Folder>\n            <name>Ppip</name>",
                 "<name>Ppip</name>\n                <description>File Ppip &amp; &lt;one&gt;.wav\n"
                 "Species Ppip\nRecorder time 2024-06-01T12:00:30+02:00\n"
                 "Corrected time 2024-06-01T10:00:30Z\nPlacement interpolated, within 6.2 m</description>",
                 "<TimeStamp><when>2024-06-01T10:00:30Z</when></TimeStamp>\n"
                 "                <styleUrl>#species-2</styleUrl>",
                 "<Point><coordinates>9.500500,48.850498</coordinates></Point>",
                 "<Folder>\n            <name>Several species</name>",
                 "<name>Ppip,Nnoc</name>",
                 "<styleUrl>#species-2</styleUrl>", // its first species' colour
                 "<Folder>\n            <name>No species</name>",
                 "<styleUrl>#no-species</styleUrl>",
                 "</Folder>\n    </Document>\n</kml>\n",
             });
    // The lone fix of the last segment is no line; waypoints are not on the track; placed recordings only.
    EXPECT_EQ(count(kml, "<LineString>"), 2u);
    EXPECT_EQ(kml.find("9.510000,48.860001,"), std::string::npos);
    EXPECT_EQ(count(kml, "<Placemark>"), 1u + 2u + 4u);
    EXPECT_EQ(count(kml, "<Data name="), 4u * 15u);
}

TEST(Gpx, WaypointsRecordingsAndTheTrackBySegment) {
    test::ScopedTimeZone zone("UTC0");
    const std::string gpx = gpxDocument(SurveyFixture().survey());
    expectInOrder(gpx,
                  {
                      "<metadata><name>Evening &amp; walk</name><desc>Stream meadow\n\nNot placed",
                      "<wpt lat=\"48.860001\" lon=\"9.510000\"><ele>300</ele><time>2024-06-01T09:00:00Z"
                      "</time><name>Car park &amp; bridge</name></wpt>",
                      "<wpt lat=\"48.850498\" lon=\"9.500500\"><ele>312.7</ele>"
                      "<time>2024-06-01T10:00:30Z</time><name>Ppip &amp; &lt;one&gt;.wav (Ppip)</name>"
                      "<desc>File Ppip",
                      "<type>recording</type></wpt>",
                      // An elevation that is no number is left out, not invented.
                      "<trkpt lat=\"48.861000\" lon=\"9.601000\"><time>2024-06-01T10:11:00Z</time></trkpt>",
                  });
    EXPECT_EQ(count(gpx, "<wpt "), 2u + 4u);
}

// ---- One recording's fields, the same in the report, the survey KML and GeoJSON -------------------

using Fields = std::map<std::string, std::string>;

std::vector<std::string> split(const std::string &line) {
    std::vector<std::string> parts(1);
    for (const char c : line) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

// The report's row whose first field is `name`, by the header's names; fields quoted only by the filename.
Fields reportFields(const std::string &report, const std::string &name) {
    const std::vector<std::string> header = split(report.substr(0, report.find("\r\n")));
    const std::size_t row = report.find("\r\n" + name + ",") + 2 + name.size() + 1;
    std::vector<std::string> values = split(report.substr(row, report.find("\r\n", row) - row));
    values.insert(values.begin(), name);
    Fields fields;
    for (std::size_t i = 0; i < header.size() && i < values.size(); ++i)
        fields[header[i]] = values[i];
    return fields;
}

TEST(SurveyWriters, TheReportTheSurveyKmlAndGeoJsonAgreeFieldByField) {
    test::ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0"); // far from the walk's UTC+2
    const SurveyFixture fixture;
    const SurveyDocument survey = fixture.survey();
    std::string report;
    writePlacementReport(fixture.recordings, fixture.placements,
                         [&](std::string_view piece) { report += piece; });
    const std::string kml = surveyKml(survey), json = geoJson(survey);
    const std::vector<std::string> names = split(
        "filename,species,start_time,time_source,corrected_time,status,elevation,seconds_to_fix,gap_seconds,"
        "uncertainty_m,recorder_latitude,recorder_longitude,recorder_distance_m,offset_seconds,gps_log");
    struct Case {
        bool inKml;                      // placed
        std::vector<std::string> values; // in the order of `names`; the filename as the report quotes it
    };
    const Case cases[] = {
        {true,
         {"Ppip & <one>.wav", "Ppip", "2024-06-01T12:00:30+02:00", "catalogue", "2024-06-01T10:00:30Z",
          "interpolated", "312.7", "30", "60", "6.2", "48.850600", "9.500500", "11.3", "37.25",
          "walk & <1>.gpx"}},
        {true,
         {"Nnoc.wav", "Nnoc", "2024-06-01 12:01:00+02:00", "GUANO", "2024-06-01T10:01:00Z", "exact", "", "0",
          "", "6.2", "48.951000", "9.601000", "13306.7", "0", "walk & <1>.gpx"}},
        {false,
         {"Early.wav", "Eser", "2024-06-01T10:00:00+02:00", "modification time", "2024-06-01T08:00:00Z",
          "before-track", "", "7200", "", "", "", "", "", "0", ""}},
        {false, {"Timeless.wav", "Ppip", "", "", "", "no-time", "", "", "", "", "", "", "", "", ""}},
    };
    // From a recording's filename to the end of its fields.
    const auto part = [](const std::string &text, const std::string &from, const std::string &to) {
        const std::size_t at = text.find(from);
        return at == std::string::npos ? "" : text.substr(at, text.find(to, at) - at);
    };
    const auto xml = [](const std::string &text) {
        std::string out;
        for (const char c : text)
            out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
        return out;
    };
    for (const Case &c : cases) {
        const std::string &name = c.values.front();
        SCOPED_TRACE(name);
        const Fields inReport = reportFields(report, name);
        const std::string inJson = part(json, "\"filename\":\"" + name + "\"", "marker-color");
        const std::string inKml = part(kml, "<Data name=\"filename\"><value>" + xml(name) + "<", "</Ext");
        EXPECT_EQ(inKml.empty(), !c.inKml);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string &field = names[i], &value = c.values[i];
            EXPECT_EQ(inReport.at(field), value) << "report: " << field;
            const bool number = i >= 6 && i <= 13; // elevation to offset_seconds
            const std::string jsonValue = !number ? "\"" + value + "\"" : value.empty() ? "null" : value;
            EXPECT_NE(inJson.find("\"" + field + "\":" + jsonValue + ","), std::string::npos)
                << "GeoJSON: " << field << "\n"
                << inJson;
            if (!c.inKml)
                continue;
            EXPECT_NE(inKml.find("<Data name=\"" + field + "\"><value>" + xml(value) + "</value>"),
                      std::string::npos)
                << "KML: " << field;
        }
    }
}

// ---- Read back by the tools surveyors use -------------------------------------------------------

struct ToolResult {
    int status = -1; // -1: a tool it needs is missing
    std::string output;
};

ToolResult run(std::initializer_list<std::string> tools, const std::string &command,
               const test::TempFolder &folder) {
    for (const std::string &tool : tools)
        if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
            return {-1, tool + " is missing"};
    const int status = std::system((command + " >" + (folder / "output") + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 127, test::readFile(folder / "output")};
}

// A missing tool skips only the checks that need it.
bool skipped(const ToolResult &r) {
    if (r.status == -1)
        std::cout << "skipped: " << r.output << "\n";
    return r.status == -1;
}

// The survey KML and GPX, written as the command writes them.
struct Written {
    test::TempFolder folder;
    std::string kml = folder / "s.kml", gpx = folder / "s.gpx";
    Written() {
        const SurveyFixture fixture; // the document holds views of its vectors
        const SurveyDocument survey = fixture.survey();
        EXPECT_TRUE(writeFileAtomically(kml, [&](const ByteSink &s) { writeSurveyKml(survey, s); }));
        EXPECT_TRUE(writeFileAtomically(gpx, [&](const ByteSink &s) { writeGpx(survey, s); }));
    }
};

TEST(SurveyReadBack, TheKmlAndGpxAreValidAgainstTheirSchemas) {
    PELORIN_REQUIRE_SHARED();
    const Written w;
    const std::string commands[] = {test::sharedDir() + "/tools/validate-kml --strict " + w.kml,
                                    "xmllint --noout --nonet --schema " + test::sharedDir() +
                                        "/schemas/gpx11/gpx.xsd " + w.gpx};
    for (const std::string &command : commands) {
        const ToolResult r = run({"xmllint", "python3"}, command, w.folder);
        if (skipped(r))
            continue;
        EXPECT_EQ(r.status, 0) << command << "\n" << r.output;
    }
}

} // namespace
} // namespace pelorin
