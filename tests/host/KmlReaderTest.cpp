#include "host/KmlReader.h"
#include "gpx/TrackPoint.h"
#include "kml/KmlWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace pelorin;

namespace {

TrackPoint trackPoint(const char *lat, const char *lon) {
    TrackPoint point;
    point.setAttribute("lat", lat);
    point.setAttribute("lon", lon);
    return point;
}

// A document as the project's KML writer makes it.
QByteArray writtenKml(const std::vector<TrackPoint> &points, const std::vector<GeoRefRecord> &records) {
    const KmlOptions options{"Evening & night", "Meadow", true, false, false};
    return QByteArray::fromStdString(kmlDocument(options, TrackView{points, {}}, records));
}

} // namespace

TEST(KmlReader, ReadsTheWritersDocument) {
    const std::vector<TrackPoint> points{trackPoint("48.85", "9.5"), trackPoint("48.8512", "9.5003"),
                                         trackPoint("48.8530", "9.5011")};
    const std::vector<GeoRefRecord> records{{"Ppip,Nnoc", "File rec1\nTime 21:35:17", 48.8512f, 9.5003f},
                                            {"No species", "File rec2\nTime 21:40:00", 48.853f, 9.5011f}};
    const KmlReadResult result = parseKml(writtenKml(points, records));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const KmlDocument &doc = result.document;
    EXPECT_EQ(doc.name, QStringLiteral("Evening & night"));

    ASSERT_EQ(doc.tracks.size(), 1u);
    const KmlTrack &track = doc.tracks[0];
    EXPECT_EQ(track.name, QStringLiteral("Transekt"));
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

TEST(KmlReader, ResolvesStylesDeclaredAnywhereAndInline) {
    const KmlReadResult result = parseKml(R"(<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
        <Folder><Placemark><styleUrl>#late</styleUrl><LineString><coordinates>1,2 3,4</coordinates></LineString></Placemark></Folder>
        <Placemark><Style><LineStyle><color>7f00ff00</color></LineStyle></Style>
          <MultiGeometry><LineString><coordinates>1,2,5 3,4,6</coordinates></LineString><Point><coordinates>5,6</coordinates></Point></MultiGeometry></Placemark>
        <Placemark><LineString><coordinates>0,0 1,1</coordinates></LineString></Placemark>
        <Style id="late"><LineStyle><color>#ffff0000</color><width>3.5</width></LineStyle></Style>
        </Document></kml>)");
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    ASSERT_EQ(result.document.tracks.size(), 3u);
    EXPECT_EQ(result.document.tracks[0].color, QColor(0, 0, 0xff));
    EXPECT_EQ(result.document.tracks[0].width, 3.5);
    EXPECT_EQ(result.document.tracks[1].color, QColor(0, 0xff, 0, 0x7f));
    EXPECT_TRUE(result.document.tracks[2].color.isValid());
    ASSERT_EQ(result.document.places.size(), 1u);
    EXPECT_EQ(result.document.places[0].position.lat, 6);
}

TEST(KmlReader, RefusesBrokenDocumentsWithAMessage) {
    struct Case {
        const char *kml;
        const char *messagePart;
    };
    const Case cases[] = {
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
    for (const Case &c : cases) {
        const KmlReadResult result = parseKml(c.kml);
        EXPECT_FALSE(result.ok()) << c.kml;
        EXPECT_TRUE(result.error.contains(QLatin1String(c.messagePart), Qt::CaseInsensitive))
            << c.kml << " -> " << result.error.toStdString();
        EXPECT_TRUE(result.document.tracks.empty() && result.document.places.empty());
    }
}

TEST(KmlReader, ReadsFilesAndReportsUnreadableOnes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.kml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writtenKml({trackPoint("1", "2")}, {}));
    file.close();
    EXPECT_TRUE(readKmlFile(path).ok());
    EXPECT_FALSE(readKmlFile(dir.filePath(QStringLiteral("missing.kml"))).error.isEmpty());
}

TEST(KmlReader, ParsesKmlColours) {
    EXPECT_EQ(parseKmlColor(u"#990000ff"), QColor(0xff, 0, 0, 0x99));
    EXPECT_EQ(parseKmlColor(u"80112233"), QColor(0x33, 0x22, 0x11, 0x80));
    EXPECT_FALSE(parseKmlColor(u"ff0000"));
    EXPECT_FALSE(parseKmlColor(u"#zz0000ff"));
}
