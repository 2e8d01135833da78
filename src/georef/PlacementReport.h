#pragma once

#include "fileio/ByteSink.h"
#include "georef/Placement.h"
#include "georef/Recording.h"
#include "georef/RecordingFields.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace pelorin {

// Writes one CSV row per recording after a header row, one column for each
// of kRecordingFieldNames; placements[i] is
// recordings[i]'s. The rows come in the order of `rows` (indices into both),
// or in the order given when it is empty. RFC 4180 with CRLF line ends, as the
// RFC has them and as the catalogue is saved; spreadsheets, Python's csv
// module and GDAL read both kinds. time_note says why a start time may be off
// (an hour a daylight-saving change repeats or skips, an unreadable GUANO
// Timestamp).
void writePlacementReport(std::span<const Recording> recordings, std::span<const Placement> placements,
                          const ByteSink &sink, std::span<const std::uint32_t> rows = {});

} // namespace pelorin
