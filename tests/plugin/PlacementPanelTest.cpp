// What the panel tells after a pass: the GPS log it holds, where each
// recording went, and which clock offset would make a night fit.

#include "PluginFixture.h"
#include "ScopedTimeZone.h"
#include "plugin/RecordingTableModel.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointsArrayController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QValidator>

namespace {
QString cell(pelorin::RecordingsArrayController *controller, int row, int column,
             int role = Qt::DisplayRole) {
    const QAbstractItemModel *model = controller->proxy();
    const QVariant value = model->data(model->index(row, column), role);
    return role == Qt::ForegroundRole ? value.value<QBrush>().color().name() : value.toString();
}
} // namespace

TEST_F(PluginTest, PanelNamesItsLogAndShowsWhereEachRecordingWent) {
    const pelorin::test::ScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    selection = QList{rec("late.wav", "2009-05-01T10:01:30Z", "Nyc"),
                      rec("early.wav", "2009-05-01T10:00:30Z"), rec("after.wav", "2009-05-01T10:05:00Z")};
    steps = {chooseFile(trackFile()), press("previewButton")};
    plugin.fire(nullptr);

    EXPECT_EQ(field<QLabel>("gpsLogLabel")->text(), "track.gpx: 3 points, 2009-05-01 10:00\u201310:02 UTC");
    EXPECT_EQ(plugin.gpsDataController->proxy()->columnCount(), 4) << "one log: no file column";
    EXPECT_EQ(field<QLabel>("placementSummary")->text(), "Placed 2 of 3 recordings (1 after-track).");
    EXPECT_FALSE(field<QPushButton>("applySuggestedOffset")->isVisible());
    using Model = pelorin::RecordingTableModel;
    auto *recordings = plugin.recController;
    // Sorted by start time; times in the machine's zone, which they name.
    EXPECT_EQ(cell(recordings, 0, Model::TimeColumn), "2009-05-01 12:00:30 CEST");
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
    // The offset field takes whole seconds only.
    const QValidator *validator = field<QLineEdit>("timeDiff")->validator();
    ASSERT_NE(validator, nullptr);
    const std::pair<QValidator::State, QStringList> cases[] = {
        {QValidator::Acceptable, {"+37", "-7200", ""}},
        {QValidator::Invalid, {"0:37", "1.5", "37 s", "12345678901"}}};
    for (const auto &[state, texts] : cases)
        for (QString text : texts) {
            int position = 0;
            EXPECT_EQ(validator->validate(text, position), state) << text.toStdString();
        }
    // Sorting by placement puts what was not placed first, and each row keeps its own.
    recordings->proxy()->sort(Model::PlacementColumn);
    EXPECT_EQ(cell(recordings, 0, Model::FileColumn), "after.wav");
    EXPECT_TRUE(cell(recordings, 0, Model::PlacementColumn).startsWith("after-track"));
}

TEST_F(PluginTest, NoOverlapAlertGivesBothSpansAndTheOffsetThePanelCanApply) {
    // The recorder was set to UTC+2 and the user took its times for UTC.
    selection = QList{rec("late.wav", "2009-05-01T12:01:30Z"), rec("early.wav", "2009-05-01T12:00:30Z")};
    QStringList alert;
    QString buttonText;
    steps = {chooseFile(trackFile()),
             press("previewButton"),
             answerAlert(&alert),
             {"PelorinMain", [&](QWidget *panel) {
                  buttonText = field<QPushButton>("applySuggestedOffset")->text();
                  field<QPushButton>("applySuggestedOffset")->click();
                  press("previewButton").second(panel);
              }}};
    plugin.fire(nullptr);

    EXPECT_EQ(alert.value(0), "No time overlap");
    EXPECT_EQ(
        alert.value(1),
        "Time overlap between recordings and coordinates does not exist. Recordings can only be correlated "
        "with coordinates logged while they were made, once the clock offset is added.\n\n"
        "The track: 2009-05-01 10:00:00\u201310:02:00 UTC.\n"
        "The recordings, with a clock offset of 0 s: 2009-05-01 12:00:30\u201312:01:30 UTC.\n\n"
        "None of the 2 recordings meets the track; with a clock offset of -7200 s both would (that is "
        "minus 2 h: is the recorder set to another time zone or to summer time?)");
    EXPECT_EQ(buttonText, "Use -7200 s");
    EXPECT_EQ(field<QLineEdit>("timeDiff")->text(), "-7200");
    EXPECT_EQ(field<QLabel>("placementSummary")->text(), "Placed 2 of 2 recordings.");
    EXPECT_FALSE(field<QPushButton>("applySuggestedOffset")->isVisible());
}
