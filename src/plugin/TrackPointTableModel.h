#pragma once

#include "gpx/TrackPoint.h"
#include "plugin/SortableTableModel.h"

#include <memory>
#include <vector>

namespace pelorin {

// The track points of a GPS log: latitude, longitude, time (UTC), elevation.
// Built for logs of a million points: cells are formatted only when a view
// asks for them, and numeric sort keys are read once per column.
class TrackPointTableModel : public SortableTableModel {
public:
    enum Column { LatitudeColumn, LongitudeColumn, TimeColumn, ElevationColumn, ColumnCount };
    using Points = std::shared_ptr<const std::vector<TrackPoint>>;

    using SortableTableModel::SortableTableModel;

    void setPoints(Points points);
    const Points &points() const { return points_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool rowLessThan(int a, int b, int column) const override;

private:
    const std::vector<double> &numericKeys(int column) const;

    Points points_;
    mutable std::vector<double> keys_[ColumnCount];
};

} // namespace pelorin
