#include "host/TableRecordingsController.h"

#include "host/RecordingsTableView.h"
#include "host/WavImport.h"

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

void TableRecordingsController::filesChanged(const QStringList &paths) {
    if (table_)
        table_->replaceFileRows(readWavFiles(paths).recordings);
}

} // namespace pelorin
