// The map preview: its files, the end of the modal run and the messages to
// the host's map window. The map messages come 1.8 s and 2.0 s after a
// preview, so these tests wait that long for them.

#include "PluginFixture.h"
#include "plugin/TrackPointsArrayController.h"

#include <QDir>
#include <QFileInfo>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {
constexpr int kAfterTheMapMessagesMs = 2300;

// Previews go to the temporary folder; point it at the test's own.
class TempFolder {
public:
    explicit TempFolder(const QString &path)
        : previous_(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~TempFolder() {
        if (previous_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previous_);
    }

private:
    QByteArray previous_;
};

QStringList previewFiles(const QString &folder) {
    return QDir(folder).entryList({QStringLiteral("quorvatixpreview.*")}, QDir::Files, QDir::Name);
}
} // namespace

TEST_F(PluginTest, TwoPreviewsMakeTwoFilesCentreOnceAndShowTrackAfterSetCenter) {
    TempFolder temp(dir.path());
    selectTwoRecordings();
    bool modalAfterPreview = true;
    driver.chooseFile(trackFile());
    driver.onPanel([&](QWidget *panel) {
        plugin.gpsDataController->view()->selectRow(1);
        click("previewButton");
        modalAfterPreview = panel->isModal();
    });
    plugin.fire(nullptr); // the preview ended the run
    EXPECT_FALSE(modalAfterPreview);
    EXPECT_TRUE(plugin.myPanel->isVisible()) << "the panel stays as an ordinary window";

    click("previewButton"); // again, from the panel outside a run
    waitMs(kAfterTheMapMessagesMs);

    const QStringList files = previewFiles(dir.path());
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(host.mapRequests, 1);
    EXPECT_EQ(host.map.sequence(),
              (QStringList{"showWindow", "showWindow", "setCenter", "showTrack", "showTrack"}));
    ASSERT_EQ(host.map.calls.size(), 5);
    EXPECT_EQ(host.map.calls[2].args, (QStringList{"48.20", "11.60"}));
    QStringList shown{host.map.calls[3].args.value(0), host.map.calls[4].args.value(0)};
    for (QString &path : shown)
        path = QFileInfo(path).fileName();
    shown.sort();
    EXPECT_EQ(shown, files);
    EXPECT_EQ(opened.urls.size(), 2) << "every written file goes to the default application";
    EXPECT_TRUE(QFile(dir.filePath(files[0])).size() > 0);
}

TEST_F(PluginTest, FirstPreviewWithoutSelectionCentresOnTheFirstPointShown) {
    TempFolder temp(dir.path());
    selectTwoRecordings();
    driver.chooseFile(trackFile());
    driver.onPanel([this](QWidget *) {
        plugin.gpsDataController->proxy()->sort(0, Qt::DescendingOrder); // highest latitude first
        click("previewButton");
    });
    plugin.fire(nullptr);
    waitMs(kAfterTheMapMessagesMs);

    ASSERT_EQ(host.map.sequence(), (QStringList{"showWindow", "setCenter", "showTrack"}));
    EXPECT_EQ(host.map.calls[1].args, (QStringList{"48.20", "11.60"}));
}

TEST_F(PluginTest, PreviewWithoutOverlapAlertsMakesNoFileAndKeepsTheRun) {
    TempFolder temp(dir.path());
    host.recordings.selection = QList<pelorin::HostRecording>{
        recording(QStringLiteral("next-year.wav"), QStringLiteral("2010-05-01T10:00:30Z"))};
    ModalDriver::Alert alert;
    bool stillModal = false;
    driver.chooseFile(trackFile());
    driver.onPanel([this](QWidget *) { click("previewButton"); });
    driver.answerAlert(&alert);
    driver.expect(
        QStringLiteral("panel again"),
        [](QWidget *w) { return w->objectName() == QLatin1String("PelorinMain"); },
        [&](QWidget *panel) {
            stillModal = panel->isModal();
            panel->close();
        });
    plugin.fire(nullptr);

    EXPECT_EQ(alert.text, QStringLiteral("No time overlap"));
    EXPECT_TRUE(stillModal);
    EXPECT_TRUE(previewFiles(dir.path()).isEmpty());
    EXPECT_TRUE(host.map.calls.isEmpty());
}

TEST_F(PluginTest, PreviewFileThatCannotBeMadeAlertsAndNothingElseHappens) {
    selectTwoRecordings();
    const QString track = trackFile();
    // A missing temporary folder, and a file where the folder should be.
    for (const QString &folder : {dir.filePath(QStringLiteral("no-such-folder")), track}) {
        TempFolder temp(folder);
        ModalDriver::Alert alert;
        driver.chooseFile(track);
        driver.onPanel([this](QWidget *) { click("previewButton"); });
        driver.answerAlert(&alert);
        driver.expect(
            QStringLiteral("panel again"),
            [](QWidget *w) { return w->objectName() == QLatin1String("PelorinMain"); },
            [](QWidget *panel) { panel->close(); });
        plugin.fire(nullptr);

        EXPECT_EQ(alert.text, QStringLiteral("Export error")) << folder.toStdString();
        EXPECT_EQ(alert.informativeText,
                  QStringLiteral("Couldn't write KML file to the selected destination."));
        EXPECT_EQ(host.mapRequests, 0);
        EXPECT_TRUE(opened.urls.isEmpty());
        EXPECT_TRUE(QDir::current().entryList({QStringLiteral("quorvatixpreview.*")}).isEmpty());
    }
}
