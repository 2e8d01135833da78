#pragma once

#include "framework/HostRecording.h"
#include "recordings/WavRecording.h"

#include <QString>

#include <optional>

namespace pelorin {

// One row of the recordings table: the recording, where its start time came
// from and the file it was read from.
struct TableRecording {
    HostRecording recording;
    std::optional<StartTimeSource> timeSource; // none: the row came from a catalogue
    QString path;                              // absolute; empty for catalogue rows
    QString position;                          // the file's GUANO "Loc Position", when it has one
};

// The "Time from" column's text: the source's name, or "catalogue".
QString timeSourceText(const TableRecording &row);

} // namespace pelorin
