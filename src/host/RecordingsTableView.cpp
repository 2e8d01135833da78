#include "host/RecordingsTableView.h"

#include "host/RecordingsSortModel.h"
#include "host/RecordingsTableModel.h"

#include "map/PlaceFields.h"

#include <QHeaderView>
#include <QItemSelection>

#include <algorithm>
#include <vector>

namespace pelorin {

RecordingsTableView::RecordingsTableView(QWidget *parent)
    : QTableView(parent)
    , model_(new RecordingsTableModel(this))
    , sortModel_(new RecordingsSortModel(this)) {
    sortModel_->setSourceModel(model_);
    setModel(sortModel_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(true);
    sortByColumn(RecordingsTableModel::StartColumn, Qt::AscendingOrder);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void RecordingsTableView::setRecordings(QList<HostRecording> recordings) {
    model_->setRecordings(std::move(recordings));
    resizeColumnsToContents();
}

void RecordingsTableView::appendRecordings(QList<TableRecording> rows) {
    model_->appendRecordings(std::move(rows));
    resizeColumnsToContents();
}

bool RecordingsTableView::holdsFile(const QString &path) const {
    return model_->holdsFile(path);
}

QList<HostRecording> RecordingsTableView::allRecordings() const {
    QList<HostRecording> result;
    result.reserve(sortModel_->rowCount());
    for (int row = 0; row < sortModel_->rowCount(); ++row)
        result.append(model_->recording(sortModel_->mapToSource(sortModel_->index(row, 0)).row()));
    return result;
}

int RecordingsTableView::recordingCount() const {
    return model_->rowCount();
}

// The selected rows, in the order shown. Rows are selected whole, so the
// selection's ranges name them; selectedRows() would test every cell of every
// row, which a whole season selected makes slow.
QList<HostRecording> RecordingsTableView::selectedRecordings() const {
    std::vector<int> rows;
    const QItemSelection selection = selectionModel()->selection();
    const int columns = sortModel_->columnCount();
    const bool wholeRows =
        std::all_of(selection.cbegin(), selection.cend(), [columns](const QItemSelectionRange &r) {
            return r.left() == 0 && r.right() == columns - 1;
        });
    if (wholeRows) {
        for (const QItemSelectionRange &range : selection)
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows.push_back(row);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    } else {
        for (const QModelIndex &index : selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
    }
    QList<HostRecording> result;
    result.reserve(static_cast<qsizetype>(rows.size()));
    for (const int row : rows)
        result.append(model_->recording(sortModel_->mapToSource(sortModel_->index(row, 0)).row()));
    return result;
}

void RecordingsTableView::selectFiles(const QStringList &files) {
    QItemSelection selection;
    std::optional<QModelIndex> first;
    for (int row = 0; row < sortModel_->rowCount(); ++row) {
        const QModelIndex index = sortModel_->index(row, 0);
        const QString name = model_->recording(sortModel_->mapToSource(index).row()).filename();
        const bool wanted = std::any_of(files.cbegin(), files.cend(),
                                        [&name](const QString &file) { return sameRecording(file, name); });
        if (!wanted)
            continue;
        selection.select(index, index);
        if (!first)
            first = index;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (first) {
        selectionModel()->setCurrentIndex(*first, QItemSelectionModel::NoUpdate);
        scrollTo(*first);
    }
}

void RecordingsTableView::replaceFileRows(const QList<TableRecording> &rows) {
    model_->replaceFileRows(rows);
}

void RecordingsTableView::showPlacements(const QList<HostPlacement> &placements) {
    model_->setPlacements(placements);
}

} // namespace pelorin
