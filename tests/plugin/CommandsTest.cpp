// The panel's commands, Export and Preview, as the user and the map window see them.

#include "PluginFixture.h"
#include "plugin/FileDialog.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace {
// The map window hears of a preview 1.8 s and 2 s after it.
void waitForTheMap() {
    QEventLoop loop;
    QTimer::singleShot(2300, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

TEST_F(PluginTest, ExportWritesEveryListedRecordingWhateverIsSelected) {
    selectTwo();
    steps = {chooseFile(trackFile()),
             {"PelorinMain",
              [this](QWidget *panel) {
                  plugin.recController->view()->selectRow(0);
                  field<QLineEdit>("timeDiff")->setText("-30"); // the recorder ran 30 s ahead
                  press("exportButton").second(panel);
              }},
             chooseFile(dir.filePath("survey"))}; // the type's suffix is added
    plugin.fire(nullptr);

    const QString written = dir.filePath("survey.kml");
    const QByteArray kml = contents(written);
    EXPECT_EQ(kml.count("<Point>"), 2);
    // 10:00:30 and 10:01:30 less 30 s: on the first and the second track point, not between them.
    for (const char *text :
         {"<coordinates>11.500000,48.099998</coordinates>", "<coordinates>11.600000,48.099998</coordinates>"})
        EXPECT_TRUE(kml.contains(text)) << text;
    EXPECT_EQ(opened, QList{QUrl::fromLocalFile(written)});
    EXPECT_FALSE(plugin.myPanel->isVisible()) << "an export closes the panel";
}

// The Style box starts plain. A first preview with no track point selected centres the map on the first one
// shown; catalogue rows have no file to write positions into.
TEST_F(PluginTest, FirstPreviewWithNoPointSelectedCentresOnTheFirstShown) {
    selectTwo();
    QString style;
    const auto preview = [&](QWidget *panel) {
        style = panel->findChild<QComboBox *>("kmlStyle")->currentText();
        plugin.gpsDataController->proxy()->sort(0, Qt::DescendingOrder);
        press("previewButton").second(panel);
    };
    steps = {chooseFile(trackFile()), {"PelorinMain", preview}};
    plugin.fire(nullptr);
    waitForTheMap();

    EXPECT_EQ(style, "plain");
    // The list once sorted: latitudes in single precision.
    EXPECT_EQ(map.calls.value(1), "setCenter 48.1000001 11.6");
    EXPECT_FALSE(field<QPushButton>("writePositions")->isEnabled())
        << "catalogue rows have no file to write into";
}

// Without overlap the alert comes instead of a save dialog; a cancelled save writes nothing either.
TEST_F(PluginTest, ExportWithoutOverlapOrCancelledClosesThePanelAndWritesNothing) {
    QStringList alert;
    const std::pair<pelorin::HostRecording, Step> cases[] = {
        {rec("next-year.wav", "2010-05-01T10:00:30Z"), answerAlert(&alert)},
        {rec("early.wav", "2009-05-01T10:00:30Z"),
         {"QFileDialog", [](QWidget *dialog) { dialog->close(); }}}};
    for (const auto &[recording, last] : cases) {
        selection = QList{recording};
        steps = {chooseFile(trackFile()), press("exportButton"), last};
        plugin.fire(nullptr);
        EXPECT_FALSE(plugin.myPanel->isVisible()) << recording.filename().toStdString();
        EXPECT_TRUE(QDir(dir.path()).entryList({"*.kml"}, QDir::Files).isEmpty());
        EXPECT_TRUE(opened.isEmpty());
    }
    EXPECT_EQ(alert.value(0), "No time overlap");
}

// A destination that cannot be written, named by its format, then a preview file that cannot be made:
// alerts, and nothing opened.
TEST_F(PluginTest, WriteRefusalsAlertAndKeepTheRun) {
    QStringList alert;
    const std::pair<QString, QString> refusals[] = {
        {"taken.kml", "Couldn't write KML file to the selected destination."},
        {"taken.geojson", "Couldn't write GeoJSON file to the selected destination."},
        {"taken.gpx", "Couldn't write GPX file to the selected destination."}};
    for (const auto &[name, message] : refusals) {
        const QString destination = dir.filePath(name);
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        alert.clear();
        steps = {answerAlert(&alert)};
        EXPECT_FALSE(plugin.createKMLOutput(QUrl::fromLocalFile(destination)));
        EXPECT_EQ(alert, (QStringList{"Export error", message, "Ok"})) << name.toStdString();
        EXPECT_TRUE(QFileInfo(destination).isDir());
    }

    selectTwo();
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("missing")));
    alert.clear();
    bool stillModal = false;
    steps = {chooseFile(trackFile()),
             press("previewButton"),
             answerAlert(&alert),
             {"PelorinMain", [&](QWidget *panel) { stillModal = panel->isModal(), panel->close(); }}};
    plugin.fire(nullptr);
    EXPECT_EQ(alert, (QStringList{"Export error", refusals[0].second, "Ok"}));
    EXPECT_TRUE(stillModal);
    EXPECT_TRUE(QDir(dir.path()).entryList({"quorvatixpreview.*"}).isEmpty());
    EXPECT_TRUE(map.calls.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(PluginTest, TwoPreviewsMakeTwoFilesCentreOnceAndShowTrackAfterSetCenter) {
    selectTwo();
    bool modalAfterPreview = true;
    steps = {chooseFile(trackFile()), {"PelorinMain", [&](QWidget *panel) {
                                           plugin.gpsDataController->proxy()->sort(0, Qt::DescendingOrder);
                                           plugin.gpsDataController->view()->selectRow(2); // the lowest
                                           press("previewButton").second(panel);
                                           modalAfterPreview = panel->isModal();
                                       }}};
    plugin.fire(nullptr); // the preview ended the run
    EXPECT_FALSE(modalAfterPreview);
    EXPECT_TRUE(plugin.myPanel->isVisible()) << "the panel stays as an ordinary window";
    press("previewButton").second(plugin.myPanel); // again, outside a run
    waitForTheMap();

    const QStringList files = QDir(dir.path()).entryList({"quorvatixpreview.*"});
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(mapRequests, 1);
    ASSERT_EQ(map.calls.size(), 5);
    EXPECT_EQ(map.calls.mid(0, 3), (QStringList{"showWindow", "showWindow", "setCenter 48.05 11.7"}));
    for (const QString &file : files)
        EXPECT_TRUE(map.calls.mid(3).contains("showTrack " + file)) << file.toStdString();
}

// Two logs chosen at once are read in natural order as one track, each fix naming its log. The save dialog
// offers GeoJSON and GPX beside KML; the chosen kind gives the suffix.
TEST_F(PluginTest, TwoLogsChosenAtOnceAreOneTrackWithATrackPerLog) {
    selectTwo();
    QString heading;
    QStringList filters;
    QStringList table; // the column count and header, each fix's file, then the first sorted by file
    steps = {chooseFile(twoLogs()),
             {"PelorinMain",
              [&](QWidget *panel) {
                  heading = field<QLabel>("gpsLogLabel")->text();
                  QSortFilterProxyModel *model = plugin.gpsDataController->proxy();
                  table << QString::number(model->columnCount())
                        << model->headerData(4, Qt::Horizontal).toString();
                  for (int row = 0; row < 4; ++row)
                      table << model->index(row, 4).data().toString();
                  model->sort(4, Qt::DescendingOrder);
                  table << model->index(0, 4).data().toString() + " " + model->index(0, 2).data().toString();
                  model->sort(-1);
                  press("exportButton").second(panel);
              }},
             saveAs(dir.filePath("season"), 1, &filters)};
    plugin.fire(nullptr);

    EXPECT_EQ(heading, "night2.gpx + 1 more: 4 points, 2009-05-01 10:00\u201310:02 UTC");
    EXPECT_EQ(table, (QStringList{"5", "File", "night2.gpx", "night2.gpx", "night10.gpx", "night10.gpx",
                                  "night10.gpx 2009-05-01 10:01:20"}));
    EXPECT_EQ(filters, (QStringList{"KML files (*.kml)", "GeoJSON files (*.geojson)", "GPX files (*.gpx)"}));
    // What the document holds is SameAsCommandTest's: the command's bytes for the same two logs.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("season.geojson")));
}
