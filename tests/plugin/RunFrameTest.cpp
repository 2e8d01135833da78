// The run frame: fire, the open dialog, the host's selection, the log's outcome and the panel's modal run.

#include "PluginFixture.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QLineEdit>
#include <QMessageBox>

#include <functional>

namespace {
QStringList fileNames(const QList<pelorin::HostRecording> &recordings) {
    QStringList names;
    for (const auto &r : recordings)
        names << r.filename();
    return names;
}
} // namespace

// Two starts in a row, one behaviour each; a row's check runs once its start has returned.
TEST_F(PluginTest, FirstStartLoadsThePanelClosingItEndsTheRunLaterStartsReuseIt) {
    bool wasModal = false;
    QWidget *first = nullptr;
    pelorin::TrackPointsArrayController::Points points;
    const struct {
        const char *behaviour;
        QList<pelorin::HostRecording> selection;
        std::deque<Step> steps;
        std::function<void()> check;
    } starts[] = {
        {"the first start runs the panel modally, recordings by start time",
         {rec("rec10.wav", "2009-05-01T10:01:00Z"), rec("rec2.wav", "2009-05-01T10:01:30Z"),
          rec("rec1.wav", "2009-05-01T10:00:30Z")},
         {chooseFile(trackFile()),
          {"PelorinMain",
           [&](QWidget *panel) {
               wasModal = panel->isModal();
               field<QLineEdit>("transectName")->setText("entered");
               panel->close();
           }}},
         [&] {
             first = plugin.myPanel;
             EXPECT_TRUE(wasModal);
             EXPECT_FALSE(first->isVisible() || first->isModal());
             EXPECT_EQ(reads, 1);
             EXPECT_EQ(fileNames(plugin.recController->arrangedObjects()),
                       (QStringList{"rec1.wav", "rec10.wav", "rec2.wav"}));
             points = plugin.gpsDataController->content();
         }},
        {"a log that cannot be read keeps the panel, its lists and what was entered, and shows the sheet",
         {rec("other.wav", "2009-05-01T10:00:10Z")},
         {chooseFile(writeFile("broken.gpx", "<gpx>\n<trk>\n<trkpt lat=1>\n</gpx>\n"))},
         [&] {
             EXPECT_EQ(plugin.myPanel, first);
             EXPECT_EQ(field<QLineEdit>("transectName")->text(), "entered");
             EXPECT_EQ(fileNames(plugin.recController->content()),
                       (QStringList{"rec1.wav", "rec10.wav", "rec2.wav"}));
             EXPECT_EQ(plugin.gpsDataController->content(), points);
             auto *sheet = plugin.myPanel->findChild<QMessageBox *>();
             ASSERT_NE(sheet, nullptr);
             EXPECT_TRUE(sheet->isVisible());
             EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
             EXPECT_EQ(sheet->text(), "Parsing Error!");
         }},
    };
    for (const auto &start : starts) {
        SCOPED_TRACE(start.behaviour);
        selection = start.selection;
        steps = start.steps;
        plugin.fire(nullptr); // returns once the run has ended, or with the sheet up
        start.check();
    }
}

TEST_F(PluginTest, ACancelledOpenDialogRunsNothing) {
    steps = {{"QFileDialog", [](QWidget *dialog) { dialog->close(); }}};
    selectTwo();
    plugin.fire(nullptr);
    EXPECT_EQ(reads, 0) << "the selection is read once a log is chosen";
    EXPECT_FALSE(plugin.myPanel->isModal());
    EXPECT_FALSE(plugin.gpsPoints);
}

TEST_F(PluginTest, EmptySelectionAlertsWithoutReadingTheFile) {
    const QString broken = writeFile("broken.gpx", "<gpx><trkpt></gpx>"); // read, it would bring up a sheet
    selection = QList<pelorin::HostRecording>{};
    QStringList alert;
    steps = {chooseFile(broken), answerAlert(&alert)};
    plugin.fire(nullptr);
    EXPECT_EQ(alert.value(0), "No recordings selected");
    EXPECT_EQ(plugin.myPanel->findChild<QMessageBox *>(), nullptr) << "the file was read";
    EXPECT_FALSE(plugin.gpsPoints);
}
