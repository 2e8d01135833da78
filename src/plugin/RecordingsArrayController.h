#pragma once

#include "framework/HostRecording.h"
#include "georef/Placement.h"
#include "georef/Recording.h"
#include "plugin/ArrayController.h"

#include <QList>

#include <optional>
#include <vector>

namespace pelorin {

class RecordingTableModel;

// The list controller over the recordings to place.
class RecordingsArrayController : public ArrayController {
public:
    explicit RecordingsArrayController(QObject *parent = nullptr);

    void setContent(QList<HostRecording> recordings);
    const QList<HostRecording> &content() const;
    QList<HostRecording> arrangedObjects() const;
    // The same as the core sees them, made without an intermediate copy of the list.
    std::vector<Recording> arrangedRecordings() const;
    std::optional<QList<HostRecording>> selectedObjects() const;
    // The pass's placements, one per arranged object, in arranged order.
    void setArrangedPlacements(const std::vector<Placement> &placements);

private:
    RecordingTableModel *model_;
};

} // namespace pelorin
