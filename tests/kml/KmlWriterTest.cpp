#include "kml/KmlWriter.h"

#include "SharedData.h"
#include "TempFolder.h"
#include "fileio/AtomicWrite.h"
#include "georef/TrackFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;

std::string document(const KmlOptions &options, const std::vector<TrackPoint> &points,
                     const std::vector<GeoRefRecord> &records = {}) {
    return kmlDocument(options, TrackView{points, {}}, records);
}

// The track text between <coordinates> and </coordinates>.
std::string trackText(const std::string &kml) {
    const std::size_t start = kml.find("<coordinates>") + 13;
    return kml.substr(start, kml.find("</coordinates>") - start);
}

TEST(KmlWriter, WritesTheWholeDocument) {
    const KmlOptions options{"Evening walk", "Stream\nmeadow", true, true, true};
    const std::vector<TrackPoint> points = {point("48.85", "9.5", kStart, "312.4"),
                                            point("48.8512", "9.5003", kStart + 1s),
                                            point("48.8513", "9.5004", kStart + 2s, "")};
    const std::vector<GeoRefRecord> records = {{"Ppip,Nnoc", "File rec1\nTime 12:00:01", 48.85f, 9.5f}};
    EXPECT_EQ(document(options, points, records), R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2">
    <Document>
        <Style id="pathStyle">
            <LineStyle>
                <color>#990000ff</color>
                <width>6</width>
            </LineStyle>
        </Style>
        <name>Evening walk</name>
        <description>Stream
meadow</description>
        <Placemark>
            <name>Transekt</name>
            <styleUrl>#pathStyle</styleUrl>
            <LineString>
                <tessellate>1</tessellate>
                <coordinates>9.500000,48.849998,312.4
9.500300,48.851200,0
9.500400,48.851299,0
</coordinates>
            </LineString>
        </Placemark>
        <Placemark>
            <name>Ppip,Nnoc</name>
            <description>File rec1
Time 12:00:01</description>
            <Point>
                <coordinates>9.500000,48.849998</coordinates>
            </Point>
        </Placemark>
    </Document>
</kml>
)");
}

TEST(KmlWriter, WritesTheArrangedTrackWithElevationsAndTessellationOnlyWhenAsked) {
    const std::vector<TrackPoint> points = {point("1", "2", kStart, "12.5"),
                                            point("3", "4", std::nullopt, ""), point("5", "6", kStart + 1s)};
    const std::vector<std::uint32_t> arranged = {2, 0, 1};
    for (const KmlOptions &options :
         {KmlOptions{"", "", false, true, false}, KmlOptions{"", "", false, false, true}}) {
        const std::string kml = kmlDocument(options, TrackView{points, arranged}, {});
        EXPECT_EQ(trackText(kml), "6.000000,5.000000,0\n2.000000,1.000000,0\n4.000000,3.000000,0\n");
        EXPECT_EQ(kml.find("<tessellate>"), std::string::npos);
    }
    EXPECT_TRUE(document({}, {}).ends_with("        </Placemark>\n    </Document>\n</kml>\n"));
}

TEST(KmlWriter, EscapesAndCleansEveryText) {
    const KmlOptions options{"&<>\x01", "a\x02&b", false, true, true};
    const std::vector<TrackPoint> points = {point("1", "2", kStart, "5<\x03"),
                                            point("3", "4", kStart, "\x01\x02")};
    const std::vector<GeoRefRecord> records = {{"P&p", "File <x>\x1b\nTime 10:00:00", 1, 2}};
    const std::string kml = document(options, points, records);
    for (const char *expected : {"<name>&amp;&lt;&gt;</name>", "<description>a&amp;b</description>",
                                 "2.000000,1.000000,5&lt;\n", "4.000000,3.000000,0\n", "<name>P&amp;p</name>",
                                 "<description>File &lt;x&gt;\nTime 10:00:00</description>"})
        EXPECT_NE(kml.find(expected), std::string::npos) << expected;

    const std::pair<std::string, std::string> cases[] = {
        {std::string("nul\0\x1f\t\n\x7f", 8), "nul\t\n\x7f"},
        {"cr\r\n", "cr&#13;\n"}, // a literal CR would read back as a line feed
        {"\xc3\xa9\xf0\x9f\xa6\x87\xef\xbf\xbd\xef\xbf\xbe", "\xc3\xa9\xf0\x9f\xa6\x87\xef\xbf\xbd"},
        // Not UTF-8: stray bytes, overlong, a surrogate, beyond U+10FFFF, cut short.
        {"bad\xff\x80\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80\xc3", "bad"},
        // Overlong three- and four-byte forms (of '/', U+07FF, U+FFFD), beside the shortest ones.
        {"3:\xe0\x80\xaf\xe0\x9f\xbf\xe0\xa0\x80", "3:\xe0\xa0\x80"},
        {"4:\xf0\x80\x80\xaf\xf0\x8f\xbf\xbd\xf0\x90\x80\x80", "4:\xf0\x90\x80\x80"},
    };
    for (const auto &[text, xml] : cases) {
        std::string out = "=";
        appendXmlText(out, text);
        EXPECT_EQ(out, "=" + xml) << text;
    }
}

