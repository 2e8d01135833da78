#pragma once

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"

#include <iosfwd>

namespace pelorin::cli {

// --write-guano: places the WAV recordings of --recordings-dir and writes each
// placed one's position into its GUANO metadata, in place. Refused files are
// named on err and the others still done; kSomeRefused when there were any.
// With --dry-run the changes file by file go to out and nothing is written.
ExitStatus runGuanoWriteBack(const CliOptions &options, std::ostream &out, std::ostream &err);

} // namespace pelorin::cli
