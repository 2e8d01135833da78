#pragma once

#include "framework/HostPlacement.h"
#include "framework/HostRecording.h"
#include "host/TableRecording.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>

#include <cstddef>
#include <unordered_map>
#include <utility>

namespace pelorin {

// The host's recordings in the order they came, one row each.
class RecordingsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        FileNameColumn,
        StartColumn,
        TimeFromColumn,
        SpeciesColumn,
        PlacementColumn,
        PositionColumn,
        ColumnCount
    };
    // The role that gives each column's value to sort by.
    static constexpr int SortRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row with a catalogue's recordings.
    void setRecordings(QList<HostRecording> recordings);
    void appendRecordings(QList<TableRecording> rows);
    const HostRecording &recording(int row) const { return rows_.at(row).recording; }
    // Whether a row was read from the file at this absolute path.
    bool holdsFile(const QString &path) const { return paths_.contains(path); }
    // Replaces the rows read from the same files (by path); others are ignored.
    void replaceFileRows(const QList<TableRecording> &rows);
    // Replaces the placements shown; each finds its row by file name and start time.
    void setPlacements(const QList<HostPlacement> &placements);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<TableRecording> rows_;
    QSet<QString> paths_;
    using PlacementKey = std::pair<QString, qint64>; // file name and start (ms)
    // A season's placements come at once.
    struct PlacementKeyHash {
        std::size_t operator()(const PlacementKey &key) const noexcept;
    };
    std::unordered_map<PlacementKey, HostPlacement, PlacementKeyHash> placements_;
};

} // namespace pelorin