// The streamed pieces are the document, each byte once, however many pieces it takes.
TEST(KmlWriter, StreamsTheWholeDocumentOnceInPieces) {
    for (const std::size_t count : {0u, 1u, 3000u, 6000u}) {
        std::vector<TrackPoint> points;
        std::vector<GeoRefRecord> records;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string lat = "48." + std::to_string(100000 + i);
            points.push_back(point(lat.c_str(), "9.5", kStart + std::chrono::seconds(i), "312.4"));
            if (i % 10 == 0)
                records.push_back({"Ppip", "File r" + std::to_string(i), 48.1f, 9.5f});
        }
        const KmlOptions options{"Walk", "", true, true, true};
        const std::string whole = kmlDocument(options, TrackView{points, {}}, records);
        std::string streamed;
        std::size_t pieces = 0;
        writeKmlDocument(options, TrackView{points, {}}, records, [&](std::string_view piece) {
            if (streamed.size() <= whole.size()) // a writer that repeats itself must not fill the memory
                streamed.append(piece);
            ++pieces;
        });
        EXPECT_EQ(streamed, whole) << count << " points";
        EXPECT_GE(pieces, streamed.size() / (66 * 1024) + 1) << count << " points"; // about 64 KiB each
    }
}

// A small walk with texts that need escaping and cleaning, written the way the command writes it.
std::string writeWalk(const test::TempFolder &folder) {
    const std::vector<GeoRefRecord> records = {
        {"Ppip,Nnoc", "File <odd> & name\nTime 21:30:00", 48.85f, 9.5f},
        {"Eser", "File e\x02\nTime 21:32:00", 48.852f, 9.502f}};
    const std::vector<TrackPoint> points = {point("48.85", "9.5", kStart, "312.4"),
                                            point("48.852", "9.502", kStart + 2s)};
    const KmlOptions options{"&<>\x01", "Evening & night", true, true, true};
    EXPECT_TRUE(writeFileAtomically(folder / "walk.kml", [&](const ByteSink &sink) {
        writeKmlDocument(options, TrackView{points, {}}, records, sink);
    }));
    return folder / "walk.kml";
}

// The command's exit status and what it printed, or -1 when a tool it needs is missing.
std::pair<int, std::string> run(std::initializer_list<std::string> tools, const std::string &command,
                                const test::TempFolder &folder) {
    for (const std::string &tool : tools)
        if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
            return {-1, tool + " is missing"};
    const int status = std::system((command + " >" + (folder / "output") + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 127, test::readFile(folder / "output")};
}

TEST(KmlReadBack, ValidatesAgainstTheKmlSchema) {
    PELORIN_REQUIRE_SHARED();
    test::TempFolder folder;
    const auto [status, output] =
        run({"xmllint", "python3"}, test::sharedDir() + "/tools/validate-kml " + writeWalk(folder), folder);
    if (status == -1)
        GTEST_SKIP() << output;
    EXPECT_EQ(status, 0) << output;
}

TEST(KmlReadBack, GdalListsTheTrackAndEveryPlacemark) {
    test::TempFolder folder;
    const auto [status, output] = run({"ogrinfo"}, "ogrinfo -ro -al " + writeWalk(folder), folder);
    if (status == -1)
        GTEST_SKIP() << output;
    ASSERT_EQ(status, 0) << output;
    for (const char *expected :
         {"Layer name: &<>\n", "Feature Count: 3\n", "Name (String) = Transekt\n",
          "LINESTRING Z (9.5 48.849998 312.4,9.502 48.852001 0)", "Name (String) = Ppip,Nnoc\n",
          "description (String) = File <odd> & name\nTime 21:30:00\n", "Name (String) = Eser\n",
          "description (String) = File e\nTime 21:32:00\n", "POINT (9.502 48.852001)"})
        EXPECT_NE(output.find(expected), std::string::npos) << expected << "\n" << output;
}

} // namespace
} // namespace pelorin
