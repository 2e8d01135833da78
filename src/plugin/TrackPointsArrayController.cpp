#include "plugin/TrackPointsArrayController.h"

#include "plugin/TrackPointTableModel.h"

#include <QSortFilterProxyModel>

namespace pelorin {

TrackPointsArrayController::TrackPointsArrayController(QObject *parent)
    : ArrayController(new TrackPointTableModel, parent)
    , model_(static_cast<TrackPointTableModel *>(proxy()->sourceModel())) {}

void TrackPointsArrayController::setContent(Points points, TrackPointTableModel::LogStarts logs) {
    model_->setPoints(std::move(points), std::move(logs));
}

const TrackPointsArrayController::Points &TrackPointsArrayController::content() const {
    return model_->points();
}

ArrangedTrack TrackPointsArrayController::arrangedObjects() const {
    ArrangedTrack track{content(), {}};
    if (isArranged())
        track.order = arrangedRows();
    return track;
}

std::optional<std::vector<const TrackPoint *>> TrackPointsArrayController::selectedObjects() const {
    const auto rows = selectedRows();
    if (!rows)
        return std::nullopt;
    std::vector<const TrackPoint *> points;
    points.reserve(rows->size());
    for (std::uint32_t row : *rows)
        points.push_back(&(*content())[row]);
    return points;
}

} // namespace pelorin
