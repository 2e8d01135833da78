#pragma once

#include "framework/HostRecording.h"
#include "georef/Placement.h"
#include "plugin/SortableTableModel.h"

#include <QList>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace pelorin {

// The recordings to place: file name (natural order), start time in the
// machine's zone, species, and after a pass where each went.
class RecordingTableModel : public SortableTableModel {
public:
    enum Column { FileColumn, TimeColumn, SpeciesColumn, PlacementColumn, ColumnCount };

    using SortableTableModel::SortableTableModel;

    void setRecordings(QList<HostRecording> recordings);
    const QList<HostRecording> &recordings() const { return recordings_; }
    // The pass's placements and, for each, the row of its recording.
    void setPlacements(const std::vector<Placement> &placements, const std::vector<std::uint32_t> &rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool rowLessThan(int a, int b, int column) const override;

private:
    QList<HostRecording> recordings_;
    // What the table shows of a placement.
    struct Shown {
        PlacementStatus status;
        RecordingTime correctedTime;
        double uncertaintyMetres;
        bool placed() const { return isPlaced(status); }
    };

    QStringList species_;                          // per row, as the placemark will be named
    std::vector<std::optional<Shown>> placements_; // per row; empty: not placed yet
};

} // namespace pelorin
