#include "plugin/TrackPointTableModel.h"

#include "gpx/Coordinate.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace pelorin {

namespace {
QString text(std::optional<std::string_view> value) {
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size())) : QString();
}

constexpr double kMissing = -std::numeric_limits<double>::infinity();

// The number a text starts with, read as the map and the KML read it but in
// full precision: neighbouring points often differ below what single
// precision tells apart. Missing values sort first.
double sortKey(std::optional<std::string_view> text) {
    return text ? readDecimal(*text).precise : kMissing;
}

std::optional<std::string_view> numericText(const TrackPoint &point, int column) {
    switch (column) {
    case TrackPointTableModel::LatitudeColumn:
        return point.lat();
    case TrackPointTableModel::LongitudeColumn:
        return point.lon();
    default:
        return point.elevation();
    }
}
} // namespace

void TrackPointTableModel::setPoints(Points points, LogStarts logs) {
    beginResetModel();
    points_ = std::move(points);
    logs_ = std::move(logs);
    for (auto &keys : keys_)
        keys.clear();
    endResetModel();
}

int TrackPointTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !points_ ? 0 : static_cast<int>(points_->size());
}

int TrackPointTableModel::columnCount(const QModelIndex &parent) const {
    if (parent.isValid())
        return 0;
    return logs_.empty() ? FileColumn : ColumnCount;
}

QVariant TrackPointTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() == FileColumn ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const TrackPoint &point = (*points_)[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case LatitudeColumn:
        return text(point.lat());
    case LongitudeColumn:
        return text(point.lon());
    case TimeColumn:
        if (const auto time = point.time())
            return QDateTime::fromSecsSinceEpoch(time->time_since_epoch().count(), Qt::UTC)
                .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return {};
    case ElevationColumn:
        return text(point.elevation());
    case FileColumn:
        return logs_.empty() ? QVariant() : logs_[logOf(index.row())].file;
    default:
        return {};
    }
}

QVariant TrackPointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return SortableTableModel::headerData(section, orientation, role);
    switch (section) {
    case LatitudeColumn:
        return QStringLiteral("Latitude");
    case LongitudeColumn:
        return QStringLiteral("Longitude");
    case TimeColumn:
        return QStringLiteral("Time (UTC)");
    case ElevationColumn:
        return QStringLiteral("Elevation");
    case FileColumn:
        return logs_.empty() ? QVariant() : tr("File");
    default:
        return {};
    }
}

const std::vector<double> &TrackPointTableModel::numericKeys(int column) const {
    std::vector<double> &keys = keys_[column];
    if (keys.empty() && points_ && !points_->empty()) {
        keys.reserve(points_->size());
        for (const TrackPoint &point : *points_) {
            keys.push_back(sortKey(numericText(point, column)));
        }
    }
    return keys;
}

std::size_t TrackPointTableModel::logOf(int row) const {
    const auto after = std::upper_bound(logs_.begin(), logs_.end(), static_cast<std::size_t>(row),
                                        [](std::size_t r, const LogStart &log) { return r < log.firstRow; });
    return after == logs_.begin() ? 0 : static_cast<std::size_t>(after - logs_.begin() - 1);
}

bool TrackPointTableModel::rowLessThan(int a, int b, int column) const {
    const auto &points = *points_;
    if (column == FileColumn) // the logs in the order they start, as the merged track has them
        return logs_.empty() ? a < b : logOf(a) < logOf(b);
    if (column == TimeColumn) {
        const auto ta = points[static_cast<std::size_t>(a)].time();
        const auto tb = points[static_cast<std::size_t>(b)].time();
        return ta < tb; // no time sorts first
    }
    if (column < 0 || column >= FileColumn)
        return a < b;
    const auto &keys = numericKeys(column);
    return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
}

} // namespace pelorin
