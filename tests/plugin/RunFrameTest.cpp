// The run frame and the GPS-log step: fire, the open dialog, the host's
// selection, the reader's outcome and the panel's modal run.

#include "PluginFixture.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>

namespace {
int panelsLoaded() {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String("PelorinMain");
    return n;
}

QStringList fileNames(const QList<pelorin::HostRecording> &recordings) {
    QStringList names;
    for (const auto &r : recordings)
        names.append(r.filename());
    return names;
}

// Captures the system log for one test.
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        previous_ = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    static QStringList &lines() {
        static QStringList all;
        return all;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &message) {
        lines().append(message);
    }
    QtMessageHandler previous_;
};
} // namespace

TEST_F(PluginTest, NameComesFromTheHostStringTableUntranslated) {
    EXPECT_TRUE(plugin.init());
    EXPECT_EQ(plugin.name(), QStringLiteral("Pelorin"));
}

TEST_F(PluginTest, FirstStartLoadsThePanelOnceAndASecondStartReusesItWithTheEnteredValues) {
    selectTwoRecordings();
    const QString track = trackFile();
    const int before = panelsLoaded();

    driver.chooseFile(track);
    driver.onPanel([this](QWidget *panel) {
        plugin.timeDiff->setText(QStringLiteral("37"));
        plugin.transectName->setText(QStringLiteral("Woodland edge"));
        plugin.transectDesc->setText(QStringLiteral("dusk"));
        plugin.tesselate->setChecked(true);
        plugin.elevation->setChecked(true);
        panel->close(); // the user closes the panel: the run ends
    });
    plugin.fire(nullptr);
    ASSERT_TRUE(plugin.myPanel);
    QWidget *first = plugin.myPanel;
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(panelsLoaded(), before + 1);

    QStringList seen;
    driver.chooseFile(track);
    driver.onPanel([&](QWidget *panel) {
        seen << plugin.timeDiff->text() << plugin.transectName->text() << plugin.transectDesc->text();
        seen << (plugin.tesselate->isChecked() ? "on" : "off")
             << (plugin.elevation->isChecked() ? "on" : "off");
        panel->close();
    });
    plugin.fire(nullptr);
    EXPECT_EQ(plugin.myPanel, first);
    EXPECT_EQ(panelsLoaded(), before + 1);
    EXPECT_EQ(seen, (QStringList{"37", "Woodland edge", "dusk", "on", "on"}));
    EXPECT_EQ(driver.handled, (QStringList{"file dialog", "panel", "file dialog", "panel"}));
}

TEST_F(PluginTest, CancelledDialogReadsNoSelectionAndRunsNothingModally) {
    selectTwoRecordings();
    driver.cancelFileDialog();
    plugin.fire(nullptr);

    EXPECT_EQ(host.recordings.reads, 0);
    ASSERT_TRUE(plugin.myPanel);
    EXPECT_TRUE(plugin.myPanel->isVisible());
    EXPECT_EQ(plugin.myPanel->windowModality(), Qt::NonModal);
    EXPECT_TRUE(plugin.recController->content().isEmpty());
    EXPECT_FALSE(plugin.gpsPoints);
}

TEST_F(PluginTest, EmptySelectionAlertsWithoutReadingTheFile) {
    // A file the reader would refuse with a sheet: reading it would show.
    const QString broken = writeFile(QStringLiteral("broken.gpx"), "<gpx><trkpt></gpx>");
    for (const auto &selection :
         {std::optional<QList<pelorin::HostRecording>>{QList<pelorin::HostRecording>{}},
          std::optional<QList<pelorin::HostRecording>>{}}) {
        host.recordings.selection = selection;
        ModalDriver::Alert alert;
        driver.chooseFile(broken);
        driver.answerAlert(&alert);
        plugin.fire(nullptr);

        EXPECT_EQ(alert.text, QStringLiteral("No recordings selected"));
        EXPECT_EQ(alert.informativeText,
                  QStringLiteral("The plugin needs selected recordings to work with. "
                                 "Please select recordings and start the plugin again."));
        EXPECT_EQ(alert.buttons, QStringList{QStringLiteral("Ok")});
        EXPECT_EQ(alert.modality, Qt::ApplicationModal);
        EXPECT_EQ(plugin.myPanel->findChild<QMessageBox *>(), nullptr) << "the file was read";
        EXPECT_FALSE(plugin.gpsPoints);
    }
}

