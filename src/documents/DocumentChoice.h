#pragma once

#include "documents/DocumentFormat.h"
#include "documents/KmlWriter.h"
#include "documents/SurveyDocument.h"
#include "fileio/ByteSink.h"
#include "georef/GeoRefRecord.h"

#include <span>
#include <string_view>

namespace pelorin {

// What the command and the plug-in write, chosen in one place.

// The survey documents' inputs from the plain document's options: named by
// the transect, else by the GPS log; elevations when asked for and the log has them.
SurveyDocument surveyDocument(const KmlOptions &options, std::string_view logName, TrackView track,
                              std::span<const Recording> recordings, std::span<const Placement> placements);

// GeoJSON or GPX when the format says so; a KML document otherwise, the
// survey's or the plain one of `records`.
void writeChosenDocument(OutputFormat format, KmlStyle style, const SurveyDocument &survey,
                         const KmlOptions &plain, std::span<const GeoRefRecord> records,
                         const ByteSink &sink);

} // namespace pelorin
