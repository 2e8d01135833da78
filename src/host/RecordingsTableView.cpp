#include "host/RecordingsTableView.h"

#include "host/RecordingsSortModel.h"
#include "host/RecordingsTableModel.h"

#include "map/PlaceFields.h"

#include <QHeaderView>
#include <QItemSelection>

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
