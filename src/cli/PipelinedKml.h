#pragma once

#include "cli/ExitStatus.h"
#include "documents/KmlWriter.h"
#include "fileio/AtomicWrite.h"
#include "georef/GeoRefRecord.h"
#include "gpx/GpxReader.h"

#include <functional>
#include <span>
#include <string>

namespace pelorin::cli {

// What the document needs once the log is read and the recordings placed.
struct KmlRest {
    bool hasElevation = false;
    std::span<const TrackPoint> track; // file order
    std::span<const GeoRefRecord> records;
    // Called once the document's last byte is written, before the file is
    // flushed to disk: what only the document needed can be let go meanwhile.
    std::function<void()> documentMade;
};

// Reads the inputs with the reader it is given and fills rest; anything but
// kWritten means nothing is to be written.
using ReadForKml = std::function<ExitStatus(GpxReader &reader, KmlRest &rest)>;

struct PipelinedWrite {
    bool started = false;         // false: the destination could not be opened, and nothing was read
    ExitStatus status = kWritten; // read's, or kWriteFailed
    // Expat refused the log the reader's scan had read: nothing was written,
    // and what read made of the log is not to be told; read it again without
    // the scan to learn what is wrong.
    bool logRefused = false;
    WriteResult written;
};

// Writes the document to path while read reads the log: the track's lines are
// formatted and written as its points are read, the placemarks follow, while
// expat checks the log on another core; the file is kept only once it agrees. When read says no, or the write
// fails, the destination keeps what it held. The bytes are those of writeKmlDocument.
PipelinedWrite writeKmlWhileReading(const std::string &path, const KmlOptions &options,
                                    const ReadForKml &read);

} // namespace pelorin::cli