TEST_F(PluginTest, RecordingsComeSortedByStartTimeAndTheTrackFillsItsList) {
    selectTwoRecordings();
    host.recordings.selection->append(
        recording(QStringLiteral("middle.wav"), QStringLiteral("2009-05-01T10:01:00Z")));
    QStringList shown;
    int points = 0;
    driver.chooseFile(trackFile());
    driver.onPanel([&](QWidget *panel) {
        shown = fileNames(plugin.recController->arrangedObjects());
        points = static_cast<int>(plugin.gpsDataController->arrangedObjects().view().size());
        panel->close();
    });
    plugin.fire(nullptr);

    EXPECT_EQ(host.recordings.reads, 1);
    EXPECT_EQ(shown, (QStringList{"early.wav", "middle.wav", "late.wav"}));
    EXPECT_EQ(points, 3);
    EXPECT_TRUE(plugin.hasElevation);
    EXPECT_TRUE(plugin.elevation->isEnabled());
}

TEST_F(PluginTest, FailedReadKeepsThePreviousListsAndShowsTheSheet) {
    LogCapture log;
    selectTwoRecordings();
    driver.chooseFile(trackFile());
    driver.onPanel([](QWidget *panel) { panel->close(); });
    plugin.fire(nullptr);
    const auto pointsBefore = plugin.gpsDataController->content();
    ASSERT_TRUE(pointsBefore);

    host.recordings.selection = QList<pelorin::HostRecording>{
        recording(QStringLiteral("other.wav"), QStringLiteral("2009-05-01T10:00:10Z"))};
    driver.chooseFile(writeFile(QStringLiteral("broken.gpx"), "<gpx>\n<trk>\n<trkpt lat=1>\n</gpx>\n"));
    plugin.fire(nullptr); // no modal run: returns with the sheet still up

    EXPECT_EQ(fileNames(plugin.recController->content()), (QStringList{"early.wav", "late.wav"}));
    EXPECT_EQ(plugin.gpsDataController->content(), pointsBefore);
    EXPECT_TRUE(plugin.elevation->isEnabled());
    EXPECT_TRUE(LogCapture::lines().contains(QStringLiteral("Error")));

    auto *sheet = plugin.myPanel->findChild<QMessageBox *>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->text(), QStringLiteral("Parsing Error!"));
    EXPECT_TRUE(sheet->informativeText().startsWith(QStringLiteral("Error ")));
    EXPECT_TRUE(sheet->informativeText().contains(QStringLiteral(", Line: 3, Column: ")))
        << sheet->informativeText().toStdString();
    ASSERT_EQ(sheet->buttons().size(), 1);
    EXPECT_EQ(sheet->buttons().constFirst()->text(), QStringLiteral("OK"));
    sheet->buttons().constFirst()->click(); // dismissing it changes nothing
    EXPECT_EQ(plugin.gpsDataController->content(), pointsBefore);
}

TEST_F(PluginTest, UnreadableFileFailsWithoutASheet) {
    EXPECT_FALSE(plugin.parseGPXFile(QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.gpx")))));
    EXPECT_FALSE(plugin.parseGPXFile(QUrl::fromLocalFile(dir.path())));
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QMessageBox *>(w), nullptr);
}

TEST_F(PluginTest, ClosingThePanelEndsTheModalRun) {
    selectTwoRecordings();
    bool wasModal = false;
    driver.chooseFile(trackFile());
    driver.onPanel([&](QWidget *panel) {
        wasModal = panel->isModal();
        panel->close();
    });
    plugin.fire(nullptr); // returns only because the run ended
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(plugin.myPanel->isVisible());
    EXPECT_FALSE(plugin.myPanel->isModal());
    // Closing it again outside a run has nothing to stop.
    plugin.myPanel->show();
    plugin.myPanel->close();
    EXPECT_FALSE(plugin.myPanel->isVisible());
}
