#include "framework/HostDelegate.h"
#include "host/HostApplication.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableModel.h"
#include "host/RecordingsTableView.h"

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

TEST(RecordingsTable, SortsFileNamesInNaturalOrderAndTimesByInstant) {
    RecordingsTableView view;
    view.setRecordings(kRecordings);
    view.sortByColumn(RecordingsTableModel::FileNameColumn, Qt::AscendingOrder);
    EXPECT_EQ(filenames(view.allRecordings()),
              (QStringList{"File1.wav", "file1.wav", "file2.wav", "file10.wav"}));
    view.sortByColumn(RecordingsTableModel::StartColumn, Qt::AscendingOrder);
    EXPECT_EQ(filenames(view.allRecordings()),
              (QStringList{"file2.wav", "File1.wav", "file10.wav", "file1.wav"}));
}

// selectedObjects follows the table's selection, in the order the table shows.
TEST(RecordingsTable, SelectionReachesSelectedObjectsInDisplayedOrder) {
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
        EXPECT_EQ(controller->selectedObjects()->first().recordingTime(), QDateTime::fromSecsSinceEpoch(300));
        view.selectAll();
        EXPECT_EQ(filenames(*controller->selectedObjects()),
                  (QStringList{"file10.wav", "file2.wav", "file1.wav", "File1.wav"}));
        view.clearSelection();
        EXPECT_TRUE(controller->selectedObjects()->isEmpty());
    }
    EXPECT_EQ(hostDelegate(), nullptr) << "the delegate goes with the host";
}
