#include "map/MapWindow.h"
#include "ShowTrack.h"
#include "SurveyDocuments.h"
#include "WrittenKml.h"
#include "documents/GeoJsonWriter.h"
#include "documents/SurveyKmlWriter.h"
#include "host/HostApplication.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableView.h"
#include "map/GeoJsonReader.h"
#include "map/KmlReader.h"
#include "map/MapCanvas.h"
#include "map/SpeciesLegend.h"

#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

void showSurvey(MapWindow &window) {
    window.showDocument(QStringLiteral("/surveys/meadow.kml"), parseKml(surveyKml()).document);
    window.resize(700, 520);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
}

QString writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
    return path;
}

} // namespace

// A preview lives in the temporary folder under a made-up name, which must show neither in the title nor in
// the status line.
TEST(MapWindow, TitleAndStatusLineNeverShowATemporaryFilesName) {
    const QByteArray unnamed = "<kml><Document><Placemark><Point><coordinates>9.5,48.85</coordinates></Point>"
                               "</Placemark></Document></kml>";
    QTemporaryDir elsewhere;
    const struct {
        QString path;
        QByteArray content;
        QString title;
    } cases[] = {
        {QDir(QDir::tempPath()).filePath(QStringLiteral("quorvatixpreview.mapTst")), plainKml(),
         QStringLiteral("Map: Transekt")},
        {elsewhere.filePath(QStringLiteral("night.kml")), unnamed, QStringLiteral("Map: night.kml")},
    };
    CentralMapDisplay display;
    for (const auto &c : cases) {
        test::showTrackAndWait(display, writeFile(c.path, c.content));
        EXPECT_EQ(display.window()->windowTitle(), c.title) << c.path.toStdString();
        const bool preview = QFileInfo(c.path).absolutePath() == QDir::tempPath();
        EXPECT_EQ(display.window()->statusBar()->currentMessage(), preview ? QString() : c.path);
        if (preview)
            QFile::remove(c.path);
    }
    display.window()->close();
}

// The document given before the window first shows is fitted then. Its legend's entries toggle their species;
// the waypoint is no species' and stays; the stop's three recordings are spread, not stacked.
TEST(MapWindow, FitsTheDataWhenItFirstShowsAndLegendEntriesToggleTheirSpecies) {
    MapWindow window;
    showSurvey(window);
    MapCanvas &canvas = *window.canvas();
    for (const GeoPoint p : {GeoPoint{48.85, 9.5}, GeoPoint{48.852, 9.504}, GeoPoint{48.87, 9.52}})
        EXPECT_TRUE(
            QRectF(canvas.rect()).contains(canvas.viewport().toScreen(canvas.projection().project(p))))
            << p.lat << ", " << p.lon;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map: Meadow transect"));
    SpeciesLegend &legend = *window.legend();
    EXPECT_TRUE(legend.isVisibleTo(&window));
    ASSERT_EQ(legend.count(), 2);
    EXPECT_EQ(legend.item(0)->text(), QStringLiteral("Nnoc (3)"));
    EXPECT_EQ(legend.item(1)->text(), QStringLiteral("Ppip (2)"));
    EXPECT_EQ(canvas.legend()[1].color, QColor(0xff, 0, 0)) << "the document's own colour";
    const QPointF rec1 = *canvas.pinPosition(QStringLiteral("rec1.wav"));
    EXPECT_NE(rec1, *canvas.pinPosition(QStringLiteral("rec2.wav")));
    EXPECT_NE(rec1, *canvas.pinPosition(QStringLiteral("rec3.wav")));

    const struct {
        const char *species;
        Qt::CheckState state;
        QStringList shown;
    } steps[] = {
        {"Ppip", Qt::Unchecked, {"rec2.wav", "rec3.wav", "rec4.wav"}}, // rec2 is Nnoc too
        {"Ppip", Qt::Checked, {"rec1.wav", "rec2.wav", "rec3.wav", "rec4.wav"}},
    };
    for (const auto &step : steps) {
        legend.entry(QString::fromUtf8(step.species))->setCheckState(step.state);
        QStringList shown;
        for (const char *file : {"rec1.wav", "rec2.wav", "rec3.wav", "rec4.wav"})
            if (canvas.pinPosition(QString::fromUtf8(file)))
                shown << QString::fromUtf8(file);
        EXPECT_EQ(shown, step.shown) << step.species << " " << step.state;
    }
}

