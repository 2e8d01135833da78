#pragma once

#include "gpx/TrackPoint.h"
#include "plugin/SortableTableModel.h"

#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

namespace pelorin {

// The track points of a GPS log: latitude, longitude, time (UTC), elevation.
// Built for logs of a million points: cells are formatted only when a view
// asks for them, and numeric sort keys are read once per column. With several
// logs a last column names the file each fix came from.
class TrackPointTableModel : public SortableTableModel {
    Q_DECLARE_TR_FUNCTIONS(TrackPointTableModel)

public:
    enum Column { LatitudeColumn, LongitudeColumn, TimeColumn, ElevationColumn, FileColumn, ColumnCount };
    using Points = std::shared_ptr<const std::vector<TrackPoint>>;
    // Where a log's fixes begin among the points, and its file's name; in row order.
    struct LogStart {
        std::size_t firstRow = 0;
        QString file;
    };
    using LogStarts = std::vector<LogStart>;

    using SortableTableModel::SortableTableModel;

    // No log starts: one log, and no file column.
    void setPoints(Points points, LogStarts logs = {});
    const Points &points() const { return points_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool rowLessThan(int a, int b, int column) const override;

private:
    const std::vector<double> &numericKeys(int column) const;
    std::size_t logOf(int row) const; // an index into logs_

    Points points_;
    LogStarts logs_;
    mutable std::vector<double> keys_[ColumnCount];
};

} // namespace pelorin
