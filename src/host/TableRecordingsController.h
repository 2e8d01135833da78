#pragma once

#include "framework/HostDelegate.h"

namespace pelorin {

class RecordingsTableView;

// The recordings controller plug-ins see: its selection is the table's.
class TableRecordingsController : public RecordingsController {
public:
    explicit TableRecordingsController(const RecordingsTableView *table)
        : table_(table) {}

    std::optional<QList<HostRecording>> selectedObjects() const override;

private:
    const RecordingsTableView *table_;
};

} // namespace pelorin
