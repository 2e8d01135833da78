// What the panel tells after a pass: the GPS log it holds, where each
// recording went, and which clock offset would make a night fit.

#include "PluginFixture.h"
#include "ScopedTimeZone.h"
#include "plugin/RecordingTableModel.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace {
QString cell(pelorin::RecordingsArrayController *controller, int row, int column,
             int role = Qt::DisplayRole) {
    const QAbstractItemModel *model = controller->proxy();
    const QVariant value = model->data(model->index(row, column), role);
    return role == Qt::ForegroundRole ? value.value<QBrush>().color().name() : value.toString();
}
// The map window hears of a preview 1.8 s and 2 s after it.
void waitForTheMap() {
    QEventLoop loop;
    QTimer::singleShot(2300, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

TEST_F(PluginTest, PanelNamesItsLogAndShowsWhereEachRecordingWent) {
    const pelorin::test::ScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    selection = QList{rec("late.wav", "2009-05-01T10:01:30Z", "Nyc"),
                      rec("early.wav", "2009-05-01T10:00:30Z"), rec("after.wav", "2009-05-01T10:05:00Z")};
    steps = {chooseFile(trackFile()), press("previewButton")};
    plugin.fire(nullptr);

    EXPECT_EQ(field<QLabel>("gpsLogLabel")->text(), "track.gpx: 3 points, 2009-05-01 10:00\u201310:02 UTC");
    EXPECT_EQ(field<QLabel>("placementSummary")->text(), "Placed 2 of 3 recordings (1 after-track).");
    using Model = pelorin::RecordingTableModel;
    auto *recordings = plugin.recController;
    EXPECT_EQ(cell(recordings, 0, Model::TimeColumn), "2009-05-01 12:00:30 CEST"); // the machine's zone
    const QStringList expected{"interpolated, 10:00:30 UTC, \u00B1", "interpolated, 10:01:30 UTC, \u00B1",
                               "after-track, 10:05:00 UTC"};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(cell(recordings, row, Model::PlacementColumn).startsWith(expected[row]))
            << cell(recordings, row, Model::PlacementColumn).toStdString();
        EXPECT_EQ(cell(recordings, row, Model::PlacementColumn, Qt::ForegroundRole),
                  row < 2 ? "#1b7a2e" : "#b01c1c");
    }
    // The host hears of them too, in the order they were placed.
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(std::tuple(shown[0].placed, shown[0].correctedTime.toString(Qt::ISODate), shown[2].filename,
                         shown[2].status, shown[2].placed),
              std::tuple(true, "2009-05-01T10:00:30Z", "after.wav", "after-track", false));
    // The map window is shown, centred on the first fix shown (no fix was selected), then given the preview.
    waitForTheMap();
    const QStringList previews = QDir(dir.path()).entryList({"quorvatixpreview.*"});
    ASSERT_EQ(previews.size(), 1);
    EXPECT_EQ(map.calls, (QStringList{"showWindow", "setCenter 48.1 11.5", "showTrack " + previews[0]}));
}

TEST_F(PluginTest, NoOverlapAlertGivesBothSpansAndTheOffsetThePanelCanApply) {
    // The recorder was set to UTC+2 and the user took its times for UTC.
    selection = QList{rec("late.wav", "2009-05-01T12:01:30Z"), rec("early.wav", "2009-05-01T12:00:30Z")};
    QStringList alert;
    steps = {chooseFile(trackFile()),
             press("previewButton"),
             answerAlert(&alert),
             {"PelorinMain", [&](QWidget *panel) {
                  field<QPushButton>("applySuggestedOffset")->click();
                  press("previewButton").second(panel);
              }}};
    plugin.fire(nullptr);

    EXPECT_EQ(alert.value(0), "No time overlap");
    // The wording of the suggestion is the diagnosis's own; here, that both spans are told.
    EXPECT_TRUE(alert.value(1).contains("The track: 2009-05-01 10:00:00\u201310:02:00 UTC.\n"
                                        "The recordings, with a clock offset of 0 s: 2009-05-01 "
                                        "12:00:30\u201312:01:30 UTC."))
        << alert.value(1).toStdString();
    EXPECT_EQ(field<QLineEdit>("timeDiff")->text(), "-7200");
    EXPECT_EQ(field<QLabel>("placementSummary")->text(), "Placed 2 of 2 recordings.");
    EXPECT_FALSE(field<QPushButton>("applySuggestedOffset")->isVisible());
}
