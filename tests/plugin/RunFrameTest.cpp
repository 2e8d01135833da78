// The run frame and the GPS-log step: fire, the open dialog, the host's
// selection, the reader's outcome and the panel's modal run.

#include "PluginFixture.h"
#include "plugin/FileDialog.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

#include <functional>

namespace {
QStringList fileNames(const QList<pelorin::HostRecording> &recordings) {
    QStringList names;
    for (const auto &r : recordings)
        names << r.filename();
    return names;
}
} // namespace

// Three starts in a row, one behaviour each; a row's check runs once its start has returned.
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
        {"the first start runs the panel modally, recordings by start time, then as the user sorts them",
         {rec("rec10.wav", "2009-05-01T10:01:00Z"), rec("rec2.wav", "2009-05-01T10:01:30Z"),
          rec("rec1.wav", "2009-05-01T10:00:30Z")},
         {chooseFile(trackFile()),
          {"PelorinMain",
           [&](QWidget *panel) {
               wasModal = panel->isModal();
               for (const char *name : {"timeDiff", "transectName", "transectDesc"})
                   field<QLineEdit>(name)->setText(QString::fromLatin1(name) + " entered");
               field<QCheckBox>("tessellate")->setChecked(true);
               field<QCheckBox>("elevation")->setChecked(true);
               panel->close();
           }}},
         [&] {
             first = plugin.myPanel;
             EXPECT_TRUE(wasModal);
             EXPECT_FALSE(first->isVisible());
             EXPECT_FALSE(first->isModal());
             EXPECT_EQ(reads, 1);
             EXPECT_EQ(fileNames(plugin.recController->arrangedObjects()),
                       (QStringList{"rec1.wav", "rec10.wav", "rec2.wav"}));
             plugin.recController->proxy()->sort(0, Qt::AscendingOrder);
             EXPECT_EQ(fileNames(plugin.recController->arrangedObjects()),
                       (QStringList{"rec1.wav", "rec2.wav", "rec10.wav"}));
             EXPECT_TRUE(field<QCheckBox>("elevation")->isEnabled());
         }},
        {"a second start reuses the panel and what was entered",
         {rec("rec10.wav", "2009-05-01T10:01:00Z"), rec("rec2.wav", "2009-05-01T10:01:30Z"),
          rec("rec1.wav", "2009-05-01T10:00:30Z")},
         {chooseFile(trackFile()), {"PelorinMain", [](QWidget *panel) { panel->close(); }}},
         [&] {
             points = plugin.gpsDataController->content();
             EXPECT_EQ(plugin.myPanel, first);
             EXPECT_EQ(
                 (QStringList{field<QLineEdit>("timeDiff")->text(), field<QLineEdit>("transectName")->text(),
                              field<QLineEdit>("transectDesc")->text()}),
                 (QStringList{"timeDiff entered", "transectName entered", "transectDesc entered"}));
             EXPECT_TRUE(field<QCheckBox>("tessellate")->isChecked() &&
                         field<QCheckBox>("elevation")->isChecked());
         }},
        {"a log that cannot be read keeps the lists and shows the sheet, with no modal run",
         {rec("other.wav", "2009-05-01T10:00:10Z")},
         {chooseFile(writeFile("broken.gpx", "<gpx>\n<trk>\n<trkpt lat=1>\n</gpx>\n"))},
         [&] {
             EXPECT_EQ(fileNames(plugin.recController->content()),
                       (QStringList{"rec1.wav", "rec10.wav", "rec2.wav"}));
             ASSERT_TRUE(points);
             EXPECT_EQ(plugin.gpsDataController->content(), points);
             EXPECT_TRUE(field<QLabel>("gpsLogLabel")->text().startsWith("track.gpx: 3 points"))
                 << "still the log it holds";
             auto *sheet = plugin.myPanel->findChild<QMessageBox *>();
             ASSERT_NE(sheet, nullptr);
             EXPECT_TRUE(sheet->isVisible());
             EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
             EXPECT_EQ(sheet->text(), "Parsing Error!");
             EXPECT_TRUE(sheet->informativeText().contains(
                 QRegularExpression("^broken\\.gpx: Error \\d+, Description: .+, Line: 3, Column: \\d+$")));
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

TEST_F(PluginTest, OpenDialogTakesFoldersAndGpxFilesOnlyAndCancelledRunsNothing) {
    QDir(dir.path()).mkdir("folder.kml");
    const std::pair<const char *, bool> cases[] = {
        {"folder.kml", true}, {"track.GPX", true}, {"track.kml", false}, {"track.gpx.bak", false}};
    steps = {{"QFileDialog", [&](QWidget *widget) {
                  auto *open = static_cast<pelorin::FileDialog *>(widget);
                  auto *files = static_cast<QFileSystemModel *>(open->proxyModel()->sourceModel());
                  for (const auto &[name, enabled] : cases) {
                      SCOPED_TRACE(name);
                      const QString path =
                          QFileInfo(dir.filePath(name)).isDir() ? dir.filePath(name) : writeFile(name, "x");
                      const QModelIndex item = open->proxyModel()->mapFromSource(files->index(path));
                      EXPECT_EQ(bool(open->proxyModel()->flags(item) & Qt::ItemIsEnabled), enabled);
                      if (enabled)
                          continue;
                      open->findChild<QLineEdit *>("fileNameEdit")->setText(path); // typed: still refused
                      open->accept();
                      EXPECT_TRUE(open->isVisible());
                  }
                  open->reject();
              }}};
    selectTwo();
    plugin.fire(nullptr);
    // Cancelled: the selection is not read and nothing runs modally.
    EXPECT_EQ(reads, 0);
    EXPECT_FALSE(plugin.myPanel->isModal());
    EXPECT_TRUE(plugin.recController->content().isEmpty());
    EXPECT_FALSE(plugin.gpsPoints);
}

TEST_F(PluginTest, EmptySelectionAlertsWithoutReadingTheFile) {
    const QString broken = writeFile("broken.gpx", "<gpx><trkpt></gpx>"); // read, it would bring up a sheet
    for (const auto &none : {std::optional(QList<pelorin::HostRecording>{}), decltype(selection){}}) {
        selection = none;
        QStringList alert;
        steps = {chooseFile(broken), answerAlert(&alert)};
        plugin.fire(nullptr);
        EXPECT_EQ(alert.value(0), "No recordings selected");
        EXPECT_EQ(plugin.myPanel->findChild<QMessageBox *>(), nullptr) << "the file was read";
        EXPECT_FALSE(plugin.gpsPoints);
    }
}
