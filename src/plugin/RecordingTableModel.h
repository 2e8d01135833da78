#pragma once

#include "framework/HostRecording.h"
#include "georef/Placement.h"
#include "plugin/SortableTableModel.h"

#include <QList>
#include <QStringList>

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
    // One per recording, in the order of recordings(); empty: not placed yet.
    void setPlacements(std::vector<std::optional<Placement>> placements);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool rowLessThan(int a, int b, int column) const override;

private:
    QList<HostRecording> recordings_;
    QStringList species_; // per row, as the placemark will be named
    std::vector<std::optional<Placement>> placements_;
};

} // namespace pelorin
