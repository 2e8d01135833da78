#include "host/RecordingsSortModel.h"

#include "host/RecordingsTableModel.h"
#include "util/NumericalCompare.h"

#include <QDateTime>

namespace pelorin {

RecordingsSortModel::RecordingsSortModel(QObject *parent)
    : QSortFilterProxyModel(parent) {
    setSortRole(RecordingsTableModel::SortRole);
}

bool RecordingsSortModel::lessThan(const QModelIndex &left, const QModelIndex &right) const {
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    switch (left.column()) {
    case RecordingsTableModel::FileNameColumn:
        return numericalCompare(a.toString(), b.toString()) < 0;
    case RecordingsTableModel::StartColumn:
        return a.toDateTime() < b.toDateTime();
    default:
        return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
    }
}

} // namespace pelorin
