#pragma once

#include "framework/HostDelegate.h"

namespace pelorin {

class RecordingsTableView;

// The recordings controller plug-ins see: its selection is the table's, and
// the placements they report go into the table's Placement column.
class TableRecordingsController : public RecordingsController {
public:
    explicit TableRecordingsController(RecordingsTableView *table)
        : table_(table) {}

    std::optional<QList<HostRecording>> selectedObjects() const override;
    void showPlacements(const QList<HostPlacement> &placements) override;
    void filesChanged(const QStringList &paths) override; // their rows are read again

private:
    RecordingsTableView *table_;
};

} // namespace pelorin
