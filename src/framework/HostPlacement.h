#pragma once

#include <QDateTime>
#include <QString>

namespace pelorin {

// Where a plug-in's pass put one of the host's recordings, for the host's table.
struct HostPlacement {
    QString filename; // which recording: its file name and start time
    QDateTime recordingTime;
    QString status;          // "exact", "interpolated", "before-track", "after-track", "in-gap", "no-time"
    QDateTime correctedTime; // the start time plus the clock offset, UTC
    double uncertaintyMetres = 0;
    bool placed = false;
};

} // namespace pelorin
