#include "map/CentralMapDisplay.h"
#include "ShowTrack.h"
#include "WrittenKml.h"
#include "host/TestFiles.h"
#include "map/MapCanvas.h"
#include "map/MapWindow.h"

#include <QDir>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

using namespace pelorin;
using pelorin::test::showTrackAndWait;
using pelorin::test::writtenKml;

// The centre asked for before a track is kept; with none, the track is fitted on screen.
TEST(CentralMapDisplay, ShowsATrackOrAMessageForFilesItCannotDraw) {
    QTemporaryDir dir;
    const QString good = writeFile(dir, "good.kml", writtenKml());
    CentralMapDisplay display;
    const MapCanvas &canvas = *display.window()->canvas();
    display.setCenter(48.852, 9.503);
    showTrackAndWait(display, good);
    EXPECT_EQ(std::tuple(display.window()->isVisible(), canvas.hasDocument(), canvas.message()),
              std::tuple(true, true, QString()));
    EXPECT_NEAR(canvas.center().lat, 48.852, 1e-6);
    EXPECT_NEAR(canvas.center().lon, 9.503, 1e-6);

    showTrackAndWait(display, good);
    EXPECT_NEAR(canvas.center().lat, 48.8515, 1e-4);
    EXPECT_NEAR(canvas.center().lon, 9.50055, 1e-6);

    // Hostile files are refused at once: entities are never declared, let alone expanded or fetched.
    const QByteArray place = "<Placemark><Point><coordinates>9.5,48.85</coordinates></Point></Placemark>";
    const QByteArray deep = QByteArray("[").repeated(100'000) + QByteArray("]").repeated(100'000);
    const std::pair<QString, const char *> files[] = {
        {dir.filePath(QStringLiteral("missing.kml")), "cannot be opened"},
        {writeFile(dir, "entity.kml",
                   "<!DOCTYPE kml [\n<!ENTITY x SYSTEM \"file:///etc/passwd\">]><kml><name>&x;</name>" +
                       place + "</kml>"),
         "entity declarations are not accepted (they could read other files or expand without bound) "
         "(line 2"},
        {writeFile(dir, "deep.geojson", "{\"type\": \"FeatureCollection\", \"features\": " + deep + "}"),
         "not well-formed JSON: too deeply nested"},
    };
    for (const auto &[path, reason] : files) {
        display.showTrack(good); // given up for the next
        showTrackAndWait(display, path);
        EXPECT_FALSE(canvas.hasDocument()) << path.toStdString();
        EXPECT_TRUE(canvas.message().contains(path)) << canvas.message().toStdString();
        EXPECT_TRUE(canvas.message().contains(QLatin1String(reason))) << canvas.message().toStdString();
    }
}

// While a file is read the window says so and keeps its document; a read given up for a newer one, or
// ended by closing the window, never reaches the map.
TEST(CentralMapDisplay, ShowsOnlyTheLastTrackAskedForAndNothingOnceClosed) {
    QTemporaryDir dir;
    const auto named = [&dir](const char *file, const char *name) {
        return writeFile(
            dir, file,
            QByteArray("<kml><Document><name>") + name +
                "</name><Placemark><Point><coordinates>9.5,48.85</coordinates></Point></Placemark>"
                "</Document></kml>");
    };
    const QString first = named("first.kml", "First");
    const QString second = named("second.kml", "Second");
    const QString third = named("third.kml", "Third");
    CentralMapDisplay display;
    MapWindow &window = *display.window();
    showTrackAndWait(display, first);

    QSignalSpy shown(&display, &CentralMapDisplay::trackShown);
    display.showTrack(second);
    EXPECT_TRUE(window.statusBar()->currentMessage().contains(QLatin1String("second.kml")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map: First")) << "the old document until the new one";
    display.showTrack(third);
    ASSERT_TRUE(shown.wait(10000));
    QTest::qWait(100);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map: Third"));

    display.showTrack(second);
    window.close();
    QTest::qWait(200);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map: Third"));
    EXPECT_EQ(window.statusBar()->currentMessage(), QDir::toNativeSeparators(third));
}

// The map window first shows beside the main window, inside the screen's available area (the offscreen
// platform's 800 × 800, its windows framed 2 px a side): on its right, else its left, else against the
// roomier side; shrunk when too large.
TEST(CentralMapDisplay, OpensTheMapBesideTheMainWindowAndOnScreen) {
    const struct {
        QRect main;     // frame
        QSize map;      // as the window would be, frame aside
        QRect expected; // frame
    } rows[] = {
        {{50, 100, 304, 204}, {400, 300}, {362, 100, 404, 304}},  // right
        {{450, 100, 304, 204}, {400, 300}, {38, 100, 404, 304}},  // left
        {{200, 650, 304, 104}, {400, 300}, {396, 496, 404, 304}}, // neither: right, raised to fit
        {{600, 50, 154, 104}, {960, 900}, {0, 0, 800, 800}},      // shrunk
    };
    for (const auto &row : rows) {
        QWidget main;
        main.move(row.main.topLeft());
        main.resize(row.main.size() - QSize(4, 4));
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        const QRect available = main.screen()->availableGeometry();
        ASSERT_EQ(available, QRect(0, 0, 800, 800));
        ASSERT_EQ(main.frameGeometry(), row.main);
        CentralMapDisplay display;
        display.openBeside(&main);
        display.window()->resize(row.map);
        display.showWindow(nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(display.window()));
        EXPECT_EQ(display.window()->frameGeometry(), row.expected) << row.main.x() << ", " << row.main.y();
        display.window()->close();
    }
}
