#include "host/RecordingsTableModel.h"

#include "host/RecordingConversion.h"

namespace pelorin {

void RecordingsTableModel::setRecordings(QList<HostRecording> recordings) {
    beginResetModel();
    rows_.clear();
    paths_.clear();
    rows_.reserve(recordings.size());
    for (HostRecording &recording : recordings)
        rows_.append({std::move(recording), std::nullopt, {}});
    endResetModel();
}

void RecordingsTableModel::appendRecordings(QList<TableRecording> rows) {
    if (rows.isEmpty())
        return;
    const auto first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (TableRecording &row : rows) {
        if (!row.path.isEmpty())
            paths_.insert(row.path);
        rows_.append(std::move(row));
    }
    endInsertRows();
}

int RecordingsTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordingsTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordingsTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const TableRecording &row = rows_.at(index.row());
    const HostRecording &rec = row.recording;
    if (role == Qt::DisplayRole || role == SortRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case FileNameColumn:
            if (role == Qt::ToolTipRole && !row.path.isEmpty())
                return row.path;
            return rec.filename();
        case StartColumn:
            if (role == SortRole)
                return rec.recordingTime();
            return rec.recordingTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t"));
        case TimeFromColumn:
            return timeSourceText(row);
        case SpeciesColumn:
            return speciesText(rec);
        default:
            break;
        }
    }
    return {};
}

QVariant RecordingsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case FileNameColumn:
        return tr("File name");
    case StartColumn:
        return tr("Start");
    case TimeFromColumn:
        return tr("Time from");
    case SpeciesColumn:
        return tr("Species");
    default:
        return {};
    }
}

} // namespace pelorin
