#include "host/TableRecordingsController.h"

#include "host/RecordingsTableView.h"

namespace pelorin {

std::optional<QList<HostRecording>> TableRecordingsController::selectedObjects() const {
    if (!table_)
        return std::nullopt;
    return table_->selectedRecordings();
}

void TableRecordingsController::showPlacements(const QList<HostPlacement> &placements) {
    if (table_)
        table_->showPlacements(placements);
}

} // namespace pelorin
