#include "host/RecordingsTableModel.h"

#include "host/RecordingConversion.h"
#include "util/TextHash.h"

#include <QBrush>
#include <QColor>

#include <cmath>
#include <functional>

namespace pelorin {

void RecordingsTableModel::setRecordings(QList<HostRecording> recordings) {
    beginResetModel();
    rows_.clear();
    paths_.clear();
    rows_.reserve(recordings.size());
    for (HostRecording &recording : recordings)
        rows_.append({std::move(recording), std::nullopt, {}, {}});
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

void RecordingsTableModel::replaceFileRows(const QList<TableRecording> &rows) {
    QHash<QString, const TableRecording *> byPath;
    for (const TableRecording &row : rows)
        byPath.insert(row.path, &row);
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        if (const TableRecording *row = byPath.value(rows_[i].path); row && !rows_[i].path.isEmpty()) {
            rows_[i] = *row;
            emit dataChanged(index(static_cast<int>(i), 0), index(static_cast<int>(i), ColumnCount - 1));
        }
    }
}

std::size_t RecordingsTableModel::PlacementKeyHash::operator()(const PlacementKey &key) const noexcept {
    return PlainTextHash()(key.first) ^ (std::hash<qint64>()(key.second) * 0x9E3779B97F4A7C15ull);
}

void RecordingsTableModel::setPlacements(const QList<HostPlacement> &placements) {
    placements_.clear();
    placements_.reserve(static_cast<std::size_t>(placements.size()));
    // A later placement of the same recording takes the place of an earlier one.
    for (const HostPlacement &placement : placements)
        placements_.insert_or_assign({placement.filename, placement.recordingTime.toMSecsSinceEpoch()},
                                     placement);
    if (!rows_.isEmpty())
        emit dataChanged(index(0, PlacementColumn), index(rowCount() - 1, PlacementColumn));
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
    if (index.column() == PlacementColumn) {
        const auto found = placements_.find({rec.filename(), rec.recordingTime().toMSecsSinceEpoch()});
        if (found == placements_.cend())
            return {};
        const HostPlacement &placement = found->second;
        if (role == Qt::ForegroundRole)
            return QBrush(placement.placed ? QColor(0x1B, 0x7A, 0x2E) : QColor(0xB0, 0x1C, 0x1C));
        if (role == SortRole)
            return placement.placed ? 1 : 0; // not placed first
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        // "interpolated, 20:14:29 UTC, ±7 m"
        QString text = placement.status;
        if (placement.correctedTime.isValid())
            text += QStringLiteral(", ") +
                    placement.correctedTime.toUTC().toString(QStringLiteral("HH:mm:ss 'UTC'"));
        if (placement.placed)
            text += QStringLiteral(", \u00B1%1 m").arg(std::lround(placement.uncertaintyMetres));
        return text;
    }
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
            return speciesColumnText(rec);
        case PositionColumn:
            return row.position;
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
    case PlacementColumn:
        return tr("Placement");
    case PositionColumn:
        return tr("Position");
    default:
        return {};
    }
}

} // namespace pelorin
