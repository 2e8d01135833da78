#pragma once

#include "framework/HostRecording.h"
#include "framework/RecordingValue.h"
#include "georef/Recording.h"

#include <QList>
#include <QString>

#include <vector>

namespace pelorin {

// A catalogue recording as the host hands it to plug-ins; an empty
// abbreviation becomes a species whose taxon has none.
HostRecording toHostRecording(const Recording &recording);
QList<HostRecording> toHostRecordings(const std::vector<Recording> &recordings);

// The species column's text: abbreviations joined with ", ", "?" for a
// missing one.
QString speciesColumnText(const HostRecording &recording);

} // namespace pelorin
