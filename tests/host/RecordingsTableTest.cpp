#include "framework/HostDelegate.h"
#include "host/HostApplication.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableModel.h"
#include "host/RecordingsTableView.h"

#include <QBrush>
#include <QItemSelectionModel>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

QStringList filenames(const QList<HostRecording> &recordings) {
    QStringList names;
    for (const HostRecording &r : recordings)
        names.append(r.filename());
    return names;
}

const QList<HostRecording> kRecordings = [] {
    QList<HostRecording> list;
    for (const auto &[name, secs] :
         {std::pair{"file10.wav", 300}, {"file2.wav", 100}, {"File1.wav", 200}, {"file1.wav", 400}})
        list.append(HostRecording(QDateTime::fromSecsSinceEpoch(secs), QString::fromUtf8(name), {}));
    return list;
}();

} // namespace

// selectedObjects follows the table's selection, in the order the table shows: file names in natural
// order, start times by instant.
TEST(RecordingsTable, SortsAndSelectionReachesSelectedObjectsInDisplayedOrder) {
    {
        HostApplication host;
        ASSERT_EQ(hostDelegate(), &host);
        RecordingsTableView &view = *host.mainWindow()->table();
        view.setRecordings(kRecordings);
        view.sortByColumn(RecordingsTableModel::FileNameColumn, Qt::DescendingOrder);
        RecordingsController *controller = hostDelegate()->recordingsController();
        EXPECT_TRUE(controller->selectedObjects()->isEmpty());

        for (const int row : {3, 0}) // File1.wav, file10.wav
            view.selectionModel()->select(view.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        EXPECT_EQ(filenames(*controller->selectedObjects()), (QStringList{"file10.wav", "File1.wav"}));
        view.selectAll();
        EXPECT_EQ(filenames(*controller->selectedObjects()),
                  (QStringList{"file10.wav", "file2.wav", "file1.wav", "File1.wav"}));
        view.sortByColumn(RecordingsTableModel::StartColumn, Qt::AscendingOrder);
        EXPECT_EQ(filenames(view.allRecordings()),
                  (QStringList{"file2.wav", "File1.wav", "file10.wav", "file1.wav"}));
    }
    EXPECT_EQ(hostDelegate(), nullptr) << "the delegate goes with the host";
}

// A plug-in's placements land beside the recordings they name, through the
// controller plug-ins see.
TEST(RecordingsTable, PlacementsFromAPlugInFillThePlacementColumn) {
    HostApplication host;
    RecordingsTableView &view = *host.mainWindow()->table();
    view.setRecordings(kRecordings);
    view.sortByColumn(RecordingsTableModel::FileNameColumn,
                      Qt::AscendingOrder); // File1, file1, file2, file10

    const auto placement = [](const char *file, qint64 secs, const char *status, bool placed) {
        return HostPlacement{QString::fromUtf8(file),
                             QDateTime::fromSecsSinceEpoch(secs),
                             QString::fromUtf8(status),
                             QDateTime::fromSecsSinceEpoch(secs + 37, Qt::UTC),
                             6.4,
                             placed};
    };
    hostDelegate()->recordingsController()->showPlacements(
        {placement("file1.wav", 400, "interpolated", true), placement("file2.wav", 100, "after-track", false),
         placement("file10.wav", 999, "exact", true)}); // no such recording: shown nowhere

    const struct {
        int row;
        QString text, colour;
    } rows[] = {{1, "interpolated, 00:07:17 UTC, \u00B16 m", "#1b7a2e"},
                {2, "after-track, 00:02:17 UTC", "#b01c1c"}};
    const QAbstractItemModel *model = view.model();
    for (const auto &r : rows) {
        SCOPED_TRACE(r.row);
        const QModelIndex cell = model->index(r.row, RecordingsTableModel::PlacementColumn);
        EXPECT_EQ(cell.data().toString(), r.text);
        const QVariant colour = cell.data(Qt::ForegroundRole);
        EXPECT_EQ(colour.isValid() ? colour.value<QBrush>().color().name() : QString(), r.colour);
    }
}
