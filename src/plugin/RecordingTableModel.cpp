#include "plugin/RecordingTableModel.h"

#include "framework/RecordingValue.h"
#include "georef/PlacemarkText.h"
#include "util/NumericalCompare.h"

namespace pelorin {

void RecordingTableModel::setRecordings(QList<HostRecording> recordings) {
    beginResetModel();
    recordings_ = std::move(recordings);
    species_.clear();
    species_.reserve(recordings_.size());
    for (const HostRecording &recording : recordings_)
        species_.push_back(QString::fromStdString(placemarkName(toRecording(recording).species)));
    endResetModel();
}

int RecordingTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(recordings_.size());
}

int RecordingTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordingTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    const HostRecording &recording = recordings_[index.row()];
    switch (index.column()) {
    case FileColumn:
        return recording.filename();
    case TimeColumn:
        return recording.recordingTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case SpeciesColumn:
        return species_[index.row()];
    default:
        return {};
    }
}

QVariant RecordingTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return SortableTableModel::headerData(section, orientation, role);
    switch (section) {
    case FileColumn:
        return QStringLiteral("File");
    case TimeColumn:
        return QStringLiteral("Start time");
    case SpeciesColumn:
        return QStringLiteral("Species");
    default:
        return {};
    }
}

bool RecordingTableModel::rowLessThan(int a, int b, int column) const {
    switch (column) {
    case FileColumn:
        return numericalCompare(recordings_[a].filename(), recordings_[b].filename()) < 0;
    case TimeColumn:
        return recordings_[a].recordingTime() < recordings_[b].recordingTime();
    case SpeciesColumn:
        return numericalCompare(species_[a], species_[b]) < 0;
    default:
        return a < b;
    }
}

} // namespace pelorin
