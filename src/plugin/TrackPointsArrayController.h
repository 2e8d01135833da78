#pragma once

#include "gpx/TrackView.h"
#include "plugin/ArrayController.h"
#include "plugin/TrackPointTableModel.h"

#include <memory>
#include <optional>
#include <vector>

namespace pelorin {

// The track points in the order the table shows them; owns what the view
// refers to, so it stays valid whatever the table does meanwhile.
struct ArrangedTrack {
    std::shared_ptr<const std::vector<TrackPoint>> points;
    std::vector<std::uint32_t> order; // empty: file order

    TrackView view() const { return points ? TrackView{*points, order} : TrackView{}; }
};

// The list controller over the track points of the GPS log. The content is
// shared with the controller's gpsPoints, never copied.
class TrackPointsArrayController : public ArrayController {
public:
    using Points = std::shared_ptr<const std::vector<TrackPoint>>;

    explicit TrackPointsArrayController(QObject *parent = nullptr);

    // With several logs, where each one's fixes begin: the table then names each fix's file.
    void setContent(Points points, TrackPointTableModel::LogStarts logs = {});
    const Points &content() const;
    ArrangedTrack arrangedObjects() const;
    // The selected points in the order shown; nullopt while no table is bound.
    std::optional<std::vector<const TrackPoint *>> selectedObjects() const;

private:
    TrackPointTableModel *model_;
};

} // namespace pelorin
