#include "host/RecordingsTableModel.h"

#include "host/RecordingConversion.h"

namespace pelorin {

void RecordingsTableModel::setRecordings(QList<HostRecording> recordings) {
    beginResetModel();
    recordings_ = std::move(recordings);
    endResetModel();
}

int RecordingsTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(recordings_.size());
}

int RecordingsTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordingsTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= recordings_.size())
        return {};
    const HostRecording &rec = recordings_.at(index.row());
    if (role == Qt::DisplayRole || role == SortRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case FileNameColumn:
            return rec.filename();
        case StartColumn:
            if (role == SortRole)
                return rec.recordingTime();
            return rec.recordingTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
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
    case SpeciesColumn:
        return tr("Species");
    default:
        return {};
    }
}

} // namespace pelorin
