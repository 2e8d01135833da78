#pragma once

#include "fileio/ByteSink.h"
#include "georef/Placement.h"
#include "georef/Recording.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace pelorin {

// The report's columns; the survey writers and the map use the same names.
inline constexpr std::string_view kPlacementReportHeader =
    "filename,species,start_time,time_source,corrected_time,status,latitude,longitude,elevation,"
    "seconds_to_fix,gap_seconds,uncertainty_m,time_note";

// Writes one CSV row per recording after a header row; placements[i] is
// recordings[i]'s. The rows come in the order of `rows` (indices into both),
// or in the order given when it is empty. RFC 4180 with CRLF line ends, as the
// RFC has them and as the catalogue is saved; spreadsheets, Python's csv
// module and GDAL read both kinds. Species are joined with ";"; positions,
// elevation and uncertainty are empty for a recording that was not placed,
// the seconds to the nearest fix are there whenever there is a fix, the gap
// whenever there are two. time_note says why a start time may be off (an hour
// a daylight-saving change repeats or skips, an unreadable GUANO Timestamp).
void writePlacementReport(std::span<const Recording> recordings, std::span<const Placement> placements,
                          const ByteSink &sink, std::span<const std::uint32_t> rows = {});

} // namespace pelorin
