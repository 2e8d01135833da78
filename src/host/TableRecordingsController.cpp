#include "host/TableRecordingsController.h"

#include "host/RecordingsTableView.h"

namespace pelorin {

std::optional<QList<HostRecording>> TableRecordingsController::selectedObjects() const {
    if (!table_)
        return std::nullopt;
    return table_->selectedRecordings();
}

} // namespace pelorin
