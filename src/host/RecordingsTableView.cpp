#include "host/RecordingsTableView.h"

#include "host/RecordingsSortModel.h"
#include "host/RecordingsTableModel.h"

#include <QHeaderView>

#include <algorithm>

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

QList<HostRecording> RecordingsTableView::selectedRecordings() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<HostRecording> result;
    result.reserve(rows.size());
    for (const QModelIndex &row : rows)
        result.append(model_->recording(sortModel_->mapToSource(row).row()));
    return result;
}

void RecordingsTableView::showPlacements(const QList<HostPlacement> &placements) {
    model_->setPlacements(placements);
}

} // namespace pelorin
