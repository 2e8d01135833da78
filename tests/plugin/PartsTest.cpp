// The small pieces the controller is wired from.

#include "PluginFixture.h"
#include "plugin/FileDialog.h"
#include "plugin/GpxErrorText.h"
#include "plugin/HostRecordingConversion.h"
#include "plugin/ItemFilterProxy.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QSortFilterProxyModel>

TEST_F(PluginTest, OpenDialogFilterEnablesFoldersAndGpxFilesOnly) {
    QDir(dir.path()).mkdir(QStringLiteral("folder.kml"));
    const struct {
        const char *name;
        bool enabled;
    } cases[] = {
        {"track.GPX", true},  {"track.gpx", true}, {"folder.kml", true},     {"track.kml", false},
        {"track.txt", false}, {"track", false},    {"track.gpx.bak", false},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        if (!QFileInfo(path).isDir())
            writeFile(QString::fromLatin1(c.name), "x");
        EXPECT_EQ(plugin.panelShouldEnableURL(nullptr, QUrl::fromLocalFile(path)), c.enabled) << c.name;
    }
}

TEST_F(PluginTest, FilterProxyDisablesRefusedItemsAndTheDialogWillNotAcceptThem) {
    const QString kml = writeFile(QStringLiteral("track.kml"), "x");
    const QString gpx = writeFile(QStringLiteral("track.gpx"), "x");
    const auto enabled = [this](const QString &p) {
        return plugin.panelShouldEnableURL(nullptr, QUrl::fromLocalFile(p));
    };

    QFileSystemModel files;
    files.setRootPath(dir.path());
    pelorin::ItemFilterProxy proxy(enabled);
    proxy.setSourceModel(&files);
    EXPECT_FALSE(proxy.flags(proxy.mapFromSource(files.index(kml))) & Qt::ItemIsEnabled);
    EXPECT_TRUE(proxy.flags(proxy.mapFromSource(files.index(gpx))) & Qt::ItemIsEnabled);

    for (const auto &[path, accepted] : {std::pair{kml, false}, std::pair{gpx, true}}) {
        pelorin::FileDialog dialog;
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setItemFilter(enabled);
        dialog.setMessage(QStringLiteral("Pick one"));
        dialog.selectFile(path);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, accepted) << path.toStdString();
        auto *message = dialog.findChild<QLabel *>(QStringLiteral("dialogMessage"));
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), QStringLiteral("Pick one"));
    }
}

TEST(GpxErrorTextTest, FillsCodeDescriptionLineAndColumn) {
    pelorin::GpxError error;
    error.code = 4;
    error.description = "not well-formed (invalid token)";
    error.line = 10;
    error.column = 5;
    EXPECT_EQ(pelorin::gpxErrorInformativeText(error),
              QStringLiteral("Error 4, Description: not well-formed (invalid token), Line: 10, Column: 5"));
}

TEST(HostRecordingConversionTest, KeepsTheInstantAndNamesEverySpecies) {
    const pelorin::HostRecording host(
        QDateTime::fromMSecsSinceEpoch(1241172030500, Qt::UTC), QStringLiteral("Bär 1.wav"),
        {pelorin::HostSpecies{pelorin::HostTaxon{QStringLiteral("Pip")}}, pelorin::HostSpecies{std::nullopt},
         pelorin::HostSpecies{pelorin::HostTaxon{std::nullopt}}});
    const pelorin::Recording r = pelorin::toRecording(host);
    EXPECT_EQ(r.recordingTime.time_since_epoch().count(), 1241172030500);
    EXPECT_EQ(r.filename, "B\xC3\xA4r 1.wav");
    EXPECT_EQ(r.species, (std::vector<std::string>{"Pip", "", ""}));
}

TEST(ArrayControllerTest, ArrangedObjectsFollowTheUsersSortAndSelectionNeedsATable) {
    pelorin::RecordingsArrayController recordings;
    EXPECT_FALSE(recordings.selectedObjects()) << "no table bound yet";
    const QDateTime t = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    recordings.setContent(
        {{t.addSecs(2), "rec10.wav", {}}, {t.addSecs(1), "rec2.wav", {}}, {t, "rec1.wav", {}}});
    recordings.proxy()->sort(0, Qt::AscendingOrder); // natural order of the file names
    QStringList names;
    for (const auto &r : recordings.arrangedObjects())
        names.append(r.filename());
    EXPECT_EQ(names, (QStringList{"rec1.wav", "rec2.wav", "rec10.wav"}));

    auto points = std::make_shared<std::vector<pelorin::TrackPoint>>(4);
    // Numerically, not as text, and finer than single precision can tell.
    const char *lats[] = {"51.3132655", "9.5", "51.313266", "10.25"};
    for (int i = 0; i < 4; ++i)
        (*points)[static_cast<std::size_t>(i)].setAttribute("lat", lats[i]);
    pelorin::TrackPointsArrayController track;
    QTableView view;
    track.bind(&view);
    track.setContent(points);
    EXPECT_TRUE(track.arrangedObjects().order.empty()) << "file order needs no arrangement";
    track.proxy()->sort(0, Qt::DescendingOrder);
    EXPECT_EQ(track.arrangedObjects().order, (std::vector<std::uint32_t>{2, 0, 3, 1}));

    view.selectRow(2);
    const auto selected = track.selectedObjects();
    ASSERT_TRUE(selected);
    ASSERT_EQ(selected->size(), 1u);
    EXPECT_EQ(selected->front(), &(*points)[3]);
}
