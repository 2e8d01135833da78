#pragma once

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"

#include "georef/Recording.h"
#include "gpx/TrackView.h"
#include "recordings/RecorderZone.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pelorin::cli {

// One run of the batch command: reads the GPS log and the recordings, places
// the recordings and writes the document. The document goes to out when the
// output is "-"; messages, the summary and the fraction lines go to err.
// Nothing is written unless the result is kWritten.
ExitStatus runBatch(const CliOptions &options, std::ostream &out, std::ostream &err);

} // namespace pelorin::cli
