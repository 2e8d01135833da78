#include "framework/HostDelegate.h"
#include "host/HostApplication.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableModel.h"
#include "host/RecordingsTableView.h"
#include "host/TableRecordingsController.h"

#include <QItemSelectionModel>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

HostRecording recording(const char *filename, qint64 secs, QList<HostSpecies> species = {}) {
    return HostRecording(QDateTime::fromSecsSinceEpoch(secs), QString::fromUtf8(filename),
                         std::move(species));
}

QStringList shownFileNames(const RecordingsTableView &view) {
    QStringList names;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        names.append(view.model()->index(row, RecordingsTableModel::FileNameColumn).data().toString());
    return names;
}

QStringList filenames(const QList<HostRecording> &recordings) {
    QStringList names;
    for (const HostRecording &r : recordings)
        names.append(r.filename());
    return names;
}

const QList<HostRecording> kRecordings{recording("file10.wav", 300), recording("file2.wav", 100),
                                       recording("File1.wav", 200), recording("file1.wav", 400)};

} // namespace

TEST(RecordingsTable, SortsFileNamesInNaturalOrderAndTimesByInstant) {
    RecordingsTableView view;
    view.setRecordings(kRecordings);
    view.sortByColumn(RecordingsTableModel::FileNameColumn, Qt::AscendingOrder);
    EXPECT_EQ(shownFileNames(view), (QStringList{"File1.wav", "file1.wav", "file2.wav", "file10.wav"}));
    view.sortByColumn(RecordingsTableModel::FileNameColumn, Qt::DescendingOrder);
    EXPECT_EQ(shownFileNames(view).first(), QStringLiteral("file10.wav"));
    view.sortByColumn(RecordingsTableModel::StartColumn, Qt::AscendingOrder);
    EXPECT_EQ(shownFileNames(view), (QStringList{"file2.wav", "File1.wav", "file10.wav", "file1.wav"}));
}

TEST(RecordingsTable, ShowsLocalStartTimeAndJoinedSpecies) {
    RecordingsTableView view;
    const QDateTime start(QDate(2025, 6, 12), QTime(21, 35, 17));
    view.setRecordings({HostRecording(start, QStringLiteral("a.wav"),
                                      {HostSpecies{HostTaxon{QStringLiteral("Ppip")}}, HostSpecies{},
                                       HostSpecies{HostTaxon{QStringLiteral("Nnoc")}}})});
    EXPECT_EQ(view.model()->index(0, RecordingsTableModel::StartColumn).data().toString(),
              QStringLiteral("2025-06-12 21:35:17"));
    EXPECT_EQ(view.model()->index(0, RecordingsTableModel::SpeciesColumn).data().toString(),
              QStringLiteral("Ppip, ?, Nnoc"));
}

// selectedObjects follows the table's selection, in the order the table shows.
TEST(RecordingsTable, SelectionReachesSelectedObjectsInDisplayedOrder) {
    HostApplication host;
    ASSERT_EQ(hostDelegate(), &host);
    RecordingsTableView &view = *host.mainWindow()->table();
    view.setRecordings(kRecordings);
    view.sortByColumn(RecordingsTableModel::FileNameColumn, Qt::DescendingOrder);
    RecordingsController *controller = hostDelegate()->recordingsController();
    EXPECT_TRUE(controller->selectedObjects()->isEmpty());

    auto select = [&view](int row) {
        view.selectionModel()->select(view.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    select(3); // File1.wav
    select(0); // file10.wav
    EXPECT_EQ(filenames(*controller->selectedObjects()), (QStringList{"file10.wav", "File1.wav"}));
    EXPECT_EQ(controller->selectedObjects()->first().recordingTime(), QDateTime::fromSecsSinceEpoch(300));

    view.selectAll();
    EXPECT_EQ(filenames(*controller->selectedObjects()),
              (QStringList{"file10.wav", "file2.wav", "file1.wav", "File1.wav"}));
    view.clearSelection();
    EXPECT_TRUE(controller->selectedObjects()->isEmpty());
}

TEST(RecordingsTable, HostDelegateIsRemovedWithTheHost) {
    { HostApplication host; }
    EXPECT_EQ(hostDelegate(), nullptr);
}
