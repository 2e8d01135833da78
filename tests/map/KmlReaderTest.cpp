#include "map/KmlReader.h"
#include "WrittenKml.h"

#include <gtest/gtest.h>

using namespace pelorin;
using pelorin::test::writtenKml;

TEST(KmlReader, ReadsTheWritersDocument) {
    const KmlReadResult result = parseKml(writtenKml());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const KmlDocument &doc = result.document;
    EXPECT_EQ(doc.name, QStringLiteral("Evening & night"));
    ASSERT_EQ(doc.tracks.size(), 1u);
    const KmlTrack &track = doc.tracks[0];
    EXPECT_EQ(track.color, QColor(0xff, 0x00, 0x00, 0x99)); // #990000ff: aabbggrr
    EXPECT_EQ(track.width, 6);
    ASSERT_EQ(track.points.size(), 3u);
    EXPECT_NEAR(track.points[1].lat, 48.8512, 1e-5);
    EXPECT_NEAR(track.points[1].lon, 9.5003, 1e-5);
    ASSERT_EQ(doc.places.size(), 2u);
    EXPECT_EQ(doc.places[0].name, QStringLiteral("Ppip,Nnoc"));
    EXPECT_EQ(doc.places[0].description, QStringLiteral("File rec1\nTime 21:35:17"));
    EXPECT_NEAR(doc.places[1].position.lat, 48.853, 1e-5);
    EXPECT_NEAR(doc.places[1].position.lon, 9.5011, 1e-5);
}

TEST(KmlReader, RefusesBrokenDocumentsWithAMessage) {
    const std::pair<const char *, const char *> cases[] = {
        {"", "empty"},
        {"  \n", "empty"},
        {"<kml><Document><Placemark><LineString><coordinates>1,2", "well-formed"},
        {"<kml><Document></Documen></kml>", "line 1"},
        {"<gpx><trk/></gpx>", "not a KML document"},
        {"<kml><Document><name>x</name></Document></kml>", "no track"},
        {"<kml><Placemark><LineString><coordinates></coordinates></LineString></Placemark></kml>",
         "no track"},
        {"<kml><Placemark><LineString><coordinates>1,2\n9.5,north</coordinates></LineString></Placemark></"
         "kml>",
         "9.5,north"},
        {"<kml><Placemark><Point><coordinates>12</coordinates></Point></Placemark></kml>", "Bad coordinate"},
        {"<kml><Placemark><Point><coordinates>10,95</coordinates></Point></Placemark></kml>",
         "Bad coordinate"},
        {"<kml><Placemark><Point><coordinates>1,2,x</coordinates></Point></Placemark></kml>",
         "Bad coordinate"},
    };
    for (const auto &[kml, messagePart] : cases) {
        SCOPED_TRACE(kml);
        const KmlReadResult result = parseKml(kml);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(QLatin1String(messagePart), Qt::CaseInsensitive))
            << result.error.toStdString();
        EXPECT_TRUE(result.document.tracks.empty() && result.document.places.empty());
    }
}