// A species wears one colour in the survey KML and GeoJSON, and on the map (pin and legend) for those and for
// the plain document: the slot of its name's FNV-1a hash in the palette, else the next free one. Eser and
// Ppip both hash to slot 0 (0x16418a42 and 0x21344474, mod 7): Eser, first in sorted order, keeps it.
TEST(MapWindow, ASpeciesWearsOneColourInEveryDocumentAndOnTheMap) {
    const struct {
        std::string species;
        const char *kml; // aabbggrr
        const char *html;
        QColor color;
    } rows[] = {
        {"Eser", "ff009fe6", "#e69f00", QColor(0xe6, 0x9f, 0x00)},
        {"Nnoc", "ff739e00", "#009e73", QColor(0x00, 0x9e, 0x73)},
        {"Ppip", "ffe9b456", "#56b4e9", QColor(0x56, 0xb4, 0xe9)},
        {"", "ff999999", "#999999", QColor(0x99, 0x99, 0x99)},
    };
    const std::vector<TrackPoint> points{test::trackPoint("48.85", "9.5"), test::trackPoint("48.86", "9.53")};
    std::vector<Recording> recordings;
    std::vector<Placement> placements;
    std::vector<GeoRefRecord> plain;
    // "r0", "r1", ... (appended: GCC 12 warns of an overlap that is not there in "r" + text)
    const auto fileOf = [](std::size_t i) { return std::string("r").append(std::to_string(i)); };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::string file = fileOf(i);
        recordings.push_back(
            {{},
             file + ".wav",
             rows[i].species.empty() ? std::vector<std::string>{} : std::vector{rows[i].species}});
        Placement &placement = placements.emplace_back();
        placement.status = PlacementStatus::Exact;
        placement.lat = 48.85f + 0.003f * float(i);
        placement.lon = 9.5f + 0.01f * float(i);
        plain.push_back({rows[i].species.empty() ? "No species" : rows[i].species, "File " + file,
                         placement.lat, placement.lon});
    }
    const SurveyDocument survey{"Colours", "", TrackView{points, {}}, recordings, placements};
    const QString kml = QString::fromStdString(surveyKml(survey));
    const QByteArray json = QByteArray::fromStdString(geoJson(survey));
    // Which placemark wears which colour the map's reading of the documents tells, below.
    for (const auto &row : rows) {
        EXPECT_TRUE(kml.contains(QStringLiteral("<color>%1</color>").arg(QLatin1String(row.kml)))) << row.kml;
        EXPECT_TRUE(json.contains(QByteArray("\"marker-color\":\"") + row.html + '"')) << row.html;
    }

    const std::pair<const char *, KmlDocument> documents[] = {
        {"survey KML", parseKml(kml.toUtf8()).document},
        {"GeoJSON", parseGeoJson(json).document},
        {"plain KML",
         parseKml(QByteArray::fromStdString(kmlDocument({}, TrackView{points, {}}, plain))).document},
    };
    for (const auto &[kind, document] : documents) {
        SCOPED_TRACE(kind);
        MapCanvas canvas;
        canvas.resize(600, 400);
        canvas.setDocument(document);
        const QImage drawn = canvas.grab().toImage();
        const QList<LegendEntry> legend = canvas.legend();
        ASSERT_EQ(legend.size(), qsizetype(std::size(rows)));
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            SCOPED_TRACE(rows[i].species);
            EXPECT_EQ(legend[qsizetype(i)].species.toStdString(), rows[i].species);
            EXPECT_EQ(legend[qsizetype(i)].color, rows[i].color);
            const auto pin = canvas.pinPosition(QString::fromStdString(fileOf(i) + ".wav")).value();
            EXPECT_EQ(drawn.pixelColor(pin.toPoint()), rows[i].color) << "its pin";
        }
    }
}

// The host's table and the map name recordings by file: a click on a pin selects its row, a row selected
// highlights its pin, with or without the extension the plain document drops.
TEST(MapWindow, PinsAndTableRowsSelectEachOther) {
    QTemporaryDir dir;
    HostApplication host;
    MainWindow &main = *host.mainWindow();
    QList<HostRecording> recordings;
    for (const char *file : {"rec1.wav", "rec2.wav", "rec3.wav", "rec4.wav"})
        recordings.append(HostRecording(QDateTime::currentDateTimeUtc(), QString::fromUtf8(file), {}));
    main.table()->setRecordings(recordings);
    main.show();
    test::showTrackAndWait(*host.mapDisplay(),
                           writeFile(dir.filePath(QStringLiteral("survey.kml")), surveyKml()));
    MapWindow &map = *host.mapDisplay()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    MapCanvas &canvas = *map.canvas();
    const auto pin = [&canvas](const char *file) {
        return canvas.pinPosition(QString::fromUtf8(file)).value().toPoint();
    };
    const auto selected = [&main] {
        QStringList files;
        for (const HostRecording &recording : main.table()->selectedRecordings())
            files << recording.filename();
        return files;
    };
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, pin("rec4.wav"));
    EXPECT_EQ(selected(), QStringList{"rec4.wav"});
    EXPECT_TRUE(canvas.isHighlighted(QStringLiteral("rec4.wav")));

    main.table()->selectRow(0);
    ASSERT_EQ(selected().size(), 1);
    EXPECT_TRUE(canvas.isHighlighted(selected()[0]));
    EXPECT_FALSE(canvas.isHighlighted(QStringLiteral("rec4.wav")));

    // The plain document's names lack the extension.
    test::showTrackAndWait(*host.mapDisplay(),
                           writeFile(dir.filePath(QStringLiteral("plain.kml")), plainKml()));
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, pin("rec2.wav"));
    EXPECT_EQ(selected(), QStringList{"rec2.wav"});
    map.close();
}
