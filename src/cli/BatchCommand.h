#pragma once

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"

#include <iosfwd>
#include <string>

namespace pelorin {
struct GpxError;
}

namespace pelorin::cli {

// One run of the batch command: reads the GPS log and the recordings, places
// the recordings and writes the document. The document goes to out when the
// output is "-"; messages, the summary and the fraction lines go to err.
// Nothing is written unless the result is kWritten.
ExitStatus runBatch(const CliOptions &options, std::ostream &out, std::ostream &err);

// "pelorin: FILE:LINE:COL: " and the parser's words, or why the log cannot be read.
void reportGpxError(std::ostream &err, const std::string &path, const GpxError &error);

} // namespace pelorin::cli
